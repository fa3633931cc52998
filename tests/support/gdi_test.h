// What the tests share: a fixture that proves no graphics object outlives a test, owners for
// device contexts and bitmaps, and a reader that turns a bitmap into pixels.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#ifdef _WIN32
#include "windows_devices.h" // the screen's devices and the system's count of graphics objects
#endif

namespace lorvaxen::test {

#ifndef _WIN32
// How many device contexts and bitmaps the process holds.
inline int liveGdiObjects()
{
    return GdiLiveObjectCount();
}
#endif

// Fails a test that leaves a device context or bitmap behind.
class GdiTest : public ::testing::Test
{
  protected:
    void SetUp() override { liveAtStart_ = liveGdiObjects(); }
    void TearDown() override
    {
        EXPECT_EQ(liveGdiObjects(), liveAtStart_) << "a device context or bitmap leaked";
    }

  private:
    int liveAtStart_ = 0;
};

#ifndef _WIN32
// A reference device of the given resolution, deleted at the end of the scope.
class ReferenceDc
{
  public:
    explicit ReferenceDc(int dpi, int rasterCaps = RC_BITBLT)
        : dc_(CreateReferenceDC(dpi, dpi, rasterCaps))
    {
    }
    ReferenceDc(int dpiX, int dpiY, int rasterCaps) : dc_(CreateReferenceDC(dpiX, dpiY, rasterCaps))
    {
    }
    ReferenceDc(const ReferenceDc&) = delete;
    ReferenceDc& operator=(const ReferenceDc&) = delete;
    ~ReferenceDc() { DeleteDC(dc_); }
    operator HDC() const { return dc_; }    // NOLINT(google-explicit-constructor)
    bool available() const { return true; } // every resolution can be had

  private:
    HDC dc_;
};
#endif

// Skips the rest of a test when this platform cannot make the reference device it needs: Windows
// makes them at the screen's resolution only, and each run of the tests there has one.
#define LORVAXEN_SKIP_UNLESS_AVAILABLE(device)                                                     \
    if (!(device).available())                                                                     \
    GTEST_SKIP() << "no " #device " at this resolution here"

// Takes ownership of a bitmap handed back by the library.
class OwnedBitmap
{
  public:
    OwnedBitmap() = default;
    explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    ~OwnedBitmap() { reset(); }
    void reset()
    {
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        bitmap_ = nullptr;
    }
    HBITMAP* out() // for a fresh call: releases what was held
    {
        reset();
        return &bitmap_;
    }
    HBITMAP get() const { return bitmap_; }

  private:
    HBITMAP bitmap_ = nullptr;
};

// A bitmap's pixels, row by row; true is black.
struct Pixels
{
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPixel = 0;
    std::vector<bool> black;

    bool at(int32_t x, int32_t y) const
    {
        return black[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    // One row as text, '#' for black and '.' for white.
    std::string row(int32_t y) const
    {
        std::string text;
        for (int32_t x = 0; x < width; ++x) {
            text += at(x, y) ? '#' : '.';
        }
        return text;
    }
    // True when every row equals the first, as it must for bars that span the full height.
    bool rowsAlike() const
    {
        for (int32_t y = 1; y < height; ++y) {
            if (row(y) != row(0)) {
                return false;
            }
        }
        return true;
    }
};

// Reads a monochrome bitmap through GetObject and GetBitmapBits (1 is white, rows padded to two
// bytes, leftmost pixel in the most significant bit).
inline Pixels readPixels(HBITMAP bitmap)
{
    BITMAP info{};
    Pixels pixels;
    if (GetObject(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) {
        return pixels;
    }
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.bitsPixel = info.bmBitsPixel;
    std::vector<unsigned char> bits(static_cast<size_t>(info.bmWidthBytes) *
                                    static_cast<size_t>(info.bmHeight));
    GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    pixels.black.resize(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    for (int32_t y = 0; y < info.bmHeight; ++y) {
        for (int32_t x = 0; x < info.bmWidth; ++x) {
            const auto byte = bits[static_cast<size_t>(y) * info.bmWidthBytes + x / 8];
            pixels.black[static_cast<size_t>(y) * info.bmWidth + x] =
                ((byte >> (7 - x % 8)) & 1) == 0;
        }
    }
    return pixels;
}

} // namespace lorvaxen::test
