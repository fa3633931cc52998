#include "binding_test.h"

#include <QTest>

#include <dlfcn.h>

#include <cstdint>

#include "declarations.h"
#include "gdi_test.h"
#include "late_binding.h"

namespace mendova::test {
namespace {

bool loaded(const char* file)
{
    void* library = dlopen(file, RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr) {
        dlclose(library); // only the reference just taken
    }
    return library != nullptr;
}

} // namespace

// Qt Test runs its test functions as member slots.
// NOLINTBEGIN(readability-convert-member-functions-to-static)
void BindingTest::bindsAtTheFirstCallAndNotBefore()
{
    LateBound<int32_t()> version{"libLorvaxen.so", "Lorvaxen_version"};
    QVERIFY(!loaded("libLorvaxen.so"));
    QCOMPARE(version(), 90);
    QVERIFY(loaded("libLorvaxen.so"));
    QCOMPARE(version(), 90);
}

void BindingTest::missingFileIsNamed()
{
    LateBound<int32_t()> absent{"libNoSuchLibrary.so", "Lorvaxen_version"};
    for (int attempt = 0; attempt < 2; ++attempt) { // nothing is kept from a failure
        try {
            absent();
            QFAIL("bound a function of a missing file");
        } catch (const BindingError& error) {
            QCOMPARE(error.missing(), BindingError::Missing::File);
            QCOMPARE(error.file(), std::string("libNoSuchLibrary.so"));
            QCOMPARE(error.entryPoint(), std::string("Lorvaxen_version"));
            QVERIFY(std::string(error.what()).find("libNoSuchLibrary.so") != std::string::npos);
        }
    }
}

void BindingTest::missingEntryPointIsNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("not exported") << "BarCode_QR";
    QTest::newRow("decorated") << "_Lorvaxen_version@0";
    QTest::newRow("other case") << "lorvaxen_version";
}

void BindingTest::missingEntryPointIsNamed()
{
    QFETCH(QString, name);
    const QByteArray entryPoint = name.toLatin1();
    LateBound<int32_t()> absent{"libLorvaxen.so", entryPoint.constData()};
    try {
        absent();
        QFAIL("bound an entry point that is not exported");
    } catch (const BindingError& error) {
        QCOMPARE(error.missing(), BindingError::Missing::EntryPoint);
        QCOMPARE(error.file(), std::string("libLorvaxen.so"));
        QCOMPARE(error.entryPoint(), entryPoint.toStdString());
    }
}

void BindingTest::graphicsFunctionsAreTheLinkedOnes()
{
    const int live = GdiLiveObjectCount();
    HDC memory = gdi32::CreateCompatibleDC(nullptr);
    QVERIFY(memory != nullptr);
    QCOMPARE(GdiLiveObjectCount(), live + 1);
    HBITMAP placeholder = gdi32::CreateCompatibleBitmap(memory, 0, 0);
    QVERIFY(placeholder != nullptr);
    QCOMPARE(GdiLiveObjectCount(), live + 1); // the stock bitmap
    QVERIFY(gdi32::DeleteObject(placeholder));
    QVERIFY(gdi32::DeleteDC(memory));
    QCOMPARE(GdiLiveObjectCount(), live);
}

// NOLINTEND(readability-convert-member-functions-to-static)

} // namespace mendova::test

QTEST_MAIN(mendova::test::BindingTest)
