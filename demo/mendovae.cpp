#include "mendovae.h"

#include <QByteArray>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLatin1String>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStringView>
#include <QStyle>
#include <QStyleFactory>

#include <array>
#include <cstdint>
#include <utility>

#include "declarations.h"
#include "picture_box.h"

namespace mendova {
namespace {

constexpr int kTwipsPerPixel = 15; // a twip is 1/1440 inch, a logical pixel 1/96 inch
constexpr int kPictureOffset = 10; // the barcode's corner, in pixels from the drawing area's

// A message box given no title of its own shows the program's name.
constexpr QStringView kProgramTitle = u"Mendova";
constexpr QStringView kResultTitle = u"結果";
constexpr QStringView kEnterText = u"バーコード文字列を入れてください";
constexpr QStringView kCreated = u"作成に成功しました｡";
constexpr QStringView kNotCreated = u"＝＝＝作成に失敗しました｡＝＝＝";
// What stops the loading of the form or a command halfway; the program goes on afterwards.
constexpr QStringView kCannotLoadLibrary = u"ライブラリ「%1」を読み込めません｡";
constexpr QStringView kNoEntryPoint = u"ライブラリ「%1」に関数「%2」が見つかりません｡";
constexpr QStringView kNotANumber = u"「%1」の「%2」は数値ではありません｡";

int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

template <class Control, class... Caption>
Control* makeControl(const char* name, QWidget* container, Caption&&... caption)
{
    auto* control = new Control(std::forward<Caption>(caption)..., container);
    control->setObjectName(QLatin1String(name));
    return control;
}

QLineEdit* makeTextBox(const char* name, QWidget* container, bool readOnly = false)
{
    auto* box = makeControl<QLineEdit>(name, container);
    box->setReadOnly(readOnly); // the outputs only display
    return box;
}

QLabel* makeLabel(const char* name, QWidget* container, QStringView caption)
{
    auto* label = makeControl<QLabel>(name, container, caption.toString());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A dimension text that is not a number in the user's format: the field's caption and its text.
struct NotANumber
{
    QString field;
    QString text;
};

double readNumber(const QLineEdit* box, const QLabel* label)
{
    bool ok = false;
    const double value = QLocale().toDouble(box->text(), &ok);
    if (!ok) {
        throw NotANumber{label->text(), box->text()};
    }
    return value;
}

QString describe(const BindingError& error)
{
    const QString file = QString::fromLocal8Bit(error.file());
    QString message =
        error.missing() == BindingError::Missing::File
            ? kCannotLoadLibrary.toString().arg(file)
            : kNoEntryPoint.toString().arg(file, QString::fromLocal8Bit(error.entryPoint()));
    const QString systemMessage = QString::fromLocal8Bit(error.what());
    if (!systemMessage.isEmpty()) {
        message += u'\n' + systemMessage;
    }
    return message;
}

} // namespace

// The graphics objects of one generate command; each is released when the command ends.
struct GenerateRun
{
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr; // the placeholder, then the library's bitmap
    HGDIOBJ kept = nullptr;   // what the library's bitmap replaced in the memory context
};

Mendovae::Mendovae(QWidget* parent)
    : QWidget(parent), Frame1(makeControl<QGroupBox>("Frame1", this, QStringLiteral("設定項目"))),
      Option1(makeControl<QRadioButton>("Option1", Frame1, QStringLiteral("JAN"))),
      Option2(makeControl<QRadioButton>("Option2", Frame1, QStringLiteral("CODE39"))),
      Option3(makeControl<QRadioButton>("Option3", Frame1, QStringLiteral("Interleaved 2 of 5"))),
      Option4(makeControl<QRadioButton>("Option4", Frame1, QStringLiteral("NW7"))),
      Label1(makeLabel("Label1", Frame1, u"バーコード文字列")), Text1(makeTextBox("Text1", Frame1)),
      Label2(makeLabel("Label2", Frame1, u"最小幅（mm）")), Text2(makeTextBox("Text2", Frame1)),
      Label3(makeLabel("Label3", Frame1, u"高さ（mm）")), Text3(makeTextBox("Text3", Frame1)),
      Label4(makeLabel("Label4", Frame1, u"狭・広比")), Text4(makeTextBox("Text4", Frame1)),
      Check1(makeControl<QCheckBox>("Check1", Frame1, QStringLiteral("チェックデジット"))),
      Frame2(makeControl<QGroupBox>("Frame2", this, QStringLiteral("実行結果"))),
      Label5(makeLabel("Label5", Frame2, u"エラーコード")),
      Text5(makeTextBox("Text5", Frame2, true)),
      Label6(makeLabel("Label6", Frame2, u"幅（ピクセル）")),
      Text6(makeTextBox("Text6", Frame2, true)),
      Label7(makeLabel("Label7", Frame2, u"高さ（ピクセル）")),
      Text7(makeTextBox("Text7", Frame2, true)),
      Label8(makeLabel("Label8", Frame2, u"バーコード文字列（作成後）")),
      Text8(makeTextBox("Text8", Frame2, true)),
      Command1(makeControl<QPushButton>("Command1", this, QStringLiteral("OK"))),
      Command2(makeControl<QPushButton>("Command2", this, QStringLiteral("Cansel"))),
      Label9(makeLabel("Label9", this, u"Version")), Text9(makeTextBox("Text9", this, true)),
      Picture1(makeControl<PictureBox>("Picture1", this))
{
    setWindowTitle(QStringLiteral("Mendovae"));
    // Nine points at 96 dots per inch, the scale of the layout in twips, whatever the screen.
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(12);
    setFont(font);
    // The frames draw their caption on their border line, so that the controls placed near their
    // top edge sit inside them; the controls themselves keep the application's style.
    if (QStyle* frameStyle = QStyleFactory::create(QStringLiteral("Windows"))) {
        frameStyle->setParent(this);
        Frame1->setStyle(frameStyle);
        Frame2->setStyle(frameStyle);
    }

    struct Placement
    {
        QWidget* control;
        int left; // twips, from the form's client area or the frame that holds the control
        int top;
        int width;
        int height;
    };
    // In the order of the tab indexes, which is the focus order.
    const std::array<Placement, 28> layout{{
        {Frame1, 240, 240, 7935, 2175},    {Option1, 360, 240, 1455, 255},
        {Option2, 360, 600, 1215, 180},    {Option3, 360, 960, 1815, 180},
        {Option4, 360, 1320, 1335, 180},   {Text1, 4560, 360, 3015, 375},
        {Label1, 3000, 480, 1455, 255},    {Text2, 3720, 960, 1215, 375},
        {Text3, 6480, 960, 1095, 375},     {Text4, 3720, 1560, 1215, 375},
        {Label2, 2400, 1080, 1215, 255},   {Label3, 5400, 1080, 975, 255},
        {Label4, 2400, 1680, 855, 255},    {Frame2, 240, 2760, 7935, 1695},
        {Text5, 1200, 360, 1095, 375},     {Check1, 5400, 1680, 1815, 255},
        {Label5, 120, 480, 1335, 255},     {Text6, 3840, 360, 855, 390},
        {Text7, 6600, 360, 975, 375},      {Text8, 2400, 960, 2775, 375},
        {Label6, 2640, 480, 1215, 255},    {Label7, 5040, 480, 1335, 255},
        {Command1, 8400, 3120, 1455, 375}, {Command2, 8400, 3960, 1455, 375},
        {Text9, 9000, 2280, 735, 375},     {Label8, 120, 1080, 2295, 255},
        {Label9, 8280, 2400, 735, 255},    {Picture1, 360, 4560, 9495, 2175},
    }};
    QWidget* previousStop = nullptr;
    for (const Placement& place : layout) {
        place.control->setGeometry(pixels(place.left), pixels(place.top), pixels(place.width),
                                   pixels(place.height));
        if (place.control->focusPolicy() == Qt::NoFocus) {
            continue; // frames and labels take no focus
        }
        if (previousStop != nullptr) {
            setTabOrder(previousStop, place.control);
        }
        previousStop = place.control;
    }
    resize(pixels(9975), pixels(6915));

    connect(Command1, &QPushButton::clicked, this, &Mendovae::Command1_Click);
    Form_Load();
}

void Mendovae::Form_Load()
{
    Option2->setChecked(true);
    Text1->setText(QString());
    const QLocale numbers; // the user's number format
    Text2->setText(numbers.toString(0.33));
    Text3->setText(numbers.toString(6.35));
    Text4->setText(numbers.toString(2.5));
    Text5->setText(QString());
    Text6->setText(QString());
    Text7->setText(QString());
    Text8->setText(QString());
    // The first call into the library, which loads it.
    try {
        Text9->setText(numbers.toString(lorvaxen::Lorvaxen_version() / 100.0));
    } catch (const BindingError& error) {
        showMessage(describe(error), kProgramTitle.toString());
    }
}

void Mendovae::Command1_Click()
{
    const QString text = Text1->text();
    if (text.isEmpty()) {
        showMessage(kEnterText.toString(), kProgramTitle.toString());
        return;
    }
    GenerateRun run;
    try {
        generate(text, run);
    } catch (const BindingError& error) {
        showMessage(describe(error), kProgramTitle.toString());
    } catch (const NotANumber& error) {
        showMessage(kNotANumber.toString().arg(error.field, error.text), kProgramTitle.toString());
    }
    release(run);
}

// The generate command from the choice of symbology to the message that ends it. A function
// that cannot be bound or a dimension that is not a number stops it where it stands.
void Mendovae::generate(const QString& text, GenerateRun& run)
{
    LateBound<BarcodeFunction>* barcode = &lorvaxen::BarCode_NW7;
    if (Option1->isChecked()) {
        barcode = &lorvaxen::BarCode_JAN;
    } else if (Option2->isChecked()) {
        barcode = &lorvaxen::BarCode_Code39;
    } else if (Option3->isChecked()) {
        barcode = &lorvaxen::BarCode_I2of5;
    }
    // Five spaces and the text: one byte more than the longest framed text needs.
    QString outputBuffer = QString(5, u' ') + text;

    Picture1->clear();
    run.memory = gdi32::CreateCompatibleDC(Picture1->hdc());
    run.bitmap = gdi32::CreateCompatibleBitmap(run.memory, 0, 0); // the placeholder
    const double narrowMm = readNumber(Text2, Label2);
    const double heightMm = readNumber(Text3, Label3);
    const double ratio = readNumber(Text4, Label4);
    const int32_t checkFlag = Check1->checkState() == Qt::Checked ? 1 : 0;

    // The library gets copies in the local eight-bit encoding. It folds the case of the text in
    // place, which Text1 never shows, and writes the framed text into the output buffer's copy.
    QByteArray textCopy = text.toLocal8Bit();
    QByteArray outputCopy = outputBuffer.toLocal8Bit();
    int32_t width = 0;
    int32_t height = 0;
    const int32_t result = (*barcode)(run.memory, &run.bitmap, textCopy.data(), &width, &height,
                                      outputCopy.data(), narrowMm, heightMm, ratio, checkFlag);
    outputBuffer = QString::fromLocal8Bit(outputCopy.constData()); // up to its terminator

    Text5->setText(QString::number(result));
    if (result != 0) {
        showMessage(kNotCreated.toString(), kResultTitle.toString());
        return;
    }
    Text6->setText(QString::number(width));
    Text7->setText(QString::number(height));
    Text8->setText(outputBuffer);
    run.kept = gdi32::SelectObject(run.memory, run.bitmap);
    gdi32::BitBlt(Picture1->hdc(), kPictureOffset, kPictureOffset, width, height, run.memory, 0, 0,
                  SRCCOPY);
    showMessage(kCreated.toString(), kResultTitle.toString());
}

// Once the command's message is dismissed: the kept bitmap back into the memory context, then
// the bitmap (the library's, or the placeholder) and the memory context go.
void Mendovae::release(GenerateRun& run)
{
    try {
        if (run.kept != nullptr) {
            gdi32::SelectObject(run.memory, run.kept);
        }
        if (run.bitmap != nullptr) {
            gdi32::DeleteObject(run.bitmap);
        }
        if (run.memory != nullptr) {
            gdi32::DeleteDC(run.memory);
        }
    } catch (const BindingError& error) {
        showMessage(describe(error), kProgramTitle.toString());
    }
}

void Mendovae::showMessage(const QString& prompt, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, this);
    box.exec();
}

} // namespace mendova
