#include "make_label.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "contrast.h"
#include "symbol_text.h"

namespace lorvaxen {
namespace {

// Bars narrowed, bearer bars, the text, the turn and the colours: the label from the bars.
std::string finish(MadeLabel& made, const LabelSettings& settings)
{
    Label& label = made.label;
    const Barcode& barcode = made.barcode;
    if (settings.barReductionMm > 0) {
        const double exactPx = settings.barReductionMm / label.pixelMm;
        const int32_t dots = barcode.exact ? 0 : static_cast<int32_t>(std::lround(exactPx));
        const double px = barcode.exact ? exactPx : dots;
        if (px >= barcode.modulePx) {
            return "the bar width reduction of " + formatDecimal(px * label.pixelMm, 4) +
                   " mm leaves no narrow bar: it must be less than the module of " +
                   formatDecimal(barcode.modulePx * label.pixelMm, 4) + " mm";
        }
        made.reductionMm = px * label.pixelMm;
        made.reductionDots = dots;
        if (settings.vector) {
            label.reductionPx = px;
        } else {
            narrowBars(label.image, dots);
        }
    }
    if (settings.bearer != Bearer::None) {
        const int32_t module = barcode.modulePx;
        const auto thickness = std::max<int32_t>(
            2 * module,
            static_cast<int32_t>(std::lround(made.symbology->facts.bearerModules * module)));
        if (auto problem = addBearers(label, settings.bearer, thickness); !problem.empty()) {
            return problem;
        }
        made.bearerMm = thickness * label.pixelMm;
    }
    if (settings.barcode.text.shown) {
        if (auto problem = addText(label, barcode, *made.symbology,
                                   settings.barcode.text.digitHeightMm, &made.warnings);
            !problem.empty()) {
            return problem;
        }
    }
    label.rotation = settings.rotation;
    label.paint = settings.paint;
    return "";
}

} // namespace

double defaultNarrowMm(const SymbologyFacts& facts)
{
    return isItf14(facts) ? facts.nominalModuleMm : BarcodeSettings{}.narrowMm;
}

Bearer defaultBearer(const SymbologyFacts& facts)
{
    return isItf14(facts) ? Bearer::Frame : Bearer::None;
}

std::optional<Bearer> bearerNamed(std::string_view name)
{
    if (name == "none") {
        return Bearer::None;
    }
    if (name == "bars") {
        return Bearer::Bars;
    }
    return name == "frame" ? std::optional(Bearer::Frame) : std::nullopt;
}

std::optional<Refusal> MadeLabel::refusal() const
{
    if (!refused()) {
        return std::nullopt;
    }
    // The code is for programs; people are told what is wrong and what to do.
    Refusal refusal{barcode.code, barcode.refusedAt, barcode.refusedCharacter,
                    symbology != nullptr ? describeResult(symbology->facts, barcode.code)
                                         : std::string(describeResult(barcode.code))};
    if (!barcode.refused.empty()) {
        refusal.message += ": " + barcode.refused;
    }
    return refusal;
}

MadeLabel makeLabel(std::string_view text, const LabelSettings& settings)
{
    MadeLabel made;
    made.text = std::string(text);
    made.symbology = settings.barcode.symbology;
    // The library reads a text up to its first NUL byte: it would encode less than was given.
    if (text.find('\0') != std::string_view::npos) {
        made.problem = "the text holds a NUL byte";
        return made;
    }
    made.barcode = makeBarcode(text, settings.barcode);
    if (made.refused()) {
        return made;
    }
    if (!made.barcode.problem.empty()) {
        made.problem = made.barcode.problem;
        return made;
    }
    const SymbologyInfo& symbology = *made.symbology;
    for (auto warning : {moduleWarning(symbology, made.barcode.module), made.barcode.ratio.warning,
                         replacedStopWarning(symbology.facts, text),
                         ignoredCheckWarning(symbology.facts, settings.barcode.check),
                         made.barcode.heightWarning, contrastWarning(settings.paint)}) {
        if (warning) {
            made.warnings.push_back(std::move(*warning));
        }
    }
    made.label =
        barsOnly(std::move(made.barcode.image), made.barcode.pixelMm, made.barcode.barsHeightPx);
    made.barcode.image = MonoImage{}; // the label has the pixels
    made.problem = finish(made, settings);
    const Label& label = made.label;
    const auto [width, height] = turnedSize(label, label.image.width, label.image.height);
    const auto [widthMm, heightMm] =
        turnedSize(label, label.image.width * label.pixelMm, drawnHeightPx(label) * label.pixelMm);
    made.size = {static_cast<int32_t>(width),
                 static_cast<int32_t>(height),
                 widthMm,
                 heightMm,
                 label.pixelMm,
                 made.barcode.exact ? 0 : label.image.dpi};
    return made;
}

} // namespace lorvaxen
