// The renderer's geometry: element widths, truncations, the worked examples and the refusals.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <Lorvaxen.h>

#include "gdi_test.h"
#include "renderer.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

using detail::measurePattern;
using detail::renderElementPattern;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct WidthRow
{
    double ratio;
    std::vector<std::vector<int32_t>> widthsByNarrowPx; // digits 0 to 3 at narrowPx 1 to 4
};
using ElementWidth = ::testing::TestWithParam<WidthRow>;
const WidthRow kWidthRows[] = {
    {1.0, {{1, 1, 1, 2}, {2, 2, 3, 4}, {3, 3, 4, 6}, {4, 4, 6, 8}}},
    {2.0, {{1, 2, 3, 4}, {2, 4, 6, 8}, {3, 6, 9, 12}, {4, 8, 12, 16}}},
    {2.2, {{1, 2, 3, 4}, {2, 4, 6, 8}, {3, 6, 9, 13}, {4, 8, 13, 17}}},
    {2.5, {{1, 2, 3, 5}, {2, 5, 7, 10}, {3, 7, 11, 15}, {4, 10, 15, 20}}},
    {3.0, {{1, 3, 4, 6}, {2, 6, 9, 12}, {3, 9, 13, 18}, {4, 12, 18, 24}}},
};
INSTANTIATE_TEST_SUITE_P(ElementWidth, ElementWidth, ::testing::ValuesIn(kWidthRows),
                         [](const auto& info) { return rowNameOf("ratio", info.param.ratio); });

TEST_P(ElementWidth, FollowsTheTruncatedRatioRule)
{
    const WidthRow& row = GetParam();
    for (int32_t narrowPx = 1; narrowPx <= 4; ++narrowPx) {
        for (char digit = '0'; digit <= '3'; ++digit) {
            EXPECT_EQ(elementWidthPx(digit, narrowPx, row.ratio),
                      row.widthsByNarrowPx[narrowPx - 1][digit - '0'])
                << "ratio " << row.ratio << ", narrowPx " << narrowPx << ", digit " << digit;
        }
    }
}

struct MeasureCase
{
    int dpi;
    double narrowMm;
    double heightMm;
    int32_t narrowPx;
    int32_t heightPx;
};
using MeasureTruncation = ::testing::TestWithParam<MeasureCase>;
const MeasureCase kMeasureTruncationRows[] = {
    MeasureCase{96, 0.33, 10.0, 1, 37},
    MeasureCase{600, 0.33, 10.0, 7, 236},
    MeasureCase{96, 0.33, 25.4, 1, 95}, // 96 * 25.4 is 2438.3999999999996
    MeasureCase{96, 0.33, 12.7, 1, 47},
    MeasureCase{96, 0.254, 1.0, 1, 3}, // 0.96 pixels is raised to 1
    MeasureCase{96, 0.001, 0.001, 1, 1},
};
INSTANTIATE_TEST_SUITE_P(Measure, MeasureTruncation, ::testing::ValuesIn(kMeasureTruncationRows),
                         [](const auto& info) {
                             const MeasureCase& c = info.param;
                             return rowNameOf(c.dpi, "dpi", c.narrowMm, "mm", c.heightMm, "mm");
                         });

TEST_P(MeasureTruncation, TruncatesMillimetresAsDoubleArithmeticDoes)
{
    const MeasureCase& c = GetParam();
    const auto geometry = measurePattern("0", c.dpi, c.dpi, c.narrowMm, c.heightMm, 2.5);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->narrowPx, c.narrowPx) << c.narrowMm << " mm at " << c.dpi;
    EXPECT_EQ(geometry->heightPx, c.heightPx) << c.heightMm << " mm at " << c.dpi;
}

struct RefusedCase
{
    const char* pattern;
    double narrowMm;
    double heightMm;
    double ratio;
};
using MeasureRefusals = ::testing::TestWithParam<RefusedCase>;
const RefusedCase kMeasureRefusalsRows[] = {
    RefusedCase{"", 0.33, 10, 2.5},
    RefusedCase{"0", 0.33, 10, 0.999},
    RefusedCase{"0", 0.33, 10, kNaN},
    RefusedCase{"0", 0.33, kNaN, 2.5},
    RefusedCase{"0", kNaN, 10, 2.5},
    RefusedCase{"0", 0, 10, 2.5},
    RefusedCase{"0", -1, 10, 2.5},
    RefusedCase{"0", 0.33, 0, 2.5},
    RefusedCase{"0", 0.33, -10, 2.5},
    RefusedCase{"0", 0.33, kInfinity, 2.5},
    RefusedCase{"0", kInfinity, 10, 2.5},
    RefusedCase{"0", 1e12, 10, 2.5},
    RefusedCase{"01", 0.33, 10, kInfinity},
    RefusedCase{"01", 0.33, 10, 1e300},
    RefusedCase{"0", 0.33, 1e12, 2.5},
    RefusedCase{"10/", 0.33, 10, 2.5}, // bytes just below and above the digits, and a high one
    RefusedCase{"0:1", 0.33, 10, 2.5},
    RefusedCase{"01\xff", 0.33, 10, 2.5},
};
INSTANTIATE_TEST_SUITE_P(Measure, MeasureRefusals, ::testing::ValuesIn(kMeasureRefusalsRows),
                         [](const auto& info) {
                             const RefusedCase& c = info.param;
                             return rowNameOf("pattern", c.pattern, c.narrowMm, c.heightMm,
                                              c.ratio);
                         });

TEST_P(MeasureRefusals, RefusesDimensionsOutsideTheirRangeOrTooLargeForPixels)
{
    const RefusedCase& c = GetParam();
    EXPECT_FALSE(measurePattern(c.pattern, 600, 600, c.narrowMm, c.heightMm, c.ratio))
        << "'" << c.pattern << "' " << c.narrowMm << " " << c.heightMm << " " << c.ratio;
}

TEST(Measure, RefusesAPatternWhoseElementsFitButNotTheirSum)
{
    // Each element fits, but their sum does not.
    const std::string wide(5000, '0'); // 5,000 modules of 472,440 pixels
    EXPECT_TRUE(measurePattern("0", 600, 600, 20000, 10, 2.5));
    EXPECT_FALSE(measurePattern(wide, 600, 600, 20000, 10, 2.5));
    EXPECT_TRUE(measurePattern("0", 600, 600, 0.33, 10, 1.0));
}

class Renderer : public GdiTest
{
  protected:
    struct Outcome
    {
        int32_t code;
        int32_t width = -7; // 0 while not known
        int32_t height = -7;
        OwnedBitmap bitmap;
    };
    static void render(Outcome& outcome, HDC hdc, const char* pattern, double narrowMm,
                       double heightMm, double ratio)
    {
        const Rendering rendering = renderElementPattern(hdc, pattern, narrowMm, heightMm, ratio);
        outcome.code = rendering.code;
        outcome.width = rendering.widthPx;
        outcome.height = rendering.heightPx;
        *outcome.bitmap.out() = rendering.bitmap;
    }
};

TEST_F(Renderer, DrawsTheWorkedExampleAt96Dpi)
{
    const ReferenceDc screen(96);
    Outcome out{};
    render(out, screen, "0100101000", 0.33, 10, 2.5);
    ASSERT_EQ(out.code, 0);
    EXPECT_EQ(out.width, 13);
    EXPECT_EQ(out.height, 37);
    const Pixels pixels = readPixels(out.bitmap.get());
    EXPECT_EQ(pixels.bitsPixel, 1);
    EXPECT_EQ(pixels.width, 13);
    EXPECT_EQ(pixels.height, 37);
    EXPECT_EQ(pixels.row(0), "#..#.##.##.#.");
    EXPECT_TRUE(pixels.rowsAlike());
}

TEST_F(Renderer, DrawsTheWorkedExampleAt600Dpi)
{
    const ReferenceDc printer(600);
    Outcome out{};
    render(out, printer, "0100101000", 0.33, 10, 2.5);
    ASSERT_EQ(out.code, 0);
    EXPECT_EQ(out.width, 100);
    EXPECT_EQ(out.height, 236);
    const Pixels pixels = readPixels(out.bitmap.get());
    std::string expected(100, '.');
    for (const auto& [x, width] : {std::pair{0, 7}, {24, 7}, {38, 17}, {62, 17}, {86, 7}}) {
        expected.replace(static_cast<size_t>(x), static_cast<size_t>(width),
                         static_cast<size_t>(width), '#');
    }
    EXPECT_EQ(pixels.row(0), expected);
    EXPECT_TRUE(pixels.rowsAlike());
}

TEST_F(Renderer, UsesEachAxisResolution)
{
    const ReferenceDc device(300, 150, RC_BITBLT);
    Outcome out{};
    render(out, device, "0", 2.54, 10, 2.0);
    ASSERT_EQ(out.code, 0);
    EXPECT_EQ(out.width, 30);
    EXPECT_EQ(out.height, 59); // 1,500 / 25.4 = 59.05
}

TEST_F(Renderer, DrawsSingleBarsAndTrailingSpaces)
{
    const ReferenceDc screen(96);
    Outcome out{};
    render(out, screen, "0", 0.33, 1, 2.5);
    ASSERT_EQ(out.code, 0);
    EXPECT_EQ(readPixels(out.bitmap.get()).row(0), "#");

    render(out, screen, "010", 0.33, 1, 1.0); // ratio 1: a wide element is a narrow one
    ASSERT_EQ(out.code, 0);
    EXPECT_EQ(readPixels(out.bitmap.get()).row(0), "#.#");

    render(out, screen, "0001", 0.33, 1, 3.0); // a final space leaves white columns
    ASSERT_EQ(out.code, 0);
    EXPECT_EQ(readPixels(out.bitmap.get()).row(0), "#.#...");
}

TEST_F(Renderer, PaintsTheWholeBitmapWhiteEvenBeyondTheScreen)
{
    // 1,500 pixels a module at 96 dpi: the space reaches past the 1,920-pixel screen width and the
    // bars below its 1,080-pixel height.
    const ReferenceDc screen(96);
    Outcome out{};
    render(out, screen, "00", 25.4 * 1500 / 96 + 0.01, 25.4 * 1200 / 96 + 0.01, 2.0);
    ASSERT_EQ(out.code, 0);
    ASSERT_EQ(out.width, 3000);
    ASSERT_EQ(out.height, 1200);
    const Pixels pixels = readPixels(out.bitmap.get());
    for (const int32_t y : {0, 1079, 1080, 1199}) {
        for (const int32_t x : {0, 1499, 1500, 1919, 1920, 2999}) {
            EXPECT_EQ(pixels.at(x, y), x < 1500) << x << ", " << y;
        }
    }
}

TEST_F(Renderer, RefusesADeviceWithoutBitBltBeforeWritingAnything)
{
    const ReferenceDc plotter(600, 0);
    Outcome out{};
    render(out, plotter, "0100", 0.33, 10, 2.5);
    EXPECT_EQ(out.code, -1);
    EXPECT_EQ(out.width, 0);
    EXPECT_EQ(out.height, 0);
    EXPECT_EQ(out.bitmap.get(), nullptr);

    render(out, nullptr, "0100", 0.33, 10, 2.5);
    EXPECT_EQ(out.code, -1);
}

TEST_F(Renderer, RefusedDimensionsWriteNoSize)
{
    const ReferenceDc printer(600);
    Outcome out{};
    for (const double height : {0.0, -1.0, kNaN, kInfinity}) {
        render(out, printer, "0100", 0.33, height, 2.5);
        EXPECT_EQ(out.code, -2);
        EXPECT_EQ(out.width, 0);
        EXPECT_EQ(out.height, 0);
    }
    render(out, printer, "", 0.33, 10, 2.5); // no elements
    EXPECT_EQ(out.code, -2);
}

TEST_F(Renderer, ReportsTheSizeWhenTheGraphicsRunOut)
{
    const ReferenceDc printer(600);
    Outcome out{};
    // 12,000 x 236,220 pixels is more than the 2^31 bits a bitmap may hold.
    render(out, printer, "00", 254, 10000, 2.0);
    EXPECT_EQ(out.code, -3);
    EXPECT_EQ(out.width, 12000);
    EXPECT_EQ(out.height, 236220);
    EXPECT_EQ(out.bitmap.get(), nullptr);

    // With the process's object quota used up, not even the memory device context can be made.
    std::vector<HBITMAP> filler;
    HDC memory = CreateCompatibleDC(printer);
    while (HBITMAP more = CreateCompatibleBitmap(memory, 1, 1)) {
        filler.push_back(more);
    }
    DeleteObject(filler.back()); // room for the memory context, none for the bitmap
    filler.pop_back();
    render(out, printer, "0100", 0.33, 10, 2.5);
    EXPECT_EQ(out.code, -3);
    DeleteDC(memory); // now room for none of the two, once the bitmap's place is taken again
    filler.push_back(CreateCompatibleBitmap(printer, 1, 1));
    filler.push_back(CreateCompatibleBitmap(printer, 1, 1));
    render(out, printer, "0100", 0.33, 10, 2.5);
    EXPECT_EQ(out.code, -1);
    EXPECT_EQ(out.width, 38);
    EXPECT_EQ(out.height, 236);
    for (HBITMAP b : filler) {
        DeleteObject(b);
    }
}

} // namespace
} // namespace lorvaxen::test
