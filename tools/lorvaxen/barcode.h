// The tool's one use of the library: a text in, a framed text and a 1-bit image out.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <Lorvaxen.h>

#include "mono_image.h"

namespace lorvaxen::tool {

// The ten arguments that every barcode function takes (some take the text as const).
using BarcodeFunction = LorvaxenBarcodeFunction*;

// A symbology as the tool offers it: its option name, the library function that makes it, and
// the light margins that a reader needs on each side, in modules.
struct SymbologyInfo
{
    std::string_view name;
    std::string_view title;
    BarcodeFunction make;
    int32_t leftQuietModules;
    int32_t rightQuietModules;
};

// The symbologies of the library, in the order `--help` lists them.
std::span<const SymbologyInfo> symbologies();
const SymbologyInfo* findSymbology(std::string_view name);

struct BarcodeSettings
{
    const SymbologyInfo* symbology = nullptr;
    double narrowMm = 0.33;
    double heightMm = 6.35;
    double ratio = 2.5;
    bool check = false;
    int dpi = 600;
    bool quietZone = true;
};

// What one request gave: the library's result code and, on success, the framed text and the
// image (with its quiet zones when asked for them).
struct Barcode
{
    int32_t code = LORVAXEN_OK;
    std::string framedText;
    MonoImage image;
    int32_t leftQuietPx = 0;
    int32_t rightQuietPx = 0;
};

Barcode makeBarcode(std::string_view text, const BarcodeSettings& settings);

// One module in pixels, as the renderer derives it: dpi times millimetres, then divided by 25.4,
// truncated toward zero, at least 1.
int32_t modulePixels(int dpi, double narrowMm);

// A result code in plain words, for every code the library can return.
std::string_view describeResult(int32_t code);

} // namespace lorvaxen::tool
