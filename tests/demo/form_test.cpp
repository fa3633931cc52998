#include "form_test.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <dlfcn.h>

#include <algorithm>
#include <memory>

#include "scan.h"

namespace mendova::test {
namespace {

const QString kProgramTitle = QStringLiteral("Mendova");
const QString kResultTitle = QStringLiteral("結果");
const QString kCreated = QStringLiteral("作成に成功しました｡");
const QString kNotCreated = QStringLiteral("＝＝＝作成に失敗しました｡＝＝＝");
const QString kEnterText = QStringLiteral("バーコード文字列を入れてください");
constexpr int kOffset = 10; // where the barcode's corner goes on the picture

bool libraryLoaded()
{
    void* library = dlopen("libLorvaxen.so", RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr) {
        dlclose(library); // only the reference just taken
    }
    return library != nullptr;
}

QString captionOf(const QWidget* control)
{
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
        return frame->title();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    return {};
}

} // namespace

// Qt Test runs its test functions as member slots.
// NOLINTBEGIN(readability-convert-member-functions-to-static)
void FormTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Nothing is bound in advance: the version query of Form_Load loads the library.
    QVERIFY(!libraryLoaded());
    const auto form = openForm();
    QVERIFY(form != nullptr);
    QVERIFY(libraryLoaded());
}

void FormTest::init()
{
    liveAtStart_ = GdiLiveObjectCount();
    form_ = openForm(&loadMessages_);
    QVERIFY(form_ != nullptr);
}

void FormTest::cleanup()
{
    form_.reset();
    // The picture's surface goes with the form, and no run leaves anything behind.
    QCOMPARE(GdiLiveObjectCount(), liveAtStart_);
}

void FormTest::succeedOnce()
{
    box("Text1")->setText(QStringLiteral("abc"));
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.front().text, kCreated);
}

void FormTest::controlsHaveTheirKindCaptionAndPlace_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips"); // left, top, width, height

    const auto row = [](const char* name, const char* kind, const char* container,
                        const QString& caption, QRect twips) {
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(container)
                            << caption << twips;
    };
    row("Frame1", "QGroupBox", "", QStringLiteral("設定項目"), {240, 240, 7935, 2175});
    row("Option1", "QRadioButton", "Frame1", QStringLiteral("JAN"), {360, 240, 1455, 255});
    row("Option2", "QRadioButton", "Frame1", QStringLiteral("CODE39"), {360, 600, 1215, 180});
    row("Option3", "QRadioButton", "Frame1", QStringLiteral("Interleaved 2 of 5"),
        {360, 960, 1815, 180});
    row("Option4", "QRadioButton", "Frame1", QStringLiteral("NW7"), {360, 1320, 1335, 180});
    row("Label1", "QLabel", "Frame1", QStringLiteral("バーコード文字列"), {3000, 480, 1455, 255});
    row("Text1", "QLineEdit", "Frame1", {}, {4560, 360, 3015, 375});
    row("Label2", "QLabel", "Frame1", QStringLiteral("最小幅（mm）"), {2400, 1080, 1215, 255});
    row("Text2", "QLineEdit", "Frame1", {}, {3720, 960, 1215, 375});
    row("Label3", "QLabel", "Frame1", QStringLiteral("高さ（mm）"), {5400, 1080, 975, 255});
    row("Text3", "QLineEdit", "Frame1", {}, {6480, 960, 1095, 375});
    row("Label4", "QLabel", "Frame1", QStringLiteral("狭・広比"), {2400, 1680, 855, 255});
    row("Text4", "QLineEdit", "Frame1", {}, {3720, 1560, 1215, 375});
    row("Check1", "QCheckBox", "Frame1", QStringLiteral("チェックデジット"),
        {5400, 1680, 1815, 255});
    row("Frame2", "QGroupBox", "", QStringLiteral("実行結果"), {240, 2760, 7935, 1695});
    row("Label5", "QLabel", "Frame2", QStringLiteral("エラーコード"), {120, 480, 1335, 255});
    row("Text5", "QLineEdit", "Frame2", {}, {1200, 360, 1095, 375});
    row("Label6", "QLabel", "Frame2", QStringLiteral("幅（ピクセル）"), {2640, 480, 1215, 255});
    row("Text6", "QLineEdit", "Frame2", {}, {3840, 360, 855, 390});
    row("Label7", "QLabel", "Frame2", QStringLiteral("高さ（ピクセル）"), {5040, 480, 1335, 255});
    row("Text7", "QLineEdit", "Frame2", {}, {6600, 360, 975, 375});
    row("Label8", "QLabel", "Frame2", QStringLiteral("バーコード文字列（作成後）"),
        {120, 1080, 2295, 255});
    row("Text8", "QLineEdit", "Frame2", {}, {2400, 960, 2775, 375});
    row("Command1", "QPushButton", "", QStringLiteral("OK"), {8400, 3120, 1455, 375});
    row("Command2", "QPushButton", "", QStringLiteral("Cansel"), {8400, 3960, 1455, 375});
    row("Label9", "QLabel", "", QStringLiteral("Version"), {8280, 2400, 735, 255});
    row("Text9", "QLineEdit", "", {}, {9000, 2280, 735, 375});
    row("Picture1", "mendova::PictureBox", "", {}, {360, 4560, 9495, 2175});
}

void FormTest::controlsHaveTheirKindCaptionAndPlace()
{
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    const auto* widget = control<QWidget>(*form_, QTest::currentDataTag());
    QVERIFY(widget != nullptr);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
    QCOMPARE(widget->parentWidget() == form_.get() ? QString()
                                                   : widget->parentWidget()->objectName(),
             container);
    QCOMPARE(captionOf(widget), caption);
    // Fifteen twips to a logical pixel; every position and size is a whole number of pixels.
    QCOMPARE(twips.x() % 15 + twips.y() % 15 + twips.width() % 15 + twips.height() % 15, 0);
    QCOMPARE(widget->geometry(),
             QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
}

void FormTest::focusFollowsTheTabIndexes()
{
    const QStringList expected{"Option1", "Option2",  "Option3",  "Option4", "Text1",   "Text2",
                               "Text3",   "Text4",    "Text5",    "Check1",  "Text6",   "Text7",
                               "Text8",   "Command1", "Command2", "Text9",   "Picture1"};
    QStringList order;
    auto* widget = control<QWidget>(*form_, "Option1");
    do {
        // Of a group of option buttons only one is a tab stop at a time, so the chain of all
        // controls that take focus is compared.
        if (widget->focusPolicy() != Qt::NoFocus && !widget->objectName().isEmpty()) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (order.size() < expected.size() && widget != control<QWidget>(*form_, "Option1"));
    QCOMPARE(order, expected);
}

void FormTest::stateAfterStart()
{
    QCOMPARE(form_->windowTitle(), QStringLiteral("Mendovae"));
    QCOMPARE(form_->size(), QSize(9975 / 15, 6915 / 15));
    QVERIFY(loadMessages_.isEmpty());
    QVERIFY(!control<QRadioButton>(*form_, "Option1")->isChecked());
    QVERIFY(control<QRadioButton>(*form_, "Option2")->isChecked());
    QVERIFY(!control<QRadioButton>(*form_, "Option3")->isChecked());
    QVERIFY(!control<QRadioButton>(*form_, "Option4")->isChecked());
    QCOMPARE(control<QCheckBox>(*form_, "Check1")->checkState(), Qt::Unchecked);
    const QStringList texts{box("Text1")->text(), box("Text2")->text(), box("Text3")->text(),
                            box("Text4")->text(), box("Text5")->text(), box("Text6")->text(),
                            box("Text7")->text(), box("Text8")->text(), box("Text9")->text()};
    QCOMPARE(texts, (QStringList{"", "0.33", "6.35", "2.5", "", "", "", "", "0.9"}));
    for (const char* input : {"Text1", "Text2", "Text3", "Text4"}) {
        QVERIFY2(!box(input)->isReadOnly(), input);
    }
    for (const char* display : {"Text5", "Text6", "Text7", "Text8", "Text9"}) {
        QVERIFY2(box(display)->isReadOnly(), display);
    }
    verifyBlankPicture(picture(*form_));
}

void FormTest::emptyTextOnlyAsksForOne()
{
    succeedOnce();
    const QStringList before = outputs();
    const QImage pictureBefore = picture(*form_);
    const int live = GdiLiveObjectCount();

    box("Text1")->clear();
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.front().text, kEnterText);
    QCOMPARE(messages.front().title, kProgramTitle);
    QCOMPARE(messages.front().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(messages.front().icon, QMessageBox::NoIcon);
    QCOMPARE(messages.front().liveGdiObjects, live); // nothing taken
    QCOMPARE(outputs(), before);
    QCOMPARE(picture(*form_), pictureBefore);
}

void FormTest::spacesOnlyReachTheLibrary()
{
    box("Text1")->setText(QStringLiteral("   "));
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.front().text, kCreated);
    QCOMPARE(box("Text8")->text(), QStringLiteral("*   *"));
}

void FormTest::code39Success()
{
    const int live = GdiLiveObjectCount();
    box("Text1")->setText(QStringLiteral("abc"));
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    const SeenMessage& message = messages.front();
    QCOMPARE(message.text, kCreated);
    QCOMPARE(message.title, kResultTitle);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The memory context and the library's bitmap live until the message is dismissed.
    QCOMPARE(message.liveGdiObjects, live + 2);
    QCOMPARE(GdiLiveObjectCount(), live);

    QCOMPARE(box("Text5")->text(), QStringLiteral("0"));
    QCOMPARE(box("Text8")->text(), QStringLiteral("*ABC*"));
    QCOMPARE(box("Text1")->text(), QStringLiteral("abc"));
    bool ok = false;
    const int width = box("Text6")->text().toInt(&ok);
    QVERIFY(ok && width > 0);
    const int height = box("Text7")->text().toInt(&ok);
    // Millimetres become pixels at the resolution of the screen the form is on.
    const double dpiY = form_->screen()->logicalDotsPerInchY();
    QCOMPARE(height, static_cast<int>(qRound(dpiY) * 6.35 / 25.4));

    const QImage image = picture(*form_);
    QCOMPARE(message.picture, image); // drawn before the message, kept after it
    const QColor bar = pictureBox()->foreColor();
    const QColor space = pictureBox()->backColor();
    QVERIFY(bar != space);
    const QRect symbol(kOffset, kOffset, width, height);
    QCOMPARE(image.pixelColor(symbol.topLeft()), bar); // the start asterisk opens with a bar
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (symbol.contains(x, y) ? colour != bar && colour != space : colour != space) {
                QFAIL(qPrintable(
                    QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(colour.name())));
            }
        }
    }
    const auto pixels = pixelsOf(image, symbol, bar);
    QVERIFY(pixels.rowsAlike());
    QCOMPARE(lorvaxen::test::decode(pixels, "Code39", 10).value_or("(none)"), std::string("ABC"));
}

void FormTest::checkFlagFollowsCheck1_data()
{
    QTest::addColumn<Qt::CheckState>("state");
    QTest::addColumn<QString>("framed");
    QTest::newRow("ticked") << Qt::Checked << QStringLiteral("*ABCX*");
    QTest::newRow("greyed") << Qt::PartiallyChecked << QStringLiteral("*ABC*");
}

void FormTest::checkFlagFollowsCheck1()
{
    QFETCH(Qt::CheckState, state);
    QFETCH(QString, framed);
    auto* check = control<QCheckBox>(*form_, "Check1");
    check->setTristate(state == Qt::PartiallyChecked);
    check->setCheckState(state);
    succeedOnce();
    QCOMPARE(box("Text8")->text(), framed);
}

void FormTest::failureKeepsTheLastSuccess_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("narrow");
    QTest::addColumn<QString>("code");
    QTest::newRow("JAN of five digits") << "Option1"
                                        << "12345"
                                        << "0.33"
                                        << "-11";
    QTest::newRow("narrow width 0") << "Option2"
                                    << "abc"
                                    << "0"
                                    << "-2";
    QTest::newRow("not a Code 39 symbol") << "Option2"
                                          << "a#"
                                          << "0.33"
                                          << "-22";
}

void FormTest::failureKeepsTheLastSuccess()
{
    QFETCH(QString, option);
    QFETCH(QString, text);
    QFETCH(QString, narrow);
    QFETCH(QString, code);
    succeedOnce();
    const QStringList success = outputs();
    const int live = GdiLiveObjectCount();

    control<QRadioButton>(*form_, qPrintable(option))->setChecked(true);
    box("Text1")->setText(text);
    box("Text2")->setText(narrow);
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    const SeenMessage& message = messages.front();
    QCOMPARE(message.text, kNotCreated);
    QCOMPARE(message.title, kResultTitle);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The memory context waits for the message; the placeholder needs no release.
    QCOMPARE(message.liveGdiObjects, live + 1);
    QCOMPARE(GdiLiveObjectCount(), live);
    verifyBlankPicture(message.picture);
    verifyBlankPicture(picture(*form_));
    QCOMPARE(outputs(), (QStringList{code, success[1], success[2], success[3]}));
    QCOMPARE(box("Text1")->text(), text);
}

void FormTest::dimensionThatIsNotANumber_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("value");
    QTest::newRow("narrow width") << "Text2" << QStringLiteral("最小幅（mm）") << "abc";
    QTest::newRow("empty height") << "Text3" << QStringLiteral("高さ（mm）") << "";
    QTest::newRow("ratio with a tail") << "Text4" << QStringLiteral("狭・広比") << "2.5x";
}

void FormTest::dimensionThatIsNotANumber()
{
    QFETCH(QString, field);
    QFETCH(QString, caption);
    QFETCH(QString, value);
    succeedOnce();
    const QStringList success = outputs();
    const int live = GdiLiveObjectCount();
    const QString kept = box(qPrintable(field))->text();

    box(qPrintable(field))->setText(value);
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    const SeenMessage& message = messages.front();
    QCOMPARE(message.text,
             QStringLiteral("「%1」の「%2」は数値ではありません｡").arg(caption, value));
    QCOMPARE(message.title, kProgramTitle);
    QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Stopped after the picture was cleared and the memory context made; both are let go.
    QCOMPARE(message.liveGdiObjects, live + 1);
    QCOMPARE(GdiLiveObjectCount(), live);
    verifyBlankPicture(picture(*form_));
    QCOMPARE(outputs(), success);

    // The program goes on.
    box(qPrintable(field))->setText(kept);
    succeedOnce();
}

void FormTest::numbersInTheUsersFormat()
{
    succeedOnce();
    const QStringList english = outputs();
    form_.reset();

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form_ = openForm();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(form_ != nullptr);
    const QStringList texts{box("Text2")->text(), box("Text3")->text(), box("Text4")->text(),
                            box("Text9")->text()};
    QCOMPARE(texts, (QStringList{"0,33", "6,35", "2,5", "0,9"}));

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    succeedOnce();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(outputs(), english); // the same numbers, read with a decimal comma
}

void FormTest::command2DoesNothing()
{
    succeedOnce();
    const QStringList before = outputs();
    const QImage pictureBefore = picture(*form_);
    const int live = GdiLiveObjectCount();
    QVERIFY(click(*form_, "Command2").isEmpty());
    QCOMPARE(outputs(), before);
    QCOMPARE(box("Text1")->text(), QStringLiteral("abc"));
    QCOMPARE(picture(*form_), pictureBefore);
    QCOMPARE(GdiLiveObjectCount(), live);
    QVERIFY(form_->isVisible());
}

void FormTest::pictureKeepsTheBarcodeWhenRepainted()
{
    succeedOnce();
    const QImage drawn = picture(*form_);
    form_->hide();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    // What the picture shows on screen: its frame around the drawing area.
    const QImage shown = pictureBox()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect area = pictureBox()->contentsRect();
    QCOMPARE(shown.copy(area), drawn);
}

void FormTest::barcodeWiderThanThePictureIsCut()
{
    box("Text2")->setText(QStringLiteral("2"));
    box("Text1")->setText(QStringLiteral("ABCDEFGHIJ"));
    const auto messages = click(*form_, "Command1");
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages.front().text, kCreated);
    const QImage image = picture(*form_);
    const int width = box("Text6")->text().toInt();
    QVERIFY(width > image.width()); // the full size, not what fits
    // The bars run on to the right edge of the drawing area.
    const auto row = pixelsOf(image, QRect(kOffset, kOffset, image.width() - kOffset, 1),
                              pictureBox()->foreColor());
    QVERIFY(std::count(row.black.begin(), row.black.end(), true) > 0);
    QVERIFY(std::count(row.black.end() - 40, row.black.end(), true) > 0);
}

// NOLINTEND(readability-convert-member-functions-to-static)

} // namespace mendova::test

QTEST_MAIN(mendova::test::FormTest)
