// Building a barcode: the text checked and framed with every label rule, the module, ratio and
// height chosen, the library's symbol drawn, and its light margins added.
#include "barcode.h"

#include <cmath>
#include <limits>
#include <utility>

#include <lorvaxen/symbols.h>
#include <lorvaxen_pixels.h>

#include "codabar_text.h"
#include "symbol_text.h"

namespace lorvaxen {
namespace {

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
    void own(HBITMAP bitmap) { bitmap_ = bitmap; }
    HBITMAP bitmap() const { return bitmap_; }

  private:
    HDC device_;
    HBITMAP bitmap_ = nullptr;
};

// The length of the framed text where a rule depends on it: Interleaved 2 of 5 frames its digits
// with the check digit when asked and a leading 0 that evens the count, and fourteen make an
// ITF-14. 0 for the other symbologies.
std::size_t framedLengthOf(const SymbologyFacts& symbology, std::string_view text, bool check)
{
    if (symbology.symbology != Symbology::I2of5) {
        return 0;
    }
    const std::size_t digits = text.size() + (check ? 1 : 0);
    return digits + digits % 2;
}

// The bars' height when none is given: an EAN's grows and shrinks with its module; an ITF-14's
// default is a least height, and the others' a plain one.
double defaultHeightMm(const SymbologyFacts& symbology, double moduleMm)
{
    return symbology.symbology == Symbology::Jan
               ? symbology.defaultHeightMm * moduleMm / symbology.nominalModuleMm
               : symbology.defaultHeightMm;
}

// A Codabar whose stop differs from its start: the library ended the pattern with a copy of the
// start, whose elements and gap the stop's take over, as the library draws that letter.
bool replaceStop(Encoding& encoding, char stop)
{
    const Encoding alone = encode(Symbology::Nw7, std::string(1, stop), 0);
    const std::size_t width = alone.elementPattern.size() / 2; // a start and a stop, the same
    if (alone.code != LORVAXEN_OK || encoding.elementPattern.size() < width) {
        return false;
    }
    encoding.elementPattern.replace(encoding.elementPattern.size() - width, width,
                                    alone.elementPattern, 0, width);
    return true;
}

// The height of the text's digits, as the label will draw them; 0 without a text.
double textHeightMm(const BarcodeSettings& settings, int32_t modulePx, double pixelMm)
{
    if (!settings.text.shown) {
        return 0;
    }
    return settings.text.digitHeightMm.value_or(settings.symbology->facts.textHeightModules *
                                                modulePx * pixelMm);
}

// The bars' height: the one given, or the symbology's default grown, in whole rows, until the
// bars are at least twice as tall as the text, so that the text never crowds them. A given height
// that breaks that is kept, with a warning.
double barsHeightMm(const BarcodeSettings& settings, double defaultMm, double textMm,
                    double pixelMm, Barcode& barcode)
{
    const double leastMm = 2 * textMm;
    if (settings.heightMm) {
        if (*settings.heightMm < leastMm - 1e-9) {
            barcode.heightWarning = "the bars of " + formatDecimal(*settings.heightMm, 3) +
                                    " mm are less than twice the text's " +
                                    formatDecimal(textMm, 3) + " mm, which crowds them: give a " +
                                    "--height of at least " + formatDecimal(leastMm, 3) +
                                    " mm, or a smaller --text-size";
        }
        return *settings.heightMm;
    }
    if (defaultMm >= leastMm - 1e-9) {
        return defaultMm;
    }
    // An exact drawing draws the height as it is; a printer's dots need whole rows, and half a
    // row more lands the library's truncation on them.
    return barcode.exact ? leastMm : (std::ceil(leastMm / pixelMm - 1e-9) + 0.5) * pixelMm;
}

} // namespace

Barcode makeBarcode(std::string_view text, const BarcodeSettings& settings)
{
    Barcode barcode;
    const SymbologyFacts& symbology = settings.symbology->facts;
    // Named here, where the library would only say that some character is refused.
    if (auto refused = refusedCharacter(symbology, text)) {
        barcode.code = settings.symbology->charsetCode;
        barcode.refused = std::move(refused->words);
        barcode.refusedAt = refused->position;
        barcode.refusedCharacter = std::move(refused->character);
        return barcode;
    }
    PreparedText prepared = prepareText(symbology, text, settings.asGiven);
    const bool codabar = isCodabar(symbology);
    CodabarText codabarText;
    if (codabar) {
        codabarText = prepareCodabar(text, settings.check);
        prepared.problem = std::move(codabarText.problem);
        if (!codabarText.framed.empty()) {
            prepared.text = codabarText.libraryText;
        }
    }
    if (!prepared.problem.empty()) {
        barcode.problem = std::move(prepared.problem);
        return barcode;
    }
    // A Codabar's check character is in its text already, and an ITF-14 has its check digit: the
    // library is not to add another.
    const bool libraryCheck = settings.check && !codabar && !isItf14(symbology);
    const int dpi = settings.exactModule ? kExactModuleDpi : settings.dpi;
    Graphics graphics(dpi);
    if (graphics.device() == nullptr) {
        barcode.code = LORVAXEN_NO_BITBLT;
        return barcode;
    }
    const std::string input = std::move(prepared.text);
    barcode.module = chooseModule(dpi, settings.narrowMm);
    barcode.pixelMm = kMmPerInch / dpi;
    const std::size_t framedLength = framedLengthOf(symbology, input, libraryCheck);
    // Millimetres of the label as the library is to take them: the same, unless the pixels are
    // scaled to make the module exact.
    double libraryScale = 1;
    if (settings.exactModule && barcode.module.dots > 0) {
        barcode.exact = true;
        barcode.module.dpi = 0;
        const DrawingSize size{
            .characters = input.size() + 3, // and the start, the stop and a check character
            .heightMm = settings.heightMm.value_or(defaultHeightMm(symbology, settings.narrowMm))};
        barcode.module.dots = exactModuleDots(symbology, barcode.module.dots, settings.narrowMm,
                                              settings.ratio, framedLength, size);
        barcode.module.libraryMm = (barcode.module.dots + 0.5) * kMmPerInch / dpi;
        barcode.pixelMm = settings.narrowMm / barcode.module.dots;
        barcode.module.achievedMm = settings.narrowMm;
        libraryScale = kMmPerInch / dpi / barcode.pixelMm;
    }
    barcode.ratio = chooseRatio(symbology, settings.ratio, barcode.module.dots,
                                barcode.module.achievedMm, framedLength, barcode.exact);
    if (!barcode.ratio.problem.empty()) {
        barcode.problem = barcode.ratio.problem;
        return barcode;
    }
    const double nominalHeightMm = barcode.module.dots > 0
                                       ? defaultHeightMm(symbology, barcode.module.achievedMm)
                                       : symbology.defaultHeightMm;
    const double textMm =
        textHeightMm(settings, modulePixels(dpi, barcode.module.libraryMm), barcode.pixelMm);
    const double heightMm =
        barsHeightMm(settings, nominalHeightMm, textMm, barcode.pixelMm, barcode);
    // An exact drawing's bars take the nearest whole rows, half a row over so that the library's
    // truncation lands on them; the vector formats then draw them at the height exactly.
    const double exactRows = heightMm / barcode.pixelMm;
    const bool rowsFit = barcode.exact && std::round(exactRows) >= 1 &&
                         std::round(exactRows) < std::numeric_limits<int32_t>::max() - 1;
    const double libraryHeightMm =
        rowsFit ? (std::round(exactRows) + 0.5) * kMmPerInch / dpi : heightMm * libraryScale;
    Encoding encoding = encode(symbology.symbology, input, libraryCheck ? 1 : 0);
    barcode.code = encoding.code;
    if (barcode.code == LORVAXEN_OK && codabarText.stop &&
        !replaceStop(encoding, *codabarText.stop)) {
        barcode.code = LORVAXEN_NO_BITMAP;
    }
    if (barcode.code != LORVAXEN_OK) {
        return barcode;
    }
    const Rendering rendering = render(graphics.device(), encoding, barcode.module.libraryMm,
                                       libraryHeightMm, barcode.ratio.libraryRatio);
    graphics.own(rendering.bitmap);
    barcode.code = rendering.code;
    if (barcode.code != LORVAXEN_OK) {
        return barcode;
    }
    barcode.barsHeightPx = rowsFit ? exactRows : rendering.heightPx;
    barcode.shownText = shownText(symbology, encoding.framedText);
    barcode.framedText =
        symbology.textLayout == TextLayout::UpcA ? barcode.shownText : encoding.framedText;
    if (codabar && !codabarText.framed.empty()) {
        barcode.shownText = codabarText.framed;
        // Reported as the library reports an NW7's, the start and stop in lower case.
        barcode.framedText = codabarText.framed;
        barcode.framedText.front() = static_cast<char>(barcode.framedText.front() - 'A' + 'a');
        barcode.framedText.back() = static_cast<char>(barcode.framedText.back() - 'A' + 'a');
    }

    auto image = readBitmap(graphics.bitmap(), dpi);
    if (!image || image->width != rendering.widthPx || image->height != rendering.heightPx) {
        barcode.code = LORVAXEN_NO_BITMAP;
        return barcode;
    }
    const int32_t module = modulePixels(dpi, barcode.module.libraryMm);
    barcode.modulePx = module;
    if (!settings.quietZone) {
        barcode.image = std::move(*image);
        return barcode;
    }
    // An exact drawing is rasterised at whatever resolution its reader picks, whose pixels need
    // not fall on its edges: a module more on each side keeps the light margins whole when the
    // page's edge or a bar's is taken a pixel in.
    const int extra = barcode.exact ? kExactQuietExtraModules : 0;
    const int64_t left = int64_t{module} * (symbology.leftQuietModules + extra);
    const int64_t right = int64_t{module} * (symbology.rightQuietModules + extra);
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

} // namespace lorvaxen
