#include "sheet_run.h"

#include "batch.h"
#include "image_file.h"
#include "interrupt.h"
#include "job.h"
#include "json_text.h"

namespace lorvaxen::tool {
namespace {

// Each label made as a batch makes it, then drawn on the next free cell or page.
class PagesSink : public LabelSink
{
  public:
    PagesSink(const Options& options, LabelPages& pages) : options_(options), pages_(pages) {}

    Outcome place(std::string_view text) override
    {
        Outcome outcome;
        static_cast<MadeLabel&>(outcome) = makeLabel(text, options_.label);
        outcome.path = options_.output;
        outcome.format = options_.format;
        if (outcome.succeeded() && outcome.label.image.width > 0) {
            const PagePlace placed = pages_.add(outcome.label);
            outcome.problem = placed.problem;
            outcome.page = placed.page;
            outcome.cell = placed.cell;
        }
        outcome.label = Label{}; // the report needs only the picture's size, not its pixels
        return outcome;
    }

  private:
    const Options& options_;
    LabelPages& pages_;
};

// A printer driver that fits the page to its printable area shrinks every label and moves it
// off its cell: the one setting that spoils a sheet whatever the labels are.
constexpr const char* kActualSize = "print at 100% (actual size), not fitted or shrunk to the page";

std::string summaryText(const PagesSettings& settings, const std::string& path, int labels,
                        int pages)
{
    std::string text = path + ": " + std::to_string(labels) + (labels == 1 ? " label" : " labels");
    if (settings.sheet) {
        text += " on " + std::to_string(pages) + (pages == 1 ? " sheet (" : " sheets (") +
                describeSheet(settings.sheet->layout) + ")";
        if (settings.sheet->firstCell > 1) {
            text += ", from cell " + std::to_string(settings.sheet->firstCell);
        }
    } else {
        text += ", one a page, each page the label's size";
    }
    return text + "\n" + kActualSize + "\n";
}

std::string summaryJson(const std::string& path, int labels, int pages)
{
    return "{\"file\":" + jsonString(path) + ",\"labels\":" + std::to_string(labels) +
           ",\"pages\":" + std::to_string(pages) + ",\"print\":" + jsonString(kActualSize) + "}\n";
}

} // namespace

int runPages(const Options& options, std::ostream& out, std::ostream& err)
{
    int status = kExitFailure;
    int labels = 0;
    int pages = 0;
    bool ran = false;
    const std::string problem = writeFile(
        [&](std::FILE* file) {
            ran = true;
            LabelPages sheet(file, options.pages->sheet);
            PagesSink sink(options, sheet);
            status = runBatch(options, out, err, &sink);
            labels = sheet.labels();
            pages = sheet.pages();
            // A file of no label is not written at all, rather than as a blank page.
            return sheet.finish() && labels > 0;
        },
        options.output, Durability::Now, Naming::Given);
    if (ran && labels == 0) {
        err << "lorvaxen: no label was placed: " << options.output << " is not written\n";
        status = kExitFailure;
    } else if (!problem.empty()) {
        err << "lorvaxen: " << problem << '\n';
        status = kExitFailure;
    } else {
        out << (options.json ? summaryJson(options.output, labels, pages)
                             : summaryText(*options.pages, options.output, labels, pages));
        if (!reportWritten(out, err)) {
            status = kExitFailure;
        }
    }
    releaseInterruptions(); // held from the file's naming until its report is out
    return status;
}

} // namespace lorvaxen::tool
