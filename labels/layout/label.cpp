#include "label.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace lorvaxen {
namespace {

constexpr int kDigitModules = 7;
// The guard bars reach five modules below the others, down between the digit groups.
constexpr int kGuardExtensionModules = 5;

void lengthenGuards(MonoImage& image, int32_t symbolX, int32_t barsHeight, int32_t modulePx,
                    std::span<const ModuleRange> longBars)
{
    const int32_t bottom = std::min(image.height, barsHeight + kGuardExtensionModules * modulePx);
    for (const auto& [first, end] : longBars) {
        for (int32_t x = symbolX + first * modulePx; x < symbolX + end * modulePx; ++x) {
            if (x >= image.width || !image.isBlack(x, barsHeight - 1)) {
                continue;
            }
            for (int32_t y = barsHeight; y < bottom; ++y) {
                image.setBlack(x, y);
            }
        }
    }
}

} // namespace

Label barsOnly(MonoImage bars, double pixelMm, double barsHeightPx)
{
    Label label;
    label.image = std::move(bars);
    label.pixelMm = pixelMm;
    label.barsRows = label.image.height;
    label.barsHeightPx = barsHeightPx;
    return label;
}

double drawnY(const Label& label, double y)
{
    const double top = label.barsTopPx;
    const double bottom = top + label.barsRows;
    if (y <= top || label.barsRows == 0) {
        return y;
    }
    if (y >= bottom) {
        return y + label.barsHeightPx - label.barsRows;
    }
    return top + (y - top) * label.barsHeightPx / label.barsRows;
}

double drawnHeightPx(const Label& label)
{
    return drawnY(label, label.image.height);
}

std::string addBearers(Label& label, Bearer bearer, int32_t thicknessPx)
{
    if (bearer == Bearer::None) {
        return "";
    }
    const int32_t side = bearer == Bearer::Frame ? thicknessPx : 0;
    const int64_t width = int64_t{label.image.width} + 2 * int64_t{side};
    const int64_t height = int64_t{label.image.height} + 2 * int64_t{thicknessPx};
    if (width > std::numeric_limits<int32_t>::max() ||
        height > std::numeric_limits<int32_t>::max()) {
        return "the bearer bars do not fit in 32-bit pixel counts";
    }
    auto canvas = onCanvas(label.image, static_cast<int32_t>(width), static_cast<int32_t>(height),
                           side, thicknessPx);
    if (!canvas) {
        return "the bearer bars do not fit in 32-bit pixel counts";
    }
    for (int32_t y = 0; y < canvas->height; ++y) {
        const bool across = y < thicknessPx || y >= canvas->height - thicknessPx;
        for (int32_t x = 0; x < canvas->width; ++x) {
            if (across || x < side || x >= canvas->width - side) {
                canvas->setBlack(x, y);
            }
        }
    }
    label.image = std::move(*canvas);
    label.framePx = side;
    label.barsTopPx += thicknessPx;
    return "";
}

std::vector<Rect> barRects(const Label& label)
{
    const MonoImage& image = label.image;
    const auto sameRows = [&](int32_t a, int32_t b) {
        return std::memcmp(image.row(a), image.row(b), image.rowBytes()) == 0;
    };
    std::vector<Rect> rects;
    int32_t y = 0;
    while (y < image.height) {
        int32_t bandEnd = y + 1;
        while (bandEnd < image.height && sameRows(y, bandEnd)) {
            ++bandEnd;
        }
        forEachBlackRun(image, y, [&](int32_t start, int32_t end) {
            // Never narrowed past a tenth of its width: a hairline still prints as a bar.
            const double width = end - start;
            const double narrowed = std::max(width - label.reductionPx, width / 10);
            const double top = drawnY(label, y);
            rects.push_back(
                {start + (width - narrowed) / 2, top, narrowed, drawnY(label, bandEnd) - top});
        });
        y = bandEnd;
    }
    return rects;
}

std::pair<double, double> turnedSize(const Label& label, double width, double height)
{
    return label.rotation == 90 || label.rotation == 270 ? std::pair{height, width}
                                                         : std::pair{width, height};
}

namespace {

// Why the text cannot go under these bars. A default text follows the module, so a text far taller
// than the bars is the module's fault when the module is wider than any symbology's nominal one
// (ITF-14's 1.016 mm): most often a --narrow in the wrong unit. Otherwise the bars are too short.
std::string textHeightProblem(double textMm, bool given, double moduleMm, double barsMm,
                              double pixelMm)
{
    constexpr double kWidestNominalModuleMm = 1.016;
    const std::string bars = "four times the bars' " + formatDecimal(barsMm, 3) + " mm";
    if (!given && moduleMm <= kWidestNominalModuleMm) {
        return "the text of " + formatDecimal(textMm, 3) + " mm is more than " + bars +
               ": give a --height of at least " + formatDecimal(textMm / 4, 3) +
               " mm (twice the text's height reads best), or --no-text";
    }
    if (!given) {
        return "a module of " + formatDecimal(moduleMm, 4) + " mm makes the text " +
               formatDecimal(textMm, 3) + " mm high, more than " + bars +
               ": give a narrower --narrow (0.33 mm is usual), a taller --height, or a smaller " +
               "--text-size";
    }
    return "the --text-size of " + formatDecimal(textMm, 4) + " mm is refused: it must be at " +
           "least a pixel (" + formatDecimal(pixelMm, 4) + " mm) and at most " + bars;
}

} // namespace

std::string addText(Label& label, const Barcode& barcode, const SymbologyInfo& symbology,
                    std::optional<double> digitHeightMm, std::vector<std::string>* warnings)
{
    std::string problem;
    const Font* font = Font::ocrB(&problem);
    if (font == nullptr) {
        return problem;
    }
    const std::string& text = barcode.shownText;
    const double pixelMm = label.pixelMm;
    const int32_t module = barcode.modulePx;
    const double heightMm =
        digitHeightMm.value_or(symbology.facts.textHeightModules * module * pixelMm);
    double digitPx = heightMm / pixelMm;
    if (!(digitPx >= 1.0) || digitPx > label.image.height * 4.0) {
        return textHeightProblem(heightMm, digitHeightMm.has_value(), module * pixelMm,
                                 label.image.height * pixelMm, pixelMm);
    }
    double em = font->emForDigitHeight(digitPx);
    const std::span<const TextSlot> slots = symbology.facts.textSlots;
    const bool ean = !slots.empty();
    if (ean && slots.size() != text.size()) {
        return "the text under the bars has " + std::to_string(text.size()) + " digits, not " +
               std::to_string(slots.size());
    }
    if (ean && font->advance('0', em) > kDigitModules * module) {
        // Larger digits would run into the guard bars; the digit height is in proportion.
        const double scale = kDigitModules * module / font->advance('0', em);
        em *= scale;
        digitPx *= scale;
        warnings->push_back("the text is made " + formatDecimal(digitPx * pixelMm, 2) +
                            " mm high so that each digit fits its seven modules");
    }

    const int32_t barsHeight = label.image.height;
    const double symbolX = barcode.leftQuietPx + label.framePx;
    const double baseline = barsHeight + module + digitPx;
    std::vector<double> pens;
    std::vector<double> scales(text.size(), 1.0);
    if (ean) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            scales[i] = slots[i].scale;
            pens.push_back(symbolX + (slots[i].startModule + kDigitModules / 2.0) * module -
                           font->advance(text[i], em * scales[i]) / 2);
        }
    } else {
        double width = 0;
        for (const char c : text) {
            width += font->advance(c, em);
        }
        const double barsWidth =
            label.image.width - barcode.leftQuietPx - barcode.rightQuietPx - 2.0 * label.framePx;
        double pen = symbolX + (barsWidth - width) / 2;
        for (const char c : text) {
            pens.push_back(pen);
            pen += font->advance(c, em);
        }
    }
    // Grow the picture wherever the text reaches past it, a module beyond the ink.
    double left = 0;
    double right = label.image.width;
    for (std::size_t i = 0; i < text.size(); ++i) {
        left = std::min(left, pens[i]);
        right = std::max(right, pens[i] + font->advance(text[i], em * scales[i]));
    }
    const double grownHeight = std::ceil(baseline + 2.0 * module);
    const double grownWidth = std::ceil(right - std::floor(left));
    if (grownWidth > std::numeric_limits<int32_t>::max() ||
        grownHeight > std::numeric_limits<int32_t>::max()) {
        return "the text does not fit in 32-bit pixel counts";
    }
    const auto shift = static_cast<int32_t>(-std::floor(left));
    auto canvas = onCanvas(label.image, static_cast<int32_t>(grownWidth),
                           static_cast<int32_t>(grownHeight), shift);
    if (!canvas) {
        return "the text does not fit in 32-bit pixel counts";
    }
    label.image = std::move(*canvas);
    if (ean) {
        lengthenGuards(label.image, static_cast<int32_t>(symbolX) + shift, barsHeight, module,
                       symbology.facts.longBars);
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        label.glyphs.push_back({text[i], pens[i] + shift, baseline, scales[i]});
    }
    label.emPx = em;
    label.font = font;
    return "";
}

MonoImage rasterize(const Label& label)
{
    MonoImage image = label.image;
    for (const Glyph& glyph : label.glyphs) {
        label.font->draw(image, glyph.c, glyph.penX, glyph.baselineY, label.emPx * glyph.scale);
    }
    return image;
}

} // namespace lorvaxen
