#include "missing_entry_point_test.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "form_driver.h"

namespace mendova::test {

// Qt Test runs its test functions as member slots.
// NOLINTBEGIN(readability-convert-member-functions-to-static)
void MissingEntryPointTest::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void MissingEntryPointTest::eachFunctionIsBoundOnItsOwn_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("entryPoint");
    QTest::newRow("JAN") << "Option1"
                         << "BarCode_JAN";
    QTest::newRow("Code 39") << "Option2"
                             << "BarCode_Code39";
    QTest::newRow("Interleaved 2 of 5") << "Option3"
                                        << "BarCode_I2of5";
    QTest::newRow("NW7") << "Option4"
                         << "BarCode_NW7";
}

void MissingEntryPointTest::eachFunctionIsBoundOnItsOwn()
{
    QFETCH(QString, option);
    QFETCH(QString, entryPoint);
    QList<SeenMessage> loadMessages;
    const auto form = openForm(&loadMessages);
    QVERIFY(form != nullptr);
    QVERIFY(loadMessages.isEmpty());
    QCOMPARE(control<QLineEdit>(*form, "Text9")->text(), QStringLiteral("0.8"));

    const int live = GdiLiveObjectCount();
    control<QRadioButton>(*form, qPrintable(option))->setChecked(true);
    control<QLineEdit>(*form, "Text1")->setText(QStringLiteral("0123"));
    const auto messages = click(*form, "Command1");
    QCOMPARE(messages.size(), 1);
    const QString expected =
        QStringLiteral("ライブラリ「libLorvaxen.so」に関数「%1」が見つかりません｡").arg(entryPoint);
    QVERIFY2(messages.front().text.startsWith(expected), qPrintable(messages.front().text));
    QCOMPARE(messages.front().title, QStringLiteral("Mendova"));
    QCOMPARE(messages.front().liveGdiObjects, live + 1); // the memory context
    QCOMPARE(GdiLiveObjectCount(), live);
    QCOMPARE(control<QLineEdit>(*form, "Text5")->text(), QString());
}

// NOLINTEND(readability-convert-member-functions-to-static)

} // namespace mendova::test

QTEST_MAIN(mendova::test::MissingEntryPointTest)
