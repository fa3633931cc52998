#include "barcode.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include <lorvaxen_pixels.h>
#include <lorvaxen_text_reader.h>

namespace lorvaxen::tool {
namespace {

// Light margins from the symbology standards: ten narrow modules on each side for Code 39
// (ISO/IEC 16388), Interleaved 2 of 5 (ISO/IEC 16390) and NW7; eleven before and seven after an
// EAN-13 symbol (ISO/IEC 15420).
// An EAN-13 symbol's nominal module is 0.33 mm, allowed from 80% to 200% of it, and its nominal
// bars are 22.85 mm high. The others name no nominal size: their bars default to 6.35 mm.
constexpr std::array kSymbologies{
    SymbologyInfo{"jan", "JAN", passingText<BarCode_JAN>, 11, 7, 0.33, 0.8, 2.0, 22.85, 7.0, true},
    SymbologyInfo{"code39", "Code 39", BarCode_Code39, 10, 10, 0, 0, 0, 6.35, 7.5, false},
    SymbologyInfo{"itf", "Interleaved 2 of 5", passingText<BarCode_I2of5>, 10, 10, 0, 0, 0, 6.35,
                  7.5, false},
    SymbologyInfo{"nw7", "NW7", BarCode_NW7, 10, 10, 0, 0, 0, 6.35, 7.5, false},
};

// The library's bitmap and its device, released on every path.
class Graphics
{
  public:
    explicit Graphics(int dpi) : device_(CreateReferenceDC(dpi, dpi, RC_BITBLT)) {}
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;
    ~Graphics()
    {
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (device_ != nullptr) {
            DeleteDC(device_);
        }
    }
    HDC device() const { return device_; }
    HBITMAP* bitmapOut() { return &bitmap_; }
    HBITMAP bitmap() const { return bitmap_; }

  private:
    HDC device_;
    HBITMAP bitmap_ = nullptr;
};

} // namespace

std::span<const SymbologyInfo> symbologies()
{
    return kSymbologies;
}

const SymbologyInfo* findSymbology(std::string_view name)
{
    for (const SymbologyInfo& symbology : kSymbologies) {
        if (symbology.name == name) {
            return &symbology;
        }
    }
    return nullptr;
}

int32_t modulePixels(int dpi, double narrowMm)
{
    // The library's own rule; a count too large for 32 bits is held at the largest.
    if (const auto pixels = mmToPixels(dpi, narrowMm)) {
        return *pixels;
    }
    return narrowMm > 0 ? std::numeric_limits<int32_t>::max() : 1;
}

ModuleChoice chooseModule(int dpi, double requestedMm)
{
    ModuleChoice choice;
    choice.requestedMm = requestedMm;
    choice.libraryMm = requestedMm;
    const double exact = static_cast<double>(dpi) * requestedMm / kMmPerInch;
    // Anything the library would refuse, or that is past 32-bit pixel counts, goes as asked.
    if (!(exact > 0) || exact >= std::numeric_limits<int32_t>::max() - 1) {
        return choice;
    }
    choice.dots = std::max<int32_t>(1, static_cast<int32_t>(std::lround(exact)));
    choice.achievedMm = pixelsToMm(choice.dots, dpi);
    // Half a dot over the wanted count: the library's truncation lands on it whatever the
    // rounding of the division.
    choice.libraryMm = (choice.dots + 0.5) * kMmPerInch / static_cast<double>(dpi);
    return choice;
}

std::optional<std::string> moduleWarning(const SymbologyInfo& symbology, const ModuleChoice& module)
{
    if (symbology.nominalModuleMm <= 0 || module.dots == 0) {
        return std::nullopt;
    }
    const double share = module.achievedMm / symbology.nominalModuleMm;
    if (share >= symbology.minModuleShare - 1e-9 && share <= symbology.maxModuleShare + 1e-9) {
        return std::nullopt;
    }
    return "the module of " + formatDecimal(module.achievedMm, 4) + " mm is " +
           formatDecimal(share * 100, 1) + "% of " + std::string(symbology.title) + "'s nominal " +
           formatDecimal(symbology.nominalModuleMm, 3) + " mm, outside the " +
           formatDecimal(symbology.minModuleShare * 100, 0) + "% to " +
           formatDecimal(symbology.maxModuleShare * 100, 0) + "% its standard allows";
}

Barcode makeBarcode(std::string_view text, const BarcodeSettings& settings)
{
    Barcode barcode;
    Graphics graphics(settings.dpi);
    if (graphics.device() == nullptr) {
        barcode.code = LORVAXEN_NO_BITBLT;
        return barcode;
    }
    // The library folds the case of some texts in place, and needs room for four more
    // characters than the text has for the framed text.
    std::string input(text);
    std::string framed(text.size() + 4, '\0');
    int32_t widthPx = 0;
    int32_t heightPx = 0;
    const SymbologyInfo& symbology = *settings.symbology;
    barcode.module = chooseModule(settings.dpi, settings.narrowMm);
    const double nominalHeightMm =
        symbology.nominalModuleMm > 0 && barcode.module.dots > 0
            ? symbology.defaultHeightMm * barcode.module.achievedMm / symbology.nominalModuleMm
            : symbology.defaultHeightMm;
    barcode.code = symbology.make(graphics.device(), graphics.bitmapOut(), input.data(), &widthPx,
                                  &heightPx, framed.data(), barcode.module.libraryMm,
                                  settings.heightMm.value_or(nominalHeightMm), settings.ratio,
                                  settings.check ? 1 : 0);
    if (barcode.code != LORVAXEN_OK) {
        return barcode;
    }
    barcode.framedText = framed.substr(0, framed.find('\0'));

    auto image = readBitmap(graphics.bitmap(), settings.dpi);
    if (!image || image->width != widthPx || image->height != heightPx) {
        barcode.code = LORVAXEN_NO_BITMAP;
        return barcode;
    }
    const int32_t module = modulePixels(settings.dpi, barcode.module.libraryMm);
    barcode.modulePx = module;
    if (!settings.quietZone) {
        barcode.image = std::move(*image);
        return barcode;
    }
    const int64_t left = int64_t{module} * settings.symbology->leftQuietModules;
    const int64_t right = int64_t{module} * settings.symbology->rightQuietModules;
    auto framedImage =
        left > std::numeric_limits<int32_t>::max() || right > std::numeric_limits<int32_t>::max()
            ? std::nullopt
            : withMargins(*image, static_cast<int32_t>(left), static_cast<int32_t>(right));
    if (!framedImage) {
        barcode.code = LORVAXEN_BAD_DIMENSION; // the margins take the width past 32 bits
        return barcode;
    }
    barcode.image = std::move(*framedImage);
    barcode.leftQuietPx = static_cast<int32_t>(left);
    barcode.rightQuietPx = static_cast<int32_t>(right);
    return barcode;
}

std::string_view describeResult(int32_t code)
{
    switch (code) {
    case LORVAXEN_OK:
        return "success";
    case LORVAXEN_NO_BITBLT:
        return "the device cannot copy bitmaps (no BitBlt), or no memory device context could be "
               "made";
    case LORVAXEN_BAD_DIMENSION:
        return "a dimension is refused: the narrow width and the height must be above 0 and the "
               "ratio at least 1, and the symbol must fit in 32-bit pixel counts";
    case LORVAXEN_NO_BITMAP:
        return "no bitmap could be made (not enough memory for this size)";
    case LORVAXEN_JAN_LENGTH:
        return "a JAN needs 12 or 13 digits";
    case LORVAXEN_JAN_CHARSET:
        return "a character is not a digit (a JAN takes digits only)";
    case LORVAXEN_CODE39_EMPTY:
        return "the text is empty, or nothing but asterisks (Code 39)";
    case LORVAXEN_CODE39_CHARSET:
        return "a character is not a Code 39 symbol";
    case LORVAXEN_I2OF5_EMPTY:
        return "the text is empty (Interleaved 2 of 5)";
    case LORVAXEN_I2OF5_CHARSET:
        return "a character is not a digit (Interleaved 2 of 5 takes digits only)";
    case LORVAXEN_NW7_EMPTY:
        return "the text is empty (NW7)";
    case LORVAXEN_NW7_CHARSET:
        return "a character is not an NW7 symbol";
    default:
        return "an unknown result code";
    }
}

} // namespace lorvaxen::tool
