// The test devices on Windows, where the graphics are the system's own: reference devices made
// from the screen, and a count of the process's graphics objects.
#pragma once

#include <windows.h>

namespace lorvaxen::test {

// How many GDI objects (device contexts, bitmaps, brushes...) the process holds.
int liveGdiObjects();

// The screen's resolution along x, in pixels per logical inch.
int screenDpi();

// A reference device: a memory device context made from the screen's, or, without RC_BITBLT, a
// metafile device context, which reports no raster capabilities. Windows makes no device of a
// chosen resolution, so only the screen's can be had (96 dpi under Wine); for any other the
// device is not available and its handle is null.
class ReferenceDc
{
  public:
    explicit ReferenceDc(int dpi, int rasterCaps = RC_BITBLT) : ReferenceDc(dpi, dpi, rasterCaps) {}
    ReferenceDc(int dpiX, int dpiY, int rasterCaps);
    ReferenceDc(const ReferenceDc&) = delete;
    ReferenceDc& operator=(const ReferenceDc&) = delete;
    ~ReferenceDc();
    // Fails the test when the device is not available: guard it with
    // LORVAXEN_SKIP_UNLESS_AVAILABLE, or skip the case.
    operator HDC() const; // NOLINT(google-explicit-constructor)
    bool available() const { return dc_ != nullptr; }

  private:
    HDC dc_ = nullptr;
    bool metafile_ = false;
    int dpiX_;
    int dpiY_;
};

} // namespace lorvaxen::test
