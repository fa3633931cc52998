// The checks of a command line that need more than one option: text or batch, the format and
// the colours it can hold, the bearer's symbology, a terminal on standard output.
#include "usage_checks.h"

#include <unistd.h>

#include "contrast.h"
#include "image_file.h"

namespace lorvaxen::tool {
namespace {

// What the format cannot hold of the colours asked for. Colours come first: a format without
// them has no transparency either, and the user asked for more than black on white.
std::optional<std::string> paintProblem(const ImageFormatFacts& format, const Paint& paint)
{
    if (!format.colours && !paint.blackOnWhite()) {
        return spelledName(format, FormatSpelling::Upper) + " holds black and white only: write " +
               formatList(FormatSpelling::Upper, "or", holdsColours) + " for colours";
    }
    if (!format.transparency && !paint.background) {
        return "a transparent background needs " +
               formatList(FormatSpelling::Upper, "or", holdsTransparency);
    }
    return std::nullopt;
}

} // namespace

// The checks that need more than one option, or a look at the output name.
std::optional<std::string> usageProblem(Options& options, bool hasText, bool outputGiven,
                                        const std::string& formatName)
{
    if (hasText == options.batchInput.has_value()) {
        return hasText ? "give either a TEXT or --batch, not both"
                       : "give a TEXT to encode (- reads it from standard input), or --batch FILE";
    }
    if (options.batchInput && !options.pages) {
        if (options.output == "-") {
            return "a batch writes files: -o must be a file name template such as "
                   "'label-%04d.png'";
        }
        if (!outputGiven) {
            options.output =
                options.csv.nameColumn > 0 ? kDefaultNamedBatchTemplate : kDefaultBatchTemplate;
        }
        std::string problem;
        options.names = NameTemplate::parse(options.output, &problem);
        if (!options.names) {
            return problem;
        }
    }
    auto format = options.output.empty() ? ImageFormat::Png : formatFromPath(options.output);
    if (!formatName.empty()) {
        format = formatFromPath("." + formatName);
    } else if (!format && isStandardOutput(options.output)) {
        format = ImageFormat::Png;
    }
    if (!format) {
        return "cannot tell the image format from '" + options.output + "': end the name with " +
               formatList(FormatSpelling::Extension, "or") + ", or give --format";
    }
    options.format = *format;
    if (auto problem = paintProblem(formatFacts(options.format), options.label.paint)) {
        return problem;
    }
    if (auto problem = contrastProblem(options.label.paint)) {
        return problem;
    }
    if (options.label.bearer != Bearer::None &&
        options.label.barcode.symbology->facts.bearerModules <= 0) {
        return "--bearer is for Interleaved 2 of 5: give -s itf14 or -s itf";
    }
    if (isStandardOutput(options.output) && isatty(STDOUT_FILENO) != 0) {
        return "standard output is a terminal: redirect it, or name a file with -o";
    }
    return std::nullopt;
}

} // namespace lorvaxen::tool
