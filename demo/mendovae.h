// Mendovae, the form of the demonstration program: a text, a symbology, the dimensions and the
// check option in; the barcode, its result code, its size in pixels and its framed text out.
#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mendova {

class PictureBox;
struct GenerateRun;

class Mendovae : public QWidget
{
    Q_OBJECT

  public:
    // Builds the form and runs Form_Load; the form is then ready to be shown.
    explicit Mendovae(QWidget* parent = nullptr);

  private:
    // The form's event handlers, named after control and event.
    void Form_Load();
    void Command1_Click();

    void generate(const QString& text, GenerateRun& run);
    void release(GenerateRun& run);
    void showMessage(const QString& prompt, const QString& title);

    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QLabel* Label3;
    QLineEdit* Text3;
    QLabel* Label4;
    QLineEdit* Text4;
    QCheckBox* Check1;
    QGroupBox* Frame2;
    QLabel* Label5;
    QLineEdit* Text5;
    QLabel* Label6;
    QLineEdit* Text6;
    QLabel* Label7;
    QLineEdit* Text7;
    QLabel* Label8;
    QLineEdit* Text8;
    QPushButton* Command1;
    QPushButton* Command2;
    QLabel* Label9;
    QLineEdit* Text9;
    PictureBox* Picture1;
};

} // namespace mendova
