// The graphics stand-in behaves as Win32 does for the calls the library and its clients make.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "gdi_test.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

class GdiStandIn : public GdiTest
{
};

TEST_F(GdiStandIn, ConstantsHaveTheirWin32Values)
{
    EXPECT_EQ(RASTERCAPS, 38);
    EXPECT_EQ(RC_BITBLT, 1);
    EXPECT_EQ(LOGPIXELSX, 88);
    EXPECT_EQ(LOGPIXELSY, 90);
    EXPECT_EQ(HORZRES, 8);
    EXPECT_EQ(VERTRES, 10);
    EXPECT_EQ(WHITE_BRUSH, 0);
    EXPECT_EQ(BLACK_BRUSH, 4);
    EXPECT_EQ(BLACKNESS, 0x00000042U);
    EXPECT_EQ(WHITENESS, 0x00FF0062U);
    EXPECT_EQ(SRCCOPY, 0x00CC0020U);
    EXPECT_EQ(sizeof(LONG), 4U);
    EXPECT_EQ(sizeof(RECT), 16U);
}

TEST_F(GdiStandIn, MemoryContextTakesTheResolutionOfItsDevice)
{
    const ReferenceDc printer(600, 300, RC_BITBLT);
    HDC memory = CreateCompatibleDC(printer);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSY), 300);
    EXPECT_EQ(GetDeviceCaps(memory, RASTERCAPS) & RC_BITBLT, RC_BITBLT);
    EXPECT_GT(GetDeviceCaps(memory, HORZRES), 0);
    EXPECT_GT(GetDeviceCaps(memory, VERTRES), 0);
    DeleteDC(memory);

    HDC screen = CreateCompatibleDC(nullptr); // a null device is a 96-dpi screen
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    DeleteDC(screen);

    const ReferenceDc plotter(300, 0);
    EXPECT_EQ(GetDeviceCaps(plotter, RASTERCAPS) & RC_BITBLT, 0);

    // No device has a resolution of no pixels, or fewer, an inch.
    EXPECT_EQ(CreateReferenceDC(0, 96, RC_BITBLT), nullptr);
    EXPECT_EQ(CreateReferenceDC(96, -600, RC_BITBLT), nullptr);
}

TEST_F(GdiStandIn, NewMemoryContextHoldsAOneByOneMonochromeBitmap)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 5, 5);
    auto* original = static_cast<HBITMAP>(SelectObject(memory, bitmap));
    BITMAP info{};
    ASSERT_EQ(GetObject(original, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(SelectObject(memory, original), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(memory));
}

struct BitmapSizeCase
{
    int width;
    int height;
    LONG widthBytes;
};
using GdiStandInBitmapSizes = RowsOn<GdiStandIn, BitmapSizeCase>;
// The last is as wide as 2^31 bits allow, where rounding the width up must not overflow.
const BitmapSizeCase kBitmapSizeRows[] = {BitmapSizeCase{1, 3, 2}, BitmapSizeCase{16, 3, 2},
                                          BitmapSizeCase{17, 3, 4}, BitmapSizeCase{33, 3, 6},
                                          BitmapSizeCase{INT_MAX - 3, 1, 1 << 28}};
INSTANTIATE_TEST_SUITE_P(GdiStandIn, GdiStandInBitmapSizes, ::testing::ValuesIn(kBitmapSizeRows),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST_P(GdiStandInBitmapSizes, BitmapsAreMonochromeWithRowsPaddedToTwoBytes)
{
    const BitmapSizeCase& c = GetParam();
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, c.width, c.height);
    BITMAP info{};
    ASSERT_EQ(GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    EXPECT_EQ(info.bmWidthBytes, c.widthBytes) << c.width;
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), c.widthBytes * c.height);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(GdiStandIn, EmptyBitmapIsTheStockOneByOneBitmapAndNeedsNoRelease)
{
    HDC memory = CreateCompatibleDC(nullptr);
    const int live = GdiLiveObjectCount();
    HBITMAP empty = CreateCompatibleBitmap(memory, 0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GdiLiveObjectCount(), live);
    BITMAP info{};
    ASSERT_NE(GetObject(empty, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(empty));
    EXPECT_TRUE(DeleteObject(empty)); // a stock object survives any number of deletions
    DeleteDC(memory);
}

TEST_F(GdiStandIn, RefusesBitmapsItCannotHold)
{
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(memory, 65536, 32769), nullptr); // just over 2^31 bits
    EXPECT_EQ(CreateCompatibleBitmap(memory, -1, 10), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(memory, 10, -1), nullptr);
    DeleteDC(memory);
}

// GetBitmapBits hands out rows top to bottom, leftmost pixel in the most significant bit, 1 white.
TEST_F(GdiStandIn, PaintsInTheWindowsBitLayout)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 20, 2);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    RECT all;
    SetRect(&all, 0, 0, 20, 2);
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(memory, 3, 1, 7, 1, nullptr, 0, 0, BLACKNESS);
    BitBlt(memory, 18, 0, 1, 1, nullptr, 0, 0, BLACKNESS);
    SelectObject(memory, kept);

    std::array<unsigned char, 8> bits{};
    ASSERT_EQ(GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data()), 8);
    // Row 0: only x = 18 black; the padding bits after x = 19 are of no colour in particular.
    EXPECT_EQ(bits[0], 0xFF);
    EXPECT_EQ(bits[1], 0xFF);
    EXPECT_EQ(bits[2] & 0xF0, 0xD0);
    // Row 1: x = 3 to 9 black.
    EXPECT_EQ(bits[4], 0xE0);
    EXPECT_EQ(bits[5], 0x3F);
    EXPECT_EQ(bits[6] & 0xF0, 0xF0);

    std::array<unsigned char, 3> partial{};
    EXPECT_EQ(GetBitmapBits(bitmap, 3, partial.data()), 3);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// Every span of a 24-pixel row, painted black over white and white over black, the full height
// (the one shared row) and in one row of two (every row its own): each edge of each byte lands
// exactly.
TEST_F(GdiStandIn, EverySpanPaintsExactlyItsPixels)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 24, 2);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    for (const bool fullHeight : {true, false}) {
        for (const DWORD paint : {BLACKNESS, WHITENESS}) {
            const DWORD ground = paint == BLACKNESS ? WHITENESS : BLACKNESS;
            const char mark = paint == BLACKNESS ? '#' : '.';
            for (int left = 0; left < 24; ++left) {
                for (int right = left + 1; right <= 24; ++right) {
                    BitBlt(memory, 0, 0, 24, 2, nullptr, 0, 0, ground);
                    BitBlt(memory, left, 0, right - left, fullHeight ? 2 : 1, nullptr, 0, 0, paint);
                    std::string expected(24, paint == BLACKNESS ? '.' : '#');
                    std::fill(expected.begin() + left, expected.begin() + right, mark);
                    const Pixels pixels = readPixels(bitmap);
                    EXPECT_EQ(pixels.row(0), expected) << left << " to " << right;
                    if (fullHeight) {
                        EXPECT_TRUE(pixels.rowsAlike()) << left << " to " << right;
                    }
                }
            }
        }
    }
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(GdiStandIn, DrawingIsClippedToTheBitmap)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 10, 4);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    RECT huge;
    SetRect(&huge, -100, -100, 1 << 30, 1 << 30);
    FillRect(memory, &huge, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(memory, -5, -5, 7, 100, nullptr, 0, 0, BLACKNESS);               // columns 0 and 1
    BitBlt(memory, 9, 2, 1 << 30, 1 << 30, nullptr, 0, 0, BLACKNESS);       // x = 9, rows 2 and 3
    BitBlt(memory, 0x7FFFFFF0, 0, 0x7FFFFFF0, 4, nullptr, 0, 0, BLACKNESS); // far off, no wrap
    SelectObject(memory, kept);
    const Pixels pixels = readPixels(bitmap);
    EXPECT_EQ(pixels.row(0), "##........");
    EXPECT_EQ(pixels.row(1), "##........");
    EXPECT_EQ(pixels.row(2), "##.......#");
    EXPECT_EQ(pixels.row(3), "##.......#");
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST_F(GdiStandIn, CopiesBetweenMonochromeBitmaps)
{
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HBITMAP from = CreateCompatibleBitmap(source, 8, 2);
    HBITMAP to = CreateCompatibleBitmap(target, 12, 2);
    HGDIOBJ keptSource = SelectObject(source, from);
    HGDIOBJ keptTarget = SelectObject(target, to);
    BitBlt(source, 0, 0, 8, 2, nullptr, 0, 0, WHITENESS);
    BitBlt(source, 2, 0, 3, 2, nullptr, 0, 0, BLACKNESS);
    BitBlt(target, 0, 0, 12, 2, nullptr, 0, 0, WHITENESS);
    EXPECT_TRUE(BitBlt(target, 5, 1, 8, 1, source, 1, 0, SRCCOPY));
    SelectObject(source, keptSource);
    SelectObject(target, keptTarget);
    const Pixels pixels = readPixels(to);
    EXPECT_EQ(pixels.row(0), "............");
    EXPECT_EQ(pixels.row(1), "......###...");
    DeleteObject(from);
    DeleteObject(to);
    DeleteDC(source);
    DeleteDC(target);
}

TEST_F(GdiStandIn, BadHandlesFailWithoutHarm)
{
    HDC deletedDc = CreateCompatibleDC(nullptr);
    DeleteDC(deletedDc);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP deletedBitmap = CreateCompatibleBitmap(memory, 4, 4);
    DeleteObject(deletedBitmap);
    auto* bitmapAsDc = reinterpret_cast<HDC>(CreateCompatibleBitmap(memory, 4, 4)); // NOLINT
    auto* dcAsBitmap = reinterpret_cast<HBITMAP>(memory);                           // NOLINT
    auto* garbage = reinterpret_cast<HDC>(uintptr_t{0xDEADBEE0});                   // NOLINT
    RECT rect{0, 0, 1, 1};
    BITMAP info{};
    unsigned char bits[4] = {};

    for (HDC bad : {static_cast<HDC>(nullptr), deletedDc, bitmapAsDc, garbage}) {
        EXPECT_EQ(GetDeviceCaps(bad, LOGPIXELSX), 0);
        EXPECT_EQ(CreateCompatibleBitmap(bad, 4, 4), nullptr);
        EXPECT_EQ(SelectObject(bad, CreateCompatibleBitmap(memory, 0, 0)), nullptr);
        EXPECT_EQ(FillRect(bad, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
        EXPECT_FALSE(BitBlt(bad, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
        EXPECT_FALSE(DeleteDC(bad));
        if (bad != nullptr) {
            EXPECT_EQ(CreateCompatibleDC(bad), nullptr);
        }
    }
    for (HBITMAP bad : {static_cast<HBITMAP>(nullptr), deletedBitmap, dcAsBitmap}) {
        EXPECT_EQ(GetObject(bad, sizeof info, &info), 0);
        EXPECT_EQ(GetBitmapBits(bad, sizeof bits, bits), 0);
        EXPECT_EQ(SelectObject(memory, bad), nullptr);
        EXPECT_FALSE(DeleteObject(bad));
    }
    EXPECT_EQ(FillRect(memory, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_EQ(FillRect(memory, &rect, reinterpret_cast<HBRUSH>(memory)), 0); // NOLINT
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    EXPECT_EQ(GetStockObject(12345), nullptr);
    EXPECT_TRUE(DeleteObject(reinterpret_cast<HBITMAP>(bitmapAsDc))); // NOLINT
    DeleteDC(memory);
}

TEST_F(GdiStandIn, SelectedBitmapBelongsToOneContextAndOutlivesIt)
{
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
    HGDIOBJ kept = SelectObject(first, bitmap);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap)); // still selected
    SelectObject(first, kept);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(second)); // the bitmap is let go, not deleted
    BITMAP info{};
    EXPECT_NE(GetObject(bitmap, sizeof info, &info), 0);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(first));
}

TEST_F(GdiStandIn, CountsLiveObjectsAndKeepsTheProcessQuota)
{
    const int start = GdiLiveObjectCount();
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 2, 2);
    EXPECT_EQ(GdiLiveObjectCount(), start + 2);
    DeleteObject(bitmap);
    EXPECT_EQ(GdiLiveObjectCount(), start + 1);

    std::vector<HBITMAP> filler;
    while (HBITMAP more = CreateCompatibleBitmap(memory, 1, 1)) {
        filler.push_back(more);
    }
    EXPECT_EQ(GdiLiveObjectCount(), 10000);
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    DeleteObject(filler.back());
    filler.pop_back();
    HDC last = CreateCompatibleDC(nullptr);
    EXPECT_NE(last, nullptr);
    DeleteDC(last);
    for (HBITMAP b : filler) {
        DeleteObject(b);
    }
    DeleteDC(memory);
}

// A colour surface as a program keeps one for a window: a 32-bit top-down DIB section selected into
// a memory device context.
class ColourSurface
{
  public:
    ColourSurface(HDC device, int width, int height)
        : dc_(CreateCompatibleDC(device)),
          bitmap_(CreateDIBSection(dc_, info(width, height), DIB_RGB_COLORS, &bits_, nullptr, 0)),
          kept_(SelectObject(dc_, bitmap_)), width_(width)
    {
    }
    ColourSurface(const ColourSurface&) = delete;
    ColourSurface& operator=(const ColourSurface&) = delete;
    ~ColourSurface()
    {
        SelectObject(dc_, kept_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    // The pixel's bytes as blue, green, red, unused.
    std::array<unsigned char, 4> at(int x, int y) const
    {
        const auto* pixel = static_cast<const unsigned char*>(bits_) +
                            (static_cast<size_t>(y) * width_ + static_cast<size_t>(x)) * 4;
        return {pixel[0], pixel[1], pixel[2], pixel[3]};
    }

    static const BITMAPINFO* info(int width, int height)
    {
        static BITMAPINFO header{};
        header.bmiHeader = BITMAPINFOHEADER{
            sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        return &header;
    }

  private:
    void* bits_ = nullptr;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ kept_;
    int width_;
};

using Bgrx = std::array<unsigned char, 4>;

TEST_F(GdiStandIn, DibSectionIsATopDownColourSurfaceOfFourBytesAPixel)
{
    void* bits = nullptr;
    HBITMAP dib =
        CreateDIBSection(nullptr, ColourSurface::info(3, 2), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObject(dib, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmWidthBytes, 12);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, bits);
    const std::vector<unsigned char> black(24, 0);
    EXPECT_EQ(std::vector<unsigned char>(static_cast<unsigned char*>(bits),
                                         static_cast<unsigned char*>(bits) + 24),
              black);
    EXPECT_TRUE(DeleteObject(dib));
}

struct DibCase
{
    LONG width;
    LONG height;
    WORD bitCount;
    DWORD compression;
    const char* what;
};
using GdiStandInDibRefusals = RowsOn<GdiStandIn, DibCase>;
const DibCase kDibRows[] = {
    {4, 4, 32, BI_RGB, "bottom-up"},
    {4, -4, 24, BI_RGB, "24 bits a pixel"},
    {4, -4, 1, BI_RGB, "monochrome"},
    {4, -4, 32, 3, "bit fields"},
    {0, -4, 32, BI_RGB, "no width"},
    {4, 0, 32, BI_RGB, "no height"},
    {-4, -4, 32, BI_RGB, "negative width"},
    {65536, -1025, 32, BI_RGB, "just over 2^31 bits"},
    {0x7FFFFFFF, static_cast<LONG>(0x80000000U), 32, BI_RGB, "far too large"},
};
INSTANTIATE_TEST_SUITE_P(GdiStandIn, GdiStandInDibRefusals, ::testing::ValuesIn(kDibRows),
                         namedBy(&DibCase::what));

TEST_P(GdiStandInDibRefusals, RefusesTheDibSectionsItDoesNotMake)
{
    const DibCase& c = GetParam();
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{
        sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bitCount, c.compression, 0, 0, 0, 0, 0};
    void* bits = &info; // must come back null
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
        << c.what;
    EXPECT_EQ(bits, nullptr) << c.what;
}

TEST_F(GdiStandIn, RefusesDibSectionsWithoutInfoInPaletteColoursOrInASection)
{
    void* bits = nullptr;
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, ColourSurface::info(4, 4), 1 /* DIB_PAL_COLORS */, &bits,
                               nullptr, 0),
              nullptr);
    int section = 0;
    EXPECT_EQ(
        CreateDIBSection(nullptr, ColourSurface::info(4, 4), DIB_RGB_COLORS, &bits, &section, 0),
        nullptr);
}

// The black bits of a monochrome bitmap take the destination's text colour and the white bits its
// background colour, as Windows paints a monochrome bitmap onto a colour device.
TEST_F(GdiStandIn, CopiesAMonochromeBitmapInTheDestinationsColours)
{
    const ReferenceDc screen(120);
    const ColourSurface picture(screen, 8, 3);
    ASSERT_NE(picture.bitmap(), nullptr);
    EXPECT_EQ(GetDeviceCaps(picture.dc(), LOGPIXELSX), 120);
    BitBlt(picture.dc(), 0, 0, 8, 3, nullptr, 0, 0, WHITENESS);
    EXPECT_EQ(SetTextColor(picture.dc(), RGB(10, 20, 30)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(picture.dc(), RGB(200, 210, 220)), RGB(255, 255, 255));

    HDC memory = CreateCompatibleDC(picture.dc());
    HBITMAP bars = CreateCompatibleBitmap(memory, 4, 2);
    ASSERT_NE(bars, nullptr);
    HGDIOBJ kept = SelectObject(memory, bars);
    BitBlt(memory, 0, 0, 4, 2, nullptr, 0, 0, WHITENESS);
    BitBlt(memory, 1, 0, 2, 2, nullptr, 0, 0, BLACKNESS);                 // ".##."
    EXPECT_TRUE(BitBlt(picture.dc(), 5, 1, 4, 2, memory, 0, 0, SRCCOPY)); // cut at x = 8
    SelectObject(memory, kept);
    DeleteObject(bars);
    DeleteDC(memory);

    const Bgrx text{30, 20, 10, 0};
    const Bgrx background{220, 210, 200, 0};
    const Bgrx white{255, 255, 255, 0};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool copied = y >= 1 && x >= 5;
            const Bgrx expected = !copied ? white : (x == 6 || x == 7) ? text : background;
            EXPECT_EQ(picture.at(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(GdiStandIn, PaintsAColourSurfaceBlackAndWhite)
{
    const ColourSurface picture(nullptr, 4, 1);
    RECT left;
    SetRect(&left, 0, 0, 2, 1);
    FillRect(picture.dc(), &left, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(picture.at(1, 0), (Bgrx{255, 255, 255, 0}));
    EXPECT_EQ(picture.at(2, 0), (Bgrx{0, 0, 0, 0}));
    BitBlt(picture.dc(), 1, 0, 100, 1, nullptr, 0, 0, WHITENESS);
    BitBlt(picture.dc(), 0, 0, 2, 1, nullptr, 0, 0, BLACKNESS);
    EXPECT_EQ(picture.at(1, 0), (Bgrx{0, 0, 0, 0}));
    EXPECT_EQ(picture.at(3, 0), (Bgrx{255, 255, 255, 0}));
}

TEST_F(GdiStandIn, NewContextDrawsBlackOnWhiteWhateverItsDevice)
{
    HDC coloured = CreateCompatibleDC(nullptr);
    SetTextColor(coloured, RGB(1, 2, 3));
    SetBkColor(coloured, RGB(4, 5, 6));
    HDC fresh = CreateCompatibleDC(coloured);
    EXPECT_EQ(SetTextColor(fresh, RGB(7, 8, 9)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkColor(fresh, RGB(7, 8, 9)), RGB(255, 255, 255));
    EXPECT_EQ(SetTextColor(coloured, RGB(0, 0, 0)), RGB(1, 2, 3));
    DeleteDC(fresh);
    DeleteDC(coloured);

    for (HDC bad : {static_cast<HDC>(nullptr), coloured}) { // null, then deleted
        EXPECT_EQ(SetTextColor(bad, RGB(1, 1, 1)), CLR_INVALID);
        EXPECT_EQ(SetBkColor(bad, RGB(1, 1, 1)), CLR_INVALID);
    }
}

// A bitmap whose rows are all alike keeps them as one until something makes them differ; whatever
// the order of operations, the pixels read back are those painted.
// A 10 x 3 bitmap painted white with a full-height bar at x = 1 and 2; then `step`.
struct AlikeRowsCase
{
    const char* what;
    void (*step)(HDC memory, HBITMAP bitmap);
    std::array<const char*, 3> rows;
};
using GdiStandInAlikeRows = RowsOn<GdiStandIn, AlikeRowsCase>;
const AlikeRowsCase kGdiStandInAlikeRowsRows[] = {
    AlikeRowsCase{"nothing more", [](HDC, HBITMAP) {}, {".##.......", ".##.......", ".##......."}},
    AlikeRowsCase{"a fill of part of the height",
                  [](HDC memory, HBITMAP) {
                      const RECT rect{5, 1, 7, 3};
                      FillRect(memory, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                      BitBlt(memory, 9, 0, 1, 3, nullptr, 0, 0, BLACKNESS); // whole height again
                  },
                  {".##......#", ".##..##..#", ".##..##..#"}},
    AlikeRowsCase{"deselected, reselected elsewhere and painted in one row",
                  [](HDC memory, HBITMAP bitmap) {
                      HDC other = CreateCompatibleDC(nullptr);
                      SelectObject(memory, CreateCompatibleBitmap(memory, 0, 0));
                      HGDIOBJ kept = SelectObject(other, bitmap);
                      BitBlt(other, 0, 2, 10, 1, nullptr, 0, 0, BLACKNESS);
                      SelectObject(other, kept);
                      DeleteDC(other);
                      SelectObject(memory, bitmap);
                  },
                  {".##.......", ".##.......", "##########"}},
    AlikeRowsCase{"copies from a bitmap of alike rows, whole and in part",
                  [](HDC memory, HBITMAP) {
                      HDC source = CreateCompatibleDC(nullptr);
                      HBITMAP from = CreateCompatibleBitmap(source, 8, 3); // black throughout
                      HGDIOBJ kept = SelectObject(source, from);
                      BitBlt(source, 0, 0, 8, 3, nullptr, 0, 0, WHITENESS);
                      BitBlt(source, 6, 0, 1, 3, nullptr, 0, 0, BLACKNESS);
                      BitBlt(memory, 3, 0, 4, 3, source, 4, 0, SRCCOPY);  // whole height
                      BitBlt(memory, 7, 1, 3, 5, source, 5, -1, SRCCOPY); // off both edges
                      SelectObject(source, kept);
                      DeleteObject(from);
                      DeleteDC(source);
                  },
                  {".##..#....", ".##..#....", ".##..#..#."}},
};
INSTANTIATE_TEST_SUITE_P(GdiStandIn, GdiStandInAlikeRows,
                         ::testing::ValuesIn(kGdiStandInAlikeRowsRows),
                         namedBy(&AlikeRowsCase::what));

TEST_P(GdiStandInAlikeRows, RowsKeptAsOneGiveExactlyThePixelsPainted)
{
    const AlikeRowsCase& c = GetParam();
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 10, 3);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    const RECT all{0, 0, 10, 3};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(memory, 1, 0, 2, 3, nullptr, 0, 0, BLACKNESS);
    c.step(memory, bitmap);
    SelectObject(memory, kept);
    const Pixels pixels = readPixels(bitmap);
    for (int32_t y = 0; y < 3; ++y) {
        EXPECT_EQ(pixels.row(y), c.rows[static_cast<size_t>(y)]) << c.what << ", row " << y;
    }
    std::array<unsigned char, 5> firstBytes{}; // rows of 2 bytes: two and a half rows
    EXPECT_EQ(GetBitmapBits(bitmap, 5, firstBytes.data()), 5) << c.what;
    std::array<unsigned char, 6> allBytes{};
    GetBitmapBits(bitmap, 6, allBytes.data());
    EXPECT_TRUE(std::equal(firstBytes.begin(), firstBytes.end(), allBytes.begin())) << c.what;
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// What the stand-in does not do fails rather than coming out wrong.
TEST_F(GdiStandIn, NeitherCopiesFromNorMatchesAColourSurface)
{
    const ColourSurface picture(nullptr, 4, 4);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(memory, 4, 4);
    HGDIOBJ kept = SelectObject(memory, mono);
    EXPECT_FALSE(BitBlt(memory, 0, 0, 4, 4, picture.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(CreateCompatibleBitmap(picture.dc(), 4, 4), nullptr);
    EXPECT_NE(CreateCompatibleBitmap(picture.dc(), 0, 0), nullptr); // the stock bitmap, as ever
    SelectObject(memory, kept);
    DeleteObject(mono);
    DeleteDC(memory);
}

} // namespace
} // namespace lorvaxen::test
