// The graphics stand-in behaves as Win32 does for the calls the library and its clients make.
#include <array>
#include <cstdint>
#include <vector>

#include "gdi_test.h"

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

TEST_F(GdiStandIn, BitmapsAreMonochromeWithRowsPaddedToTwoBytes)
{
    HDC memory = CreateCompatibleDC(nullptr);
    struct Case
    {
        int width;
        LONG widthBytes;
    };
    for (const Case c : {Case{1, 2}, Case{16, 2}, Case{17, 4}, Case{33, 6}}) {
        HBITMAP bitmap = CreateCompatibleBitmap(memory, c.width, 3);
        BITMAP info{};
        ASSERT_EQ(GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, c.width);
        EXPECT_EQ(info.bmHeight, 3);
        EXPECT_EQ(info.bmWidthBytes, c.widthBytes) << c.width;
        EXPECT_EQ(info.bmPlanes, 1);
        EXPECT_EQ(info.bmBitsPixel, 1);
        EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), c.widthBytes * 3);
        DeleteObject(bitmap);
    }
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

} // namespace
} // namespace lorvaxen::test
