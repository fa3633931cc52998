// The module in whole dots: the nearest whole number of a printer's dots to the width asked for,
// what the library is given to draw it, and the warning when it falls outside the symbology's
// range, with the nearest module inside it.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <lorvaxen_pixels.h>

#include "barcode.h"

namespace lorvaxen {

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
    choice.dpi = dpi;
    choice.achievedMm = pixelsToMm(choice.dots, dpi);
    // Half a dot over the wanted count: the library's truncation lands on it whatever the
    // rounding of the division.
    choice.libraryMm = (choice.dots + 0.5) * kMmPerInch / static_cast<double>(dpi);
    return choice;
}

namespace {

// What to give instead of a module outside the symbology's range: at a printer's resolution the
// whole number of dots nearest inside it, else the range's end nearest the request.
std::string nearestAllowedModule(const SymbologyFacts& symbology, const ModuleChoice& module,
                                 double share)
{
    const bool small = share < symbology.minModuleShare;
    const double nominal = symbology.nominalModuleMm;
    if (module.dpi <= 0) {
        const double mm = (small ? symbology.minModuleShare : symbology.maxModuleShare) * nominal;
        return ": give a --narrow of " + std::string(small ? "at least " : "at most ") +
               formatDecimal(mm, 4) + " mm";
    }
    const double dotsPerMm = module.dpi / kMmPerInch;
    const double least = std::ceil(symbology.minModuleShare * nominal * dotsPerMm - 1e-9);
    const double most = std::floor(symbology.maxModuleShare * nominal * dotsPerMm + 1e-9);
    const std::string at = " at " + std::to_string(module.dpi) + " dpi";
    if (least > most) {
        return ": no whole number of dots" + at + " is inside it";
    }
    const auto dots = static_cast<int32_t>(small ? least : most);
    const double mm = pixelsToMm(dots, module.dpi);
    return ": the nearest module inside it" + at + " is " + std::to_string(dots) +
           (dots == 1 ? " dot, " : " dots, ") + formatDecimal(mm, 4) + " mm (" +
           formatDecimal(mm / nominal * 100, 1) + "%): give --narrow " + formatDecimal(mm, 4);
}

} // namespace

std::optional<std::string> moduleWarning(const SymbologyInfo& info, const ModuleChoice& module)
{
    const SymbologyFacts& symbology = info.facts;
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
           formatDecimal(symbology.maxModuleShare * 100, 0) + "% its standard allows" +
           nearestAllowedModule(symbology, module, share);
}

} // namespace lorvaxen
