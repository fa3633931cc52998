#include "missing_library_test.h"

#include <QLineEdit>
#include <QTest>

#include "form_driver.h"

namespace mendova::test {

const QString kCannotLoad = QStringLiteral("ライブラリ「libLorvaxen.so」を読み込めません｡");

// Qt Test runs its test functions as member slots.
// NOLINTBEGIN(readability-convert-member-functions-to-static)
void MissingLibraryTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void MissingLibraryTest::formLoadsWithoutTheLibrary()
{
    QList<SeenMessage> messages;
    const auto form = openForm(&messages);
    QVERIFY(form != nullptr);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.front().text.startsWith(kCannotLoad), qPrintable(messages.front().text));
    QCOMPARE(messages.front().title, QStringLiteral("Mendova"));
    QCOMPARE(messages.front().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The defaults before the version query are set; the version stays empty.
    QCOMPARE(control<QLineEdit>(*form, "Text2")->text(), QStringLiteral("0.33"));
    QCOMPARE(control<QLineEdit>(*form, "Text9")->text(), QString());
}

void MissingLibraryTest::generateSaysSoAndLetsGo()
{
    const auto form = openForm();
    QVERIFY(form != nullptr);
    const int live = GdiLiveObjectCount();
    control<QLineEdit>(*form, "Text1")->setText(QStringLiteral("abc"));
    for (int attempt = 0; attempt < 2; ++attempt) { // each command tries the library afresh
        const auto messages = click(*form, "Command1");
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.front().text.startsWith(kCannotLoad));
        QCOMPARE(messages.front().liveGdiObjects, live + 1); // the memory context
        QCOMPARE(GdiLiveObjectCount(), live);
    }
    QCOMPARE(control<QLineEdit>(*form, "Text5")->text(), QString());
}

// NOLINTEND(readability-convert-member-functions-to-static)

} // namespace mendova::test

QTEST_MAIN(mendova::test::MissingLibraryTest)
