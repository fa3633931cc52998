#include "batch.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include "interrupt.h"
#include "job.h"
#include "report.h"

namespace lorvaxen::tool {
namespace {

// A bar on standard error, drawn over itself, and only when a person is watching it.
class ProgressBar
{
  public:
    ProgressBar(std::ostream& err, std::size_t total)
        : err_(err), total_(total), shown_(total > 0 && isatty(STDERR_FILENO) != 0)
    {
    }
    void show(std::size_t done)
    {
        if (!shown_) {
            return;
        }
        constexpr std::size_t kWidth = 30;
        const std::size_t filled = done * kWidth / total_;
        err_ << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, '.') << "] "
             << done << '/' << total_ << std::flush;
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
    std::size_t total_;
    bool shown_;
};

struct Line
{
    int number;
    std::string text;
};

// The lines to encode, numbered from 1 as an editor counts them. A carriage return before the
// newline is dropped; blank lines are counted in the numbering and skipped.
std::vector<Line> readLines(std::istream& in, int* skipped)
{
    std::vector<Line> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        if (text.empty()) {
            ++*skipped;
            continue;
        }
        lines.push_back({number, text});
    }
    return lines;
}

} // namespace

int runBatch(const Options& options, std::ostream& out, std::ostream& err, LabelSink* sink)
{
    // Every label allocates and frees images of much the same size: keep the heap's top rather
    // than hand it back to the system and ask for it again for each one.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
    std::ifstream file;
    std::istream* in = &std::cin;
    if (*options.batchInput != "-") {
        file.open(*options.batchInput, std::ios::binary);
        if (!file) {
            err << "lorvaxen: cannot read " << *options.batchInput << ": " << std::strerror(errno)
                << '\n';
            return kExitFailure;
        }
        in = &file;
    }
    int skipped = 0;
    const std::vector<Line> lines = readLines(*in, &skipped);
    if (in->bad()) {
        err << "lorvaxen: cannot read " << *options.batchInput << '\n';
        return kExitFailure;
    }

    ProgressBar progress(err, lines.size());
    int written = 0;
    int failed = 0;
    std::set<std::string> directories;
    std::set<std::string> names;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        progress.show(i);
        const Line& line = lines[i];
        const std::string name = sink != nullptr ? "" : options.names->name(line.number, line.text);
        // Two lines named alike by their text: the later one would replace the earlier file.
        const bool taken = sink == nullptr && !names.insert(name).second;
        Outcome outcome;
        if (taken) {
            outcome.text = line.text;
            outcome.symbology = options.label.barcode.symbology;
            outcome.problem = "an earlier line was written to " + name +
                              " already: put %d in the name template to keep both";
        } else if (sink != nullptr) {
            outcome = sink->place(line.text);
        } else {
            outcome = produce(line.text, options, name, Durability::Later);
        }
        progress.clear();
        if (options.json) {
            out << outcomeJson(outcome, line.number) << '\n';
        }
        for (const std::string& warning : outcome.warnings) {
            err << "lorvaxen: line " << line.number << ": warning: " << warning << '\n';
        }
        if (outcome.succeeded()) {
            ++written;
            directories.insert(std::filesystem::path(outcome.path).parent_path().string());
            if (!options.json) {
                out << "line " << line.number << ": " << outcome.barcode.framedText << " -> "
                    << destinationText(outcome) << '\n';
            }
        } else {
            ++failed;
            err << "lorvaxen: line " << line.number << ": " << failureText(outcome) << '\n';
        }
        // Each line is out before the next file, or an interruption, can come.
        if (!reportWritten(out, err)) {
            return kExitFailure;
        }
        releaseInterruptions();
    }
    progress.show(lines.size());
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
    return reportWritten(out, err) && durable && failed == 0 ? kExitSuccess : kExitFailure;
}

} // namespace lorvaxen::tool
