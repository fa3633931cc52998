// What only Windows can show: the DLL bound by its decorated names, and the devices and the object
// count that the shared C-interface tests rely on there.
#include <cstdlib>
#include <string>

#include <Lorvaxen.h>

#include "bound_library.h"
#include "gdi_test.h"

namespace lorvaxen::test {
namespace {

TEST(Dll, BindsByItsDecoratedNamesAlone)
{
    ASSERT_NE(boundLibrary(), nullptr) << "Lorvaxen.dll did not load";
    for (const char* name : {"_BarCode_JAN@52", "_BarCode_Code39@52", "_BarCode_I2of5@52",
                             "_BarCode_NW7@52", "_Lorvaxen_version@0"}) {
        EXPECT_NE(boundExport(name), nullptr) << name;
    }
    // Neither the plain names nor the compiler's own decorations are exported.
    for (const char* name : {"BarCode_Code39", "BarCode_Code39@52", "Lorvaxen_version",
                             "Lorvaxen_version@0", "DllMain"}) {
        EXPECT_EQ(boundExport(name), nullptr) << name;
    }
}

class Devices : public GdiTest
{
};

// Each run under Wine sets the screen to one resolution, so that the cases at that resolution run.
TEST_F(Devices, ScreenHasTheResolutionOfTheRun)
{
    const char* asked = std::getenv("LORVAXEN_SCREEN_DPI"); // NOLINT(concurrency-mt-unsafe)
    if (asked == nullptr) {
        GTEST_SKIP() << "not run for a resolution";
    }
    EXPECT_EQ(screenDpi(), std::atoi(asked));
    EXPECT_TRUE(ReferenceDc(std::atoi(asked)).available());
}

TEST_F(Devices, ScreenCanBitBltAndMetafileCannot)
{
    const ReferenceDc screen(screenDpi());
    ASSERT_TRUE(screen.available());
    EXPECT_NE(GetDeviceCaps(screen, RASTERCAPS) & RC_BITBLT, 0);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), screenDpi());
    EXPECT_FALSE(ReferenceDc(screenDpi() + 1).available());
    const ReferenceDc plotter(screenDpi(), 0);
    ASSERT_NE(static_cast<HDC>(plotter), nullptr);
    EXPECT_EQ(GetDeviceCaps(plotter, RASTERCAPS) & RC_BITBLT, 0);
}

// The leak check of every test counts for real: the bitmap handed over is one object more, and
// nothing else the call made outlives it.
TEST_F(Devices, OnlyTheBitmapOutlivesACall)
{
    const ReferenceDc screen(screenDpi());
    const int before = liveGdiObjects();
    ASSERT_GT(before, 0);
    std::string text = "abc";
    std::string framed(text.size() + 4, '\0');
    HBITMAP bitmap = nullptr;
    ASSERT_EQ(BarCode_Code39(screen, &bitmap, text.data(), nullptr, nullptr, framed.data(), 0.33,
                             10, 2.5, 0),
              0);
    EXPECT_EQ(liveGdiObjects(), before + 1);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(liveGdiObjects(), before);
}

} // namespace
} // namespace lorvaxen::test
