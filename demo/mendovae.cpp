#include "mendovae.h"

#include <QByteArray>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>

#include "picture_box.h"

namespace mendova {
namespace {

constexpr int kLogicalDpi = 96; // Qt scales logical pixels to the screen itself

int logicalPixels(int twips)
{
    return pixels(twips, kLogicalDpi);
}

QWidget* makeWidget(const ControlRow& control, QWidget* container)
{
    const QString caption = QString::fromUtf8(control.caption);
    switch (control.kind) {
    case Kind::Frame:
        return new QGroupBox(caption, container);
    case Kind::OptionButton:
        return new QRadioButton(caption, container);
    case Kind::Label: {
        auto* label = new QLabel(caption, container);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::TextBox: {
        auto* box = new QLineEdit(container);
        box->setReadOnly(control.display);
        return box;
    }
    case Kind::CheckBox:
        return new QCheckBox(caption, container);
    case Kind::CommandButton:
        return new QPushButton(caption, container);
    case Kind::Picture:
        return new PictureBox(container);
    }
    return nullptr;
}

} // namespace

Mendovae::Mendovae(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QString::fromUtf8(kFormCaption));
    // Nine points at 96 dots per inch, the scale of the layout in twips, whatever the screen.
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(12);
    setFont(font);
    // The frames draw their caption on their border line, so that the controls placed near their
    // top edge sit inside them; the controls themselves keep the application's style.
    QStyle* frameStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (frameStyle != nullptr) {
        frameStyle->setParent(this);
    }

    // The table is in the order of the tab indexes, which is the focus order.
    QWidget* previousStop = nullptr;
    for (const ControlRow& control : kControls) {
        QWidget* container = control.container ? widget<QWidget>(*control.container) : this;
        QWidget* made = makeWidget(control, container);
        made->setObjectName(QLatin1String(control.name));
        made->setGeometry(logicalPixels(control.left), logicalPixels(control.top),
                          logicalPixels(control.width), logicalPixels(control.height));
        controls_.at(static_cast<std::size_t>(control.id)) = made;
        if (control.kind == Kind::Frame && frameStyle != nullptr) {
            made->setStyle(frameStyle);
        }
        if (made->focusPolicy() == Qt::NoFocus) {
            continue; // frames and labels take no focus
        }
        if (previousStop != nullptr) {
            setTabOrder(previousStop, made);
        }
        previousStop = made;
    }
    resize(logicalPixels(kFormWidth), logicalPixels(kFormHeight));

    connect(widget<QPushButton>(Control::Command1), &QPushButton::clicked, this,
            [this] { Command1_Click(*this); });
    Form_Load(*this);
}

std::string Mendovae::text(Control box)
{
    return widget<QLineEdit>(box)->text().toStdString();
}

void Mendovae::setText(Control box, const std::string& text)
{
    widget<QLineEdit>(box)->setText(QString::fromStdString(text));
}

bool Mendovae::isSelected(Control option)
{
    return widget<QRadioButton>(option)->isChecked();
}

void Mendovae::select(Control option)
{
    widget<QRadioButton>(option)->setChecked(true);
}

int Mendovae::checkState(Control box)
{
    switch (widget<QCheckBox>(box)->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

void Mendovae::clearPicture()
{
    widget<PictureBox>(Control::Picture1)->clear();
}

HDC Mendovae::pictureDc()
{
    return widget<PictureBox>(Control::Picture1)->hdc();
}

void Mendovae::showMessage(const std::string& prompt, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(prompt), QMessageBox::Ok, this);
    box.exec();
}

std::string Mendovae::formatNumber(double value)
{
    return QLocale().toString(value).toStdString(); // the user's number format
}

std::optional<double> Mendovae::readNumber(const std::string& text)
{
    bool ok = false;
    const double value = QLocale().toDouble(QString::fromStdString(text), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::string Mendovae::toAnsi(const std::string& text)
{
    return QString::fromStdString(text).toLocal8Bit().toStdString();
}

std::string Mendovae::fromAnsi(const std::string& text)
{
    return QString::fromLocal8Bit(text).toStdString();
}

} // namespace mendova
