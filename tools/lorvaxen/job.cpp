#include "job.h"

#include "report.h"

namespace lorvaxen::tool {

Outcome produce(std::string_view text, const BarcodeSettings& settings, const std::string& path,
                ImageFormat format)
{
    Outcome outcome;
    outcome.text = std::string(text);
    outcome.symbology = settings.symbology;
    outcome.path = path;
    outcome.format = format;
    // The library reads a text up to its first NUL byte: it would encode less than was given.
    if (text.find('\0') != std::string_view::npos) {
        outcome.problem = "the text holds a NUL byte";
        return outcome;
    }
    outcome.barcode = makeBarcode(text, settings);
    if (outcome.refused()) {
        return outcome;
    }
    outcome.problem = writeImageFile(outcome.barcode.image, format, path);
    // The report needs only the image's size, not its pixels.
    outcome.barcode.image.bits = {};
    return outcome;
}

int runSingle(const Options& options, std::ostream& out, std::ostream& err)
{
    const Outcome outcome = produce(options.text, options.settings, options.output, options.format);
    // With the image on standard output, the report goes to standard error.
    std::ostream& report = options.output == "-" ? err : out;
    if (options.json) {
        report << outcomeJson(outcome, std::nullopt) << '\n';
    }
    if (!outcome.succeeded()) {
        err << "lorvaxen: " << failureText(outcome) << '\n';
        return kExitFailure;
    }
    if (!options.json) {
        report << successText(outcome);
    }
    return kExitSuccess;
}

} // namespace lorvaxen::tool
