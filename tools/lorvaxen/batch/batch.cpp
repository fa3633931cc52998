#include "batch.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include <malloc.h>
#include <unistd.h>

#include "batch_input.h"
#include "interrupt.h"
#include "job.h"
#include "report.h"

namespace lorvaxen::tool {
namespace {

// A bar on standard error, drawn over itself, and only when a person is watching it: how much of
// a file has been read, or for a pipe, how many labels have been made.
class ProgressBar
{
  public:
    explicit ProgressBar(std::ostream& err) : err_(err), shown_(isatty(STDERR_FILENO) != 0) {}
    void show(std::size_t done, std::optional<double> shareRead)
    {
        if (!shown_) {
            return;
        }
        err_ << '\r';
        if (shareRead) {
            constexpr std::size_t kWidth = 30;
            const auto filled = static_cast<std::size_t>(std::min(*shareRead, 1.0) * kWidth);
            err_ << '[' << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] ";
        }
        err_ << done << std::flush;
    }
    // Clears the bar before anything else is printed, so that lines do not run into it.
    void clear()
    {
        if (shown_) {
            err_ << "\r\033[K" << std::flush;
        }
    }

  private:
    std::ostream& err_;
    bool shown_;
};

// An outcome for a row that made no label, for the report to give like any other.
Outcome refusedRow(const BatchItem& item, const Options& options)
{
    Outcome outcome;
    outcome.text = item.text;
    outcome.symbology = options.label.barcode.symbology;
    outcome.problem = item.problem;
    return outcome;
}

} // namespace

int runBatch(const Options& options, std::ostream& out, std::ostream& err, LabelSink* sink)
{
    // Every label allocates and frees images of much the same size: keep the heap's top rather
    // than hand it back to the system and ask for it again for each one.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
    std::string openProblem;
    const std::unique_ptr<BatchInput> input =
        BatchInput::open(*options.batchInput, options.csv, &openProblem);
    if (!input) {
        err << "lorvaxen: " << openProblem << '\n';
        return kExitFailure;
    }

    ProgressBar progress(err);
    int written = 0;
    int failed = 0;
    std::set<std::string> directories;
    // Names with the line number in them are all different; others are remembered, which
    // costs memory for each line.
    const bool numbered = sink != nullptr || options.names->numbered();
    std::set<std::string> names;
    while (const std::optional<BatchItem> item = input->next()) {
        const std::string name =
            sink != nullptr ? "" : options.names->name(item->line, item->nameText);
        // Two lines named alike by their text: the later one would replace the earlier file.
        const bool taken =
            sink == nullptr && item->problem.empty() && !numbered && !names.insert(name).second;
        Outcome outcome;
        if (!item->problem.empty()) {
            outcome = refusedRow(*item, options);
        } else if (taken) {
            outcome = refusedRow(*item, options);
            outcome.problem = "an earlier line was written to " + name +
                              " already: put %d in the name template to keep both";
        } else if (sink != nullptr) {
            outcome = sink->place(item->text);
        } else {
            outcome = produce(item->text, options, name, Durability::Later, Naming::Made);
        }
        progress.clear();
        if (options.json) {
            out << outcomeJson(outcome, item->line) << '\n';
        }
        for (const std::string& warning : outcome.warnings) {
            err << "lorvaxen: line " << item->line << ": warning: " << warning << '\n';
        }
        if (outcome.succeeded()) {
            ++written;
            directories.insert(std::filesystem::path(outcome.path).parent_path().string());
            if (!options.json) {
                out << "line " << item->line << ": " << outcome.barcode.framedText << " -> "
                    << destinationText(outcome) << '\n';
            }
        } else {
            ++failed;
            err << "lorvaxen: line " << item->line << ": " << failureText(outcome) << '\n';
        }
        // Each line is out before the next file, or an interruption, can come.
        if (!reportWritten(out, err)) {
            return kExitFailure;
        }
        releaseInterruptions();
        progress.show(written + failed, input->shareRead());
    }
    const int skipped = input->blankLines();
    const bool readAll = input->readProblem().empty();
    if (!readAll) {
        err << "lorvaxen: " << input->readProblem() << '\n';
    }
    progress.clear();
    // The files were renamed complete into place; one pass makes them all durable.
    bool durable = true;
    for (const std::string& directory : directories) {
        const std::string problem = makeDurable(directory);
        if (!problem.empty()) {
            err << "lorvaxen: " << problem << '\n';
            durable = false;
        }
    }

    if (options.json) {
        out << "{\"written\":" << written << ",\"failed\":" << failed << ",\"skipped\":" << skipped
            << "}\n";
    } else {
        out << written << " written, " << failed << " failed, " << skipped
            << " blank lines skipped\n";
    }
    return reportWritten(out, err) && durable && readAll && failed == 0 ? kExitSuccess
                                                                        : kExitFailure;
}

} // namespace lorvaxen::tool
