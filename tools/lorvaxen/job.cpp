#include "job.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>

#include "interrupt.h"
#include "report.h"
#include "symbol_text.h"

namespace lorvaxen::tool {
namespace {

// Bars narrowed, bearer bars, the text, the turn and the colours: the label from the bars.
std::string finish(Label& label, Outcome& outcome, const Options& options)
{
    const Barcode& barcode = outcome.barcode;
    if (options.barReductionMm > 0) {
        const double exactPx = options.barReductionMm / label.pixelMm;
        const int32_t dots = barcode.exact ? 0 : static_cast<int32_t>(std::lround(exactPx));
        const double px = barcode.exact ? exactPx : dots;
        if (px >= barcode.modulePx) {
            return "the bar width reduction of " + formatDecimal(px * label.pixelMm, 4) +
                   " mm leaves no narrow bar: it must be less than the module of " +
                   formatDecimal(barcode.modulePx * label.pixelMm, 4) + " mm";
        }
        outcome.reductionMm = px * label.pixelMm;
        outcome.reductionDots = dots;
        if (isVector(options.format)) {
            label.reductionPx = px;
        } else {
            narrowBars(label.image, dots);
        }
    }
    if (options.bearer != Bearer::None) {
        const int32_t module = barcode.modulePx;
        const auto thickness = std::max<int32_t>(
            2 * module,
            static_cast<int32_t>(std::lround(outcome.symbology->facts.bearerModules * module)));
        if (auto problem = addBearers(label, options.bearer, thickness); !problem.empty()) {
            return problem;
        }
        outcome.bearerMm = thickness * label.pixelMm;
    }
    if (options.settings.text.shown) {
        if (auto problem = addText(label, barcode, *outcome.symbology,
                                   options.settings.text.digitHeightMm, &outcome.warnings);
            !problem.empty()) {
            return problem;
        }
    }
    label.rotation = options.rotation;
    label.paint = options.paint;
    return "";
}

} // namespace

Outcome produce(std::string_view text, const Options& options, const std::string& path,
                Durability durability)
{
    Outcome outcome;
    outcome.text = std::string(text);
    outcome.symbology = options.settings.symbology;
    outcome.path = path;
    outcome.format = options.format;
    // The library reads a text up to its first NUL byte: it would encode less than was given.
    if (text.find('\0') != std::string_view::npos) {
        outcome.problem = "the text holds a NUL byte";
        return outcome;
    }
    outcome.barcode = makeBarcode(text, options.settings);
    if (outcome.refused()) {
        return outcome;
    }
    if (!outcome.barcode.problem.empty()) {
        outcome.problem = outcome.barcode.problem;
        return outcome;
    }
    // Without a name, the file is named after what the label holds, not what was typed.
    if (outcome.path.empty()) {
        outcome.path = defaultFileName(
            nameStem(outcome.symbology->facts, outcome.barcode.shownText), options.format);
    }
    for (auto warning :
         {moduleWarning(*outcome.symbology, outcome.barcode.module), outcome.barcode.ratio.warning,
          replacedStopWarning(outcome.symbology->facts, text, outcome.barcode.framedText),
          ignoredCheckWarning(outcome.symbology->facts, options.settings.check),
          outcome.barcode.heightWarning}) {
        if (warning) {
            outcome.warnings.push_back(std::move(*warning));
        }
    }
    Label label = barsOnly(std::move(outcome.barcode.image), outcome.barcode.pixelMm,
                           outcome.barcode.barsHeightPx);
    outcome.barcode.image = MonoImage{}; // the label has the pixels; the outcome keeps its size
    outcome.problem = finish(label, outcome, options);
    if (outcome.problem.empty()) {
        outcome.problem = writeImageFile(label, options.format, outcome.path, durability);
    }
    // The report needs only the picture's size, not its pixels.
    const auto [width, height] = turnedSize(label, label.image.width, label.image.height);
    const auto [widthMm, heightMm] =
        turnedSize(label, label.image.width * label.pixelMm, drawnHeightPx(label) * label.pixelMm);
    outcome.size = {static_cast<int32_t>(width),
                    static_cast<int32_t>(height),
                    widthMm,
                    heightMm,
                    label.pixelMm,
                    outcome.barcode.exact ? 0 : label.image.dpi};
    return outcome;
}

bool reportWritten(std::ostream& report, std::ostream& err)
{
    errno = 0;
    if (report.flush()) {
        return true;
    }
    err << "lorvaxen: cannot write the report to standard output"
        << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return false;
}

int runSingle(const Options& options, std::istream& in, std::ostream& out, std::ostream& err)
{
    std::string text = options.input;
    if (text == "-") {
        std::ostringstream read;
        read << in.rdbuf();
        text = read.str();
        // One line: its newline, as an editor or echo leaves it, is not part of the text.
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
        }
    }
    const Outcome outcome = produce(text, options, options.output, Durability::Now);
    // With the image on standard output, the report goes to standard error.
    std::ostream& report = !outcome.path.empty() && isStandardOutput(outcome.path) ? err : out;
    if (options.json) {
        report << outcomeJson(outcome, std::nullopt) << '\n';
    }
    for (const std::string& warning : outcome.warnings) {
        err << "lorvaxen: warning: " << warning << '\n';
    }
    int status = kExitSuccess;
    if (!outcome.succeeded()) {
        err << "lorvaxen: " << failureText(outcome) << '\n';
        status = kExitFailure;
    } else if (!options.json) {
        report << successText(outcome);
    }
    if (!reportWritten(report, err)) {
        status = kExitFailure;
    }
    releaseInterruptions();
    return status;
}

} // namespace lorvaxen::tool
