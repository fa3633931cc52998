#include "windows_devices.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>
#include <winternl.h>

namespace lorvaxen::test {
namespace {

// One entry of the GDI handle table that Windows and Wine map into every process, in Wine's
// layout, which is that of 64-bit Windows. A free entry has type 0.
struct GdiHandleEntry
{
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleEntries = 0x10000;
// Where the process environment block keeps the table's address.
constexpr std::size_t kGdiHandleTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

// Wine answers GetGuiResources with 0; there the objects are counted in the handle table, which
// in Wine belongs to the process alone. -1 when there is no table either.
int countHandleTable()
{
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process,
                                  sizeof process, nullptr) != 0) {
        return -1;
    }
    const auto* peb = reinterpret_cast<const std::byte*>(process.PebBaseAddress);
    std::uintptr_t address = 0;
    std::memcpy(&address, peb + kGdiHandleTableOffset, sizeof address);
    if (address == 0) {
        return -1;
    }
    const auto* table = reinterpret_cast<const GdiHandleEntry*>(address); // NOLINT
    int live = 0;
    for (std::size_t i = 0; i < kGdiHandleEntries; ++i) {
        live += table[i].type != 0 ? 1 : 0;
    }
    return live;
}

// The system keeps objects of its own once the screen and a metafile have been used (Wine caches
// the screen's device context and its brushes); made once before anything is counted, they do
// not show as leaks of the first test to use them.
void makeSystemObjects()
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(memory, 8, 8);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    RECT all{0, 0, 8, 8};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(memory, 0, 0, 4, 8, screen, 0, 0, BLACKNESS);
    SelectObject(memory, kept);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteMetaFile(CloseMetaFile(CreateMetaFileA(nullptr)));
}

// A process that holds a device context holds at least one GDI object.
bool guiResourcesCount()
{
    makeSystemObjects();
    HDC probe = CreateCompatibleDC(nullptr);
    const bool counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) > 0;
    DeleteDC(probe);
    return counted;
}

} // namespace

int liveGdiObjects()
{
    static const bool guiResources = guiResourcesCount();
    if (guiResources) {
        return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    }
    return countHandleTable();
}

int screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

ReferenceDc::ReferenceDc(int dpiX, int dpiY, int rasterCaps) : dpiX_(dpiX), dpiY_(dpiY)
{
    if ((rasterCaps & RC_BITBLT) == 0) {
        dc_ = CreateMetaFileA(nullptr);
        metafile_ = true;
        return;
    }
    HDC screen = GetDC(nullptr);
    if (GetDeviceCaps(screen, LOGPIXELSX) == dpiX && GetDeviceCaps(screen, LOGPIXELSY) == dpiY) {
        dc_ = CreateCompatibleDC(screen);
    }
    ReleaseDC(nullptr, screen);
}

ReferenceDc::operator HDC() const
{
    if (dc_ == nullptr) {
        ADD_FAILURE() << "no reference device of " << dpiX_ << " x " << dpiY_
                      << " dpi on this screen of " << screenDpi() << " dpi";
    }
    return dc_;
}

ReferenceDc::~ReferenceDc()
{
    if (dc_ == nullptr) {
        return;
    }
    if (metafile_) {
        DeleteMetaFile(CloseMetaFile(dc_));
    } else {
        DeleteDC(dc_);
    }
}

} // namespace lorvaxen::test
