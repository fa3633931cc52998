#include "job.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <istream>

#include "interrupt.h"
#include "report.h"
#include "symbol_text.h"

namespace lorvaxen::tool {

Outcome produce(std::string_view text, const Options& options, const std::string& path,
                Durability durability, Naming naming)
{
    Outcome outcome;
    static_cast<MadeLabel&>(outcome) = makeLabel(text, options.label);
    outcome.warnings.insert(outcome.warnings.begin(), options.warnings.begin(),
                            options.warnings.end());
    outcome.path = path;
    outcome.format = options.format;
    if (outcome.refused() || outcome.label.image.width == 0) {
        return outcome;
    }
    // Without a name, the file is named after what the label holds, not what was typed.
    if (outcome.path.empty()) {
        outcome.path = defaultFileName(
            nameStem(outcome.symbology->facts, outcome.barcode.shownText), options.format);
        naming = Naming::Made;
    }
    if (outcome.problem.empty()) {
        outcome.problem =
            writeImageFile(outcome.label, options.format, outcome.path, durability, naming);
    }
    outcome.label = Label{}; // the report needs only the picture's size, not its pixels
    return outcome;
}

namespace {

// Far longer than any label's text (a Code 39 of 100,000 characters is half a kilometre long),
// and a bound on what endless input, such as /dev/zero, takes before it is refused.
constexpr std::size_t kMostTextBytes = std::size_t{1} << 20;

// The whole of `in`, or a byte more than kMostTextBytes of it.
std::string readText(std::istream& in)
{
    std::string text;
    char buffer[64 * 1024];
    while (text.size() <= kMostTextBytes && (in.read(buffer, sizeof buffer) || in.gcount() > 0)) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return text;
}

} // namespace

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
        text = readText(in);
        if (text.size() > kMostTextBytes) {
            err << "lorvaxen: the text on standard input runs past " << kMostTextBytes
                << " bytes, which no label's text comes near: give the text itself, or one "
                   "line of a file with --batch\n";
            return kExitFailure;
        }
        // One line: its newline, as an editor or echo leaves it, is not part of the text.
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
        }
    }
    const Outcome outcome = produce(text, options, options.output, Durability::Now, Naming::Given);
    // With the image on standard output, the report goes to standard error. A name made from
    // the text is never standard output, whatever is planted under it.
    std::ostream& report = !options.output.empty() && isStandardOutput(options.output) ? err : out;
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
