// Every label the lorvaxen tool makes is one its own verifier passes: made, printed as a reader
// would print it (the vector formats rasterised at 600 dpi by librsvg, poppler and Ghostscript),
// graded by `lorvaxen verify`, and read back. One factor changes at a time from a plain label. The
// C++ interface makes each in memory too, to the same bytes and grade.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <lorvaxen/labels.h>

#include "options.h"
#include "tool_run.h"

namespace lorvaxen::test {
namespace {

struct RoundTrip
{
    std::string name;      // the row's name in the test's
    std::string symbology; // as the tool and verify take it
    std::vector<std::string> options;
    std::string text;
    std::string data;           // what verify reads back: the framed text
    std::string format = "png"; // the file's extension
};

void PrintTo(const RoundTrip& row, std::ostream* out)
{
    *out << row.name;
}

constexpr double kLeastGrade = 3.5;

// What a label holds: the text the tool is given and what verify reads back.
struct Subject
{
    std::string symbology;
    std::string text;
    std::string data;
};
const Subject kJanLabel{"jan", "490123456789", "4901234567894"};
const Subject kUpcALabel{"upca", "03600029145", "036000291452"};
const Subject kCode39Label{"code39", "LORVAXEN", "*LORVAXEN*"};
const Subject kItfLabel{"itf", "1234567", "12345670"};
const Subject kItf14Label{"itf14", "1234567890123", "12345678901231"};
const Subject kNw7Label{"nw7", "A40156A", "a40156a"};
const Subject kCodabarLabel{"codabar", "40156", "a40156a"};
const Subject kCodabarCheckLabel{"codabar", "A123B", "a1239b"};
const Subject kCodabarBDLabel{"codabar", "b40156D", "b40156d"};

RoundTrip row(std::string name, const Subject& subject, std::vector<std::string> options,
              std::string format = "png")
{
    return {.name = std::move(name),
            .symbology = subject.symbology,
            .options = std::move(options),
            .text = subject.text,
            .data = subject.data,
            .format = std::move(format)};
}

std::vector<RoundTrip> rows()
{
    std::vector<RoundTrip> table;
    for (const std::string dpi : {"203", "300", "600"}) {
        const std::vector<std::string> at{"--dpi", dpi};
        table.push_back(row("jan_" + dpi, kJanLabel, at));
        table.push_back(row("upca_" + dpi, kUpcALabel, at));
        table.push_back(row("code39_" + dpi, kCode39Label, at));
        table.push_back(row("itf_" + dpi, kItfLabel, {"--dpi", dpi, "--check"}));
        // An ITF-14 framed, at its nominal module and height, by default; its check digit added.
        table.push_back(row("itf14_frame_" + dpi, kItf14Label, at));
        table.push_back(row("itf14_bars_" + dpi, kItf14Label, {"--dpi", dpi, "--bearer", "bars"}));
        table.push_back(row("nw7_" + dpi, kNw7Label, at));
    }
    table.push_back(row("codabar_300", kCodabarLabel, {"--dpi", "300"}));
    table.push_back(row("codabar_check_300", kCodabarCheckLabel, {"--dpi", "300", "--check"}));
    table.push_back(row("codabar_b_to_d_300", kCodabarBDLabel, {"--dpi", "300"}));
    for (const std::string turn : {"90", "180", "270"}) {
        table.push_back(row("code39_turned_" + turn, kCode39Label, {"--rotate", turn}));
        table.push_back(row("jan_turned_" + turn, kJanLabel, {"--rotate", turn}));
    }
    // Dark ink on a light ground, as the red light of a scanner sees it.
    table.push_back(row("code39_coloured", kCode39Label, {"--fg", "#003399", "--bg", "#ffee88"}));
    table.push_back(row("jan_coloured", kJanLabel, {"--fg", "#006400", "--bg", "#f0f0f0"}));
    table.push_back(row("code39_bar_reduction", kCode39Label, {"--bar-reduction", "0.03"}));
    table.push_back(row("jan_bar_reduction", kJanLabel, {"--bar-reduction", "0.05"}));
    for (const std::string format : {"svg", "pdf", "eps"}) {
        table.push_back(row("code39_" + format, kCode39Label, {}, format));
        table.push_back(row("jan_" + format, kJanLabel, {}, format));
    }
    // A ratio that whole dots would take below what the standard allows, and a module and a ratio
    // that the vector formats draw exactly only on a fine grid.
    table.push_back(row("code39_ratio_in_whole_dots", kCode39Label,
                        {"--narrow", "0.25", "--ratio", "2.2", "--dpi", "203"}));
    for (const std::string format : {"svg", "pdf"}) {
        table.push_back(row("code39_exact_" + format, kCode39Label,
                            {"--narrow", "0.19", "--ratio", "2.2", "--height", "6.35"}, format));
    }
    return table;
}

class LabelRoundTrip : public Tool, public ::testing::WithParamInterface<RoundTrip>
{
  protected:
    // The file as a page printed at 600 dpi: the raster formats as they are.
    fs::path printed(const fs::path& file) const
    {
        fs::path page = dir() / "page.png";
        const std::string ext = file.extension().string();
        if (ext == ".svg") {
            commandOutput(std::string(RSVG_CONVERT) + " -d 600 -p 600 -o " + page.string() + " " +
                          file.string());
        } else if (ext == ".pdf") {
            commandOutput(std::string(PDFTOPPM) + " -r 600 -png -singlefile " + file.string() +
                          " " + (dir() / "page").string());
        } else if (ext == ".eps") {
            commandOutput(std::string(GHOSTSCRIPT) +
                          " -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=pnggray -r600 "
                          "-sOutputFile=" +
                          page.string() + " " + file.string());
        } else {
            return file;
        }
        return page;
    }
};

TEST_P(LabelRoundTrip, VerifyGradesTheLabelAtLeastBAndReadsItsText)
{
    const RoundTrip& row = GetParam();
    std::vector<std::string> args{"-s", row.symbology};
    args.insert(args.end(), row.options.begin(), row.options.end());
    const std::string file = "label." + row.format;
    args.insert(args.end(), {"-o", file, row.text});
    const ToolRun made = runTool(args);
    ASSERT_EQ(made.status, 0) << made.err;

    const fs::path page = printed(dir() / file);
    ASSERT_TRUE(fs::exists(page));
    const ToolRun graded = runTool({"verify", "--json", "-s", row.symbology, page.string()});
    ASSERT_FALSE(graded.out.empty()) << graded.err;
    const std::string grade = jsonField(graded.out, "grade");
    EXPECT_GE(std::strtod(grade.c_str(), nullptr), kLeastGrade)
        << grade << ", made with: " << made.err << graded.out.substr(0, 600);
    EXPECT_EQ(jsonField(graded.out, "text"), row.data);

    // The same label through the C++ interface, in memory: the tool's very bytes (but for the
    // date PDF and EPS carry), and for a raster label the same grade and text.
    std::vector<const char*> argv{"lorvaxen"};
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const auto parsed = tool::parseArguments(static_cast<int>(argv.size()), argv.data(), out, err);
    ASSERT_TRUE(parsed.options) << err.str();
    const MadeLabel inMemory = makeLabel(row.text, parsed.options->label);
    ASSERT_TRUE(inMemory.succeeded()) << inMemory.problem;
    const auto bytes = imageBytes(inMemory.label, parsed.options->format);
    ASSERT_TRUE(bytes);
    if (row.format == "pdf" || row.format == "eps") {
        return;
    }
    std::ifstream written(dir() / file, std::ios::binary);
    const std::vector<uint8_t> fileBytes{std::istreambuf_iterator<char>(written), {}};
    EXPECT_TRUE(*bytes == fileBytes);
    if (row.format == "png") {
        const GradedImage memoryGrade = verifyBytes(*bytes, {.symbology = row.symbology});
        ASSERT_TRUE(memoryGrade.graded()) << memoryGrade.problem;
        EXPECT_EQ(fixedText(memoryGrade.verification.grade, 2),
                  fixedText(std::strtod(grade.c_str(), nullptr), 2));
        EXPECT_EQ(memoryGrade.verification.text, row.data);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFactor, LabelRoundTrip, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<RoundTrip>& info) {
                             return info.param.name;
                         });

} // namespace
} // namespace lorvaxen::test
