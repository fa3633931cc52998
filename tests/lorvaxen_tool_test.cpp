// The lorvaxen command-line tool, run as a user runs it: its files, its messages, its exit status.
#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <Lorvaxen.h>

#include "gdi_test.h"
#include "scan.h"
#include "tool_image_files.h"
#include "tool_run.h"
#include "writers.h"

namespace lorvaxen::test {
namespace {

struct PngCase
{
    const Kind& kind;
    std::string text;
    bool check;
    int dpi;
    double narrowMm;
};
using ToolPng = RowsOn<Tool, PngCase>;
const PngCase kToolPngRows[] = {
    PngCase{kCode39, "abc-123", false, 600, 0.33},
    PngCase{kCode39, "LORVAXEN 0.9 $/+%", true, 300, 0.25},
    PngCase{kCode39, "*X*", true, 203, 0.33},
    PngCase{kCode39, "7", false, 96, 0.5},
    PngCase{kJan, "490123456789", false, 300, 0.33},
    PngCase{kJan, "4901234567894", true, 600, 0.264},
    PngCase{kJan, "9780201379624", false, 203, 0.33},
    PngCase{kItf, "12345678", false, 600, 0.33},
    PngCase{kItf, "1234567", true, 300, 0.25},
    PngCase{kItf, "9876543210123", false, 96, 0.5},
    PngCase{kNw7, "A40156B", false, 600, 0.33},
    PngCase{kNw7, "123-$:/.+", true, 300, 0.25},
    PngCase{kUpcA, "03600029145", false, 300, 0.33},
    PngCase{kUpcA, "036000291452", false, 600, 0.33},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolPng, ::testing::ValuesIn(kToolPngRows), kindAndText);

TEST_P(ToolPng, PngReadsBackToItsData)
{
    const PngCase& c = GetParam();
    std::vector<std::string> args{"-s",       c.kind.name,
                                  "--dpi",    std::to_string(c.dpi),
                                  "--narrow", std::to_string(c.narrowMm),
                                  "--json",   "-o",
                                  "out.png",  c.text};
    if (c.check) {
        args.emplace_back("--check");
    }
    const ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = readPng(dir() / "out.png");
    ASSERT_TRUE(png.has_value());
    // The file's own quiet zones are all the margin the decoder gets.
    const auto data = decode(png->pixels, c.kind.decoderFormat, 0);
    std::string framed = jsonField(run.out, "framed");
    if (c.kind.name == kCode39.name || c.kind.name == kNw7.name) {
        framed = framed.substr(1, framed.size() - 2); // the decoder drops start and stop
    }
    EXPECT_EQ(data.value_or("<no symbol>"), framed) << c.text;
}

// Tesseract's reading of the text band under the bars: the rows from the first that differs from
// the bars' own, with the lengthened guard bars (black where the band begins) whitened out.
std::string readTextBand(const Pixels& pixels, const fs::path& scratch)
{
    int32_t top = 0;
    while (top < pixels.height && pixels.row(top) == pixels.row(0)) {
        ++top;
    }
    auto band = whiteImage(pixels.width, pixels.height - top, 300);
    for (int32_t y = top; y < pixels.height; ++y) {
        for (int32_t x = 0; x < pixels.width; ++x) {
            if (pixels.at(x, y) && !pixels.at(x, top)) {
                band.setBlack(x, y - top);
            }
        }
    }
    std::FILE* file = std::fopen(scratch.c_str(), "wb");
    EXPECT_TRUE(file != nullptr && writePng(band, file));
    if (file != nullptr) {
        std::fclose(file);
    }
    std::string text =
        commandOutput(std::string(TESSERACT) + " " + scratch.string() + " stdout --psm 7");
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
    return text;
}

// The text a person reads under the bars is the framed text, and the bars still scan with it.
struct TextBandCase
{
    const Kind& kind;
    std::string text;
    std::vector<std::string> options;
    std::string read; // what Tesseract finds
};
using ToolTextBand = RowsOn<Tool, TextBandCase>;
const TextBandCase kToolTextBandRows[] = {
    TextBandCase{kJan, "490123456789", {}, "4901234567894"},
    TextBandCase{kJan, "978020137962", {"--narrow", "0.5"}, "9780201379624"},
    TextBandCase{kCode39, "ABC-12", {}, "*ABC-12*"},
    TextBandCase{kItf, "1234567", {"--check"}, "12345670"},
    TextBandCase{kNw7, "A40156A", {"--text-size", "3"}, "A40156A"},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolTextBand, ::testing::ValuesIn(kToolTextBandRows), kindAndText);

TEST_P(ToolTextBand, TextUnderTheBarsReadsAsTheFramedText)
{
    const TextBandCase& c = GetParam();
    std::vector<std::string> args{"-s", c.kind.name, "--dpi", "300", "-o", "t.png", c.text};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = readPng(dir() / "t.png");
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(readTextBand(png->pixels, dir().parent_path() / "band.png"), c.read) << c.text;
    EXPECT_TRUE(decode(png->pixels, c.kind.decoderFormat, 0).has_value()) << c.text;
}

struct ResolutionCase // NOLINT(clang-analyzer-optin.performance.Padding): fields in the rows' order
{
    int dpi;
    double heightMm;
    uint32_t perMetre; // dpi / 0.0254, rounded
};
using ToolPngResolution = RowsOn<Tool, ResolutionCase>;
const ResolutionCase kToolPngResolutionRows[] = {
    ResolutionCase{600, 6.35, 23622}, ResolutionCase{300, 10, 11811},
    ResolutionCase{203, 12.7, 7992}, ResolutionCase{96, 25.4, 3780}};
INSTANTIATE_TEST_SUITE_P(Tool, ToolPngResolution, ::testing::ValuesIn(kToolPngResolutionRows),
                         [](const auto& info) { return std::to_string(info.param.dpi) + "dpi"; });

TEST_P(ToolPngResolution, PngRecordsResolutionAndPhysicalSize)
{
    const ResolutionCase& c = GetParam();
    const ToolRun run =
        runTool({"--dpi", std::to_string(c.dpi), "--height", std::to_string(c.heightMm),
                 "--no-text", "--json", "-o", "out.png", "ABC"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = readPng(dir() / "out.png");
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->bitDepth, 1);
    EXPECT_EQ(png->xPerMetre, c.perMetre) << c.dpi;
    EXPECT_EQ(png->yPerMetre, c.perMetre) << c.dpi;
    // The height in pixels truncates as the library's does: 25.4 mm at 96 dpi is 95.
    EXPECT_EQ(png->pixels.height, static_cast<int>(c.dpi * c.heightMm / 25.4));
    EXPECT_EQ(jsonField(run.out, "width_px"), std::to_string(png->pixels.width));
    EXPECT_EQ(jsonField(run.out, "height_px"), std::to_string(png->pixels.height));
    EXPECT_NEAR(std::stod(jsonField(run.out, "width_mm")), png->pixels.width * 25.4 / c.dpi, 1e-4);
    EXPECT_NEAR(std::stod(jsonField(run.out, "height_mm")), png->pixels.height * 25.4 / c.dpi,
                1e-4);
}

TEST_F(Tool, EveryFormatHoldsTheSamePixelsAtTheSameSize)
{
    const std::vector<std::string> common{"--dpi", "300", "--narrow", "0.3", "--height", "8"};
    const auto make = [&](const std::string& file) {
        std::vector<std::string> args = common;
        args.insert(args.end(), {"-o", file, "FORMATS 1"});
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 0) << file << ": " << run.err;
    };
    for (const char* file : {"a.png", "a.svg", "a.pbm", "a.BMP"}) {
        make(file);
    }
    const auto png = readPng(dir() / "a.png");
    const auto svg = readSvg(dir() / "a.svg");
    const auto pbm = readPbm(dir() / "a.pbm");
    const auto bmp = readBmp(dir() / "a.BMP");
    ASSERT_TRUE(png && svg && pbm && bmp);
    EXPECT_EQ(pbm->pixels.black, png->pixels.black);
    EXPECT_EQ(bmp->pixels.black, png->pixels.black);
    EXPECT_EQ(svg->pixels.width, png->pixels.width);
    EXPECT_EQ(svg->pixels.height, png->pixels.height);
    EXPECT_EQ(bmp->pixels.height, png->pixels.height);
    EXPECT_EQ(bmp->xPerMetre, 11811U);
    EXPECT_EQ(bmp->yPerMetre, 11811U);
    // The SVG's rectangles are the bars, pixel for pixel, and its text is one outline per
    // character of "*FORMATS 1*" under them, where the raster formats have its pixels.
    const auto barsHeight = static_cast<int32_t>(300 * 8 / 25.4);
    for (int32_t y = 0; y < png->pixels.height; ++y) {
        for (int32_t x = 0; x < png->pixels.width; ++x) {
            ASSERT_EQ(svg->pixels.at(x, y), y < barsHeight && png->pixels.at(x, y))
                << "(" << x << ", " << y << ")";
        }
    }
    const std::string svgText = readText(dir() / "a.svg");
    std::size_t outlines = 0;
    for (auto at = svgText.find("<path "); at != std::string::npos;
         at = svgText.find("<path ", at + 1)) {
        ++outlines;
    }
    EXPECT_EQ(outlines, 11U);
    // 300 dpi: the SVG prints at exactly the size its pixels stand for.
    EXPECT_NEAR(svg->widthMm, png->pixels.width * 25.4 / 300, 1e-6);
    EXPECT_NEAR(svg->heightMm, png->pixels.height * 25.4 / 300, 1e-6);
    EXPECT_EQ(files(), (std::vector<std::string>{"a.BMP", "a.pbm", "a.png", "a.svg"}));
}

struct QuietZoneCase
{
    const Kind& kind;
    std::string text;
    int dpi;
    double narrowMm;
};
using ToolQuietZones = RowsOn<Tool, QuietZoneCase>;
const QuietZoneCase kToolQuietZonesRows[] = {
    QuietZoneCase{kCode39, "QUIET", 600, 0.33},    QuietZoneCase{kCode39, "Q", 96, 0.2},
    QuietZoneCase{kCode39, "Q-1", 300, 0.5},       QuietZoneCase{kJan, "490123456789", 600, 0.33},
    QuietZoneCase{kJan, "4901234567894", 96, 0.2}, QuietZoneCase{kItf, "123456", 300, 0.33},
    QuietZoneCase{kNw7, "c1234c", 203, 0.25}};
INSTANTIATE_TEST_SUITE_P(Tool, ToolQuietZones, ::testing::ValuesIn(kToolQuietZonesRows),
                         kindAndText);

TEST_P(ToolQuietZones, QuietZonesFrameTheLibraryBitmap)
{
    const QuietZoneCase& c = GetParam();
    const std::vector<std::string> common{"-s",        c.kind.name,
                                          "--dpi",     std::to_string(c.dpi),
                                          "--narrow",  std::to_string(c.narrowMm),
                                          "--height",  "6.35",
                                          "--no-text", "--json",
                                          c.text};
    auto bare = common;
    bare.insert(bare.end(), {"--no-quiet-zone", "-o", "bare.png"});
    auto framed = common;
    framed.insert(framed.end(), {"-o", "framed.png"});
    ASSERT_EQ(runTool(bare).status, 0);
    const ToolRun framedRun = runTool(framed);
    ASSERT_EQ(framedRun.status, 0);
    // The library asked for exactly the module and the wide elements the tool reports: half a
    // dot over them, so that its truncation lands on the whole dots.
    const int module = std::stoi(jsonField(framedRun.out, "module_dots"));
    const std::string wide = jsonField(framedRun.out, "wide_dots");
    const double ratio = wide == "null" ? 2.5 : (std::stoi(wide) + 0.5) / module;
    const Pixels library =
        libraryPixels(c.kind, c.text, c.dpi, (module + 0.5) * 25.4 / c.dpi, 6.35, ratio);

    const auto barePng = readPng(dir() / "bare.png");
    const auto framedPng = readPng(dir() / "framed.png");
    ASSERT_TRUE(barePng && framedPng);
    EXPECT_EQ(barePng->pixels.black, library.black) << c.text << " at " << c.dpi;

    const int left = c.kind.leftModules * module;
    const int right = c.kind.rightModules * module;
    const Pixels& image = framedPng->pixels;
    ASSERT_EQ(image.width, library.width + left + right) << c.text << " at " << c.dpi;
    ASSERT_EQ(image.height, library.height);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const bool inSymbol = x >= left && x < left + library.width;
            ASSERT_EQ(image.at(x, y), inSymbol && library.at(x - left, y))
                << c.text << " at " << c.dpi << ": (" << x << ", " << y << ")";
        }
    }
}

TEST_F(Tool, ReportsFramedTextAndSizeInPixelsAndMillimetres)
{
    const ToolRun run = runTool({"--dpi", "300", "--check", "-o", "r.png", "ab1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = readPng(dir() / "r.png");
    ASSERT_TRUE(png.has_value());
    EXPECT_NE(run.out.find("framed text: *AB1M*\n"), std::string::npos) << run.out;
    char size[128];
    std::snprintf(size, sizeof size, "size: %d x %d pixels, %.2f x %.2f mm at 300 dpi",
                  png->pixels.width, png->pixels.height, png->pixels.width * 25.4 / 300,
                  png->pixels.height * 25.4 / 300);
    EXPECT_NE(run.out.find(size), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("written to: r.png"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("module: 0.3387 mm (4 dots), 102.6% of the 0.33 mm asked for"),
              std::string::npos)
        << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;

    // A JAN module below 80% of 0.33 mm is made, with a warning.
    const ToolRun small = runTool(
        {"-s", "jan", "--dpi", "300", "--narrow", "0.2", "--json", "-o", "j.png", "490123456789"});
    EXPECT_EQ(small.status, 0) << small.err;
    const std::string warning = "the module of 0.1693 mm is 51.3% of JAN's nominal 0.33 mm";
    EXPECT_NE(small.err.find("warning: " + warning), std::string::npos) << small.err;
    // and in the JSON report, as a list.
    EXPECT_NE(small.out.find("\"warnings\":[\"" + warning), std::string::npos) << small.out;
}

// Any format goes to standard output, named "-" or /dev/stdout, with the report on standard
// error; "-" as the text reads it from standard input.
struct PipeCase
{
    std::vector<std::string> args;
    std::string input;
    std::optional<ImageFile> (*read)(const fs::path&);
};
using ToolPipe = RowsOn<Tool, PipeCase>;
const PipeCase kToolPipeRows[] = {
    PipeCase{{"-o", "-", "piped"}, "", readPng},
    PipeCase{{"--format", "svg", "-o", "-", "piped"}, "", readSvg},
    PipeCase{{"--format", "bmp", "-o", "/dev/stdout", "piped"}, "", readBmp},
    PipeCase{{"-o", "/dev/stdout", "--format", "pbm", "-"}, "piped\n", readPbm},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolPipe, ::testing::ValuesIn(kToolPipeRows),
                         namedBy(&PipeCase::args));

TEST_P(ToolPipe, ImagesGoToStandardOutputWithTheReportOnStandardError)
{
    const PipeCase& c = GetParam();
    const ToolRun run = runTool(c.args, c.input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("framed text: *PIPED*"), std::string::npos) << run.err;
    std::ofstream(dir() / "stdout", std::ios::binary) << run.out;
    const auto image = c.read(dir() / "stdout");
    ASSERT_TRUE(image.has_value()) << c.args[1];
    EXPECT_EQ(decode(image->pixels, "Code39", 0).value_or("<no symbol>"), "PIPED");
    fs::remove(dir() / "stdout");
    EXPECT_TRUE(files().empty());
}

TEST_F(Tool, ReportThatCannotBeWrittenOnStandardOutputIsAFailure)
{
    // A report that cannot be written is a failure, not a success whose news is lost. Only the
    // device itself will do: a /dev/full that is something else on this machine is left alone.
    struct stat full = {};
    if (stat("/dev/full", &full) != 0 || !S_ISCHR(full.st_mode)) {
        std::printf("skipped the full standard output: /dev/full is not a character device\n");
        return;
    }
    const ToolRun onFull = runTool({"--json", "-o", "full.png", "ABC"}, "", "/dev/full");
    EXPECT_EQ(onFull.status, 1);
    EXPECT_NE(onFull.err.find("cannot write the report to standard output"), std::string::npos)
        << onFull.err;
}

TEST_F(Tool, WithoutOutputTheFileIsNamedAfterTheText)
{
    ASSERT_EQ(runTool({"../A/B.c"}).status, 0);
    // A name that would read as an option to the commands given it ("rm *") starts with '_'.
    ASSERT_EQ(runTool({"--", "-rf"}).status, 0);
    EXPECT_EQ(files(), (std::vector<std::string>{"_-RF.png", "___A_B_C.png"}));
}

struct RefusalCase
{
    std::vector<std::string> args;
    std::string message;
};
using ToolRefusals = RowsOn<Tool, RefusalCase>;
const RefusalCase kToolRefusalsRows[] = {
    RefusalCase{{"a#b"}, "a character is not a Code 39 symbol: '#' at character 2"},
    RefusalCase{{"-s", "JAN", "4901234567890"},
                "the check digit of 4901234567890 is 0, but the digits before it give 4"},
    RefusalCase{{"-s", "upca", "036000291453"}, "is 3, but the digits before it give 2"},
    RefusalCase{{"-s", "upca", "0360002914"}, "a UPC-A needs 11 digits, or 12"},
    RefusalCase{{"-s", "itf14", "14901234567890"},
                "the check digit of 14901234567890 is 0, but the digits before it give 1"},
    RefusalCase{{"-s", "itf14", "490123456789"}, "an ITF-14 needs 13 digits, or 14"},
    RefusalCase{{"-s", "ean13", "4901-2345-6789"},
                "a character is not a digit (a JAN takes digits only): '-' at character 5"},
    RefusalCase{{"-s", "upca", "0360002914x3"},
                "a character is not a digit (a UPC-A takes digits only): 'x' at character 11"},
    RefusalCase{{"A\xff"
                 "B"},
                "a character is not a Code 39 symbol: the byte 0xFF, which is not UTF-8, at "
                "character 2"},
    RefusalCase{{"-s", "jan",
                 "\xef\xbc\x94"
                 "901234567894"},
                "'\xef\xbc\x94' (U+FF14) at character 1, a full-width digit: type 4"},
    RefusalCase{{"-s", "codabar", "12x4"},
                "a character is not a Codabar symbol: 'x' at character 3"},
    RefusalCase{{"-s", "codabar", "A12b34"},
                "the start/stop character 'b' at character 4 stands inside the data"},
    RefusalCase{{"-s", "i2of5", "12\t4"},
                "a character is not a digit (Interleaved 2 of 5 takes digits only): U+0009 at "
                "character 3"},
    RefusalCase{{"***"}, "the text is empty, or nothing but asterisks (Code 39)"},
    RefusalCase{{"-s", "jan", "123"}, "a JAN needs 12 or 13 digits"},
    RefusalCase{{"-s", "nw7", "x"}, "a character is not an NW7 symbol"},
    RefusalCase{{"--narrow", "0", "A"}, "a dimension is refused"},
    RefusalCase{{"--ratio", "0.5", "A"}, "a dimension is refused"},
    RefusalCase{{"--height", "0", "A"}, "a dimension is refused"},
    // A default text follows the module: a module of 15 mm is at fault, not the text;
    // with a usual module, the bars are.
    RefusalCase{{"--height", "0.3", "A"},
                "the text of 2.54 mm is more than four times the bars' 0.296 mm: give a "
                "--height of at least 0.635 mm"},
    RefusalCase{{"--narrow", "15mm", "--height", "10", "A"},
                "a module of 14.986 mm makes the text 112.395 mm high, more than four times the "
                "bars'"},
    RefusalCase{{"--bar-reduction", "0.4", "--dpi", "300", "A"},
                "the bar width reduction of 0.4233 mm leaves no narrow bar"},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolRefusals, ::testing::ValuesIn(kToolRefusalsRows),
                         namedBy(&RefusalCase::args));

TEST_P(ToolRefusals, RefusedTextGivesItsCodeAndMessageAndWritesNothing)
{
    const RefusalCase& c = GetParam();
    // An earlier file of the same name is left as it was.
    std::ofstream(dir() / "keep.png") << "earlier";
    auto args = c.args;
    args.insert(args.end(), {"-o", "keep.png"});
    const ToolRun run = runTool(args);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("lorvaxen: -"), std::string::npos) << run.err; // codes: --json
    EXPECT_EQ(readText(dir() / "keep.png"), "earlier");
    EXPECT_EQ(files(), std::vector<std::string>{"keep.png"});
}

TEST_F(Tool, EndlessInputAndJsonRefusalsLeaveTheEarlierFile)
{
    std::ofstream(dir() / "keep.png") << "earlier";
    // Endless input, such as /dev/zero, is not read for ever.
    const ToolRun endless = runTool({"-o", "keep.png", "-"}, std::string((1 << 20) + 1, 'A'));
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("the text on standard input runs past 1048576 bytes"),
              std::string::npos)
        << endless.err;
    EXPECT_EQ(readText(dir() / "keep.png"), "earlier");
    const ToolRun json = runTool({"--json", "-o", "x.png", "a\"\\#"});
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out, "{\"text\":\"a\\\"\\\\#\",\"symbology\":\"code39\",\"ok\":false,"
                        "\"code\":-22,\"error\":\"a character is not a Code 39 symbol\","
                        "\"refused\":\"'\\\"' at character 2\",\"warnings\":[]}\n");
}

struct UsageCase
{
    std::vector<std::string> args;
    std::string message; // part of it, after the "lorvaxen" every message starts with
};
using ToolUsageErrors = RowsOn<Tool, UsageCase>;
const UsageCase kToolUsageErrorsRows[] = {
    UsageCase{{}, ""},
    UsageCase{{"--bogus", "A"}, ": unknown option --bogus\n"},
    UsageCase{{"--heigth", "10", "ABC"}, ": unknown option --heigth; did you mean --height?"},
    UsageCase{{"--narow=0.3", "ABC"}, ": unknown option --narow; did you mean --narrow?"},
    UsageCase{{"-x", "ABC"}, ": unknown option -x"},
    UsageCase{{"-s", "qr", "A"}, "unknown symbology 'qr': use one of jan (ean13"},
    UsageCase{{"--bearer", "frame", "-s", "jan", "490123456789"}, "--bearer is for"},
    UsageCase{{"--bg", "none", "-o", "x.bmp", "A"},
              "a transparent background needs PNG, SVG, PDF or EPS\n"},
    UsageCase{{"--fg", "#12345", "A"}, "a colour is #rrggbb"},
    UsageCase{{"--fg", "#c00", "-o", "x.pbm", "A"},
              "PBM holds black and white only: write PNG, SVG, PDF, EPS or BMP for colours\n"},
    UsageCase{{"--rotate", "45", "A"}, "--rotate"},
    UsageCase{{"--dpi", "0", "A"}, ""},
    UsageCase{{"--narrow", "wide", "A"}, ""},
    UsageCase{{"-o", "a.gif", "A"}, ""},
    UsageCase{{"-o", "noextension", "A"}, ""},
    UsageCase{{"A", "--batch", "list.txt"}, ""},
    UsageCase{{"--batch", "list.txt", "-o", "one.png"}, ""},
    UsageCase{{"--batch", "list.txt", "-o", "%s-%s.png"}, ""},
    UsageCase{{"--batch", "list.txt", "-o", "%d-%d.png"}, ""},
    UsageCase{{"--batch", "list.txt", "-o", "-"}, ""},
    UsageCase{{"--batch", "list.txt", "--sheet", "a4-3x8", "-o", "s.png"}, "one PDF file"},
    UsageCase{{"--batch", "list.txt", "--roll"}, "name it with -o"},
    UsageCase{{"--sheet", "a4-3x8", "-o", "s.pdf", "A"}, "give --batch FILE"},
    UsageCase{{"--batch", "list.txt", "--sheet", "a5-3x8", "-o", "s.pdf"}, "a4-3x8, a4-3x7"},
    UsageCase{{"--batch", "list.txt", "--sheet", "a4:3x8:80x37mm", "-o", "s.pdf"},
              "they must fit on it"},
    UsageCase{{"--batch", "list.txt", "--sheet", "a4-3x8", "--start-cell", "25", "-o", "s.pdf"},
              "the sheet has 24 labels"},
    UsageCase{{"--batch", "list.txt", "--roll", "--offset", "1,1", "-o", "s.pdf"},
              "--offset places labels on a sheet"},
    UsageCase{{"--bar-reduction", "nan", "A"}, "'nan' is not a number of millimetres"},
    UsageCase{{"--height", "nan", "A"}, "'nan' is not a number of millimetres"},
    UsageCase{{"--narrow", "1e400", "A"}, "'1e400' is not a number of millimetres"},
    UsageCase{{"--text-size", "1e308in", "A"}, "is not a number of millimetres"},
    UsageCase{{"--narrow", "13 mils", "A"}, "is not a number of millimetres"},
    UsageCase{{"--ratio", "inf", "A"}, "'inf' is not a number"},
    // Colours no scanner reads: too little contrast, or bars lighter than the paper.
    UsageCase{{"--fg", "white", "--bg", "white", "A"},
              "these colours give a symbol contrast of 0% under red light"},
    UsageCase{{"--fg", "#fff", "--bg", "#000", "A"}, "the bars must be darker than the background"},
    UsageCase{{"--fg", "#ddd", "--bg", "none", "-o", "x.svg", "A"},
              "a symbol contrast of 13.3% under red light (the background's reflectance 100% "
              "less the bars' 86.7%), which fails (grade F, below 20%)"},
    UsageCase{{"--column", "2", "A"}, "--column reads a CSV file of a batch: give --batch"},
    UsageCase{{"--batch", "list.txt", "--column", "1", "--delimiter", ";;"},
              "--delimiter: one character"},
    UsageCase{{"--batch", "list.txt", "--column", "1", "--name-column", "2", "-o", "%d.png"},
              "--name-column names the files through %s"},
    UsageCase{{"--bar-reduction", "inf", "A"}, "is not a number"},
    UsageCase{{"--bar-reduction", "1e300", "A"}, "is not a number"},
    UsageCase{{"verify"}, ""},
    UsageCase{{"verify", "-s", "qr", "x.png"}, ""},
    UsageCase{{"verify", "--dpi", "1e-300", "x.png"}, "is not a number from 25 to 100000 dpi"},
    UsageCase{{"verify", "--x-dimension", "nan", "x.png"}, "is not a number"},
    UsageCase{{"verify", "--aperture", "inf", "x.png"}, "is not a number"},
    UsageCase{{"verify", "--min-grade", "E", "x.png"}, "--min-grade takes a grade"},
    UsageCase{{"verify", "--min-grade", "4.5", "x.png"}, "--min-grade takes a grade"},
    UsageCase{{"verify", "--report", "r.gif", "x.png"}, "must end in .pdf, .png or .svg"},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolUsageErrors, ::testing::ValuesIn(kToolUsageErrorsRows),
                         namedBy(&UsageCase::args));

TEST_P(ToolUsageErrors, UsageErrorsExitWithTwoAndWriteNothing)
{
    const UsageCase& c = GetParam();
    std::string joined;
    for (const std::string& arg : c.args) {
        joined += arg + " ";
    }
    const ToolRun run = runTool(c.args);
    EXPECT_EQ(run.status, 2) << joined;
    if (c.args.empty() || c.args[0] != "verify") {
        EXPECT_EQ(run.err.substr(0, 10), "lorvaxen: ") << joined << run.err;
    }
    EXPECT_NE(run.err.find(c.message), std::string::npos) << joined << run.err;
    EXPECT_TRUE(files().empty()) << joined;
}

TEST_F(Tool, UnwritableFileIsReportedAndLeavesNothingBehind)
{
    const ToolRun missing = runTool({"-o", "no-such-dir/x.png", "A"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot write no-such-dir/x.png"), std::string::npos) << missing.err;

    // Everything is written before the rename onto a directory fails: the temporary file goes.
    fs::create_directory(dir() / "taken.svg");
    const ToolRun taken = runTool({"-o", "taken.svg", "A"});
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.err.find("cannot write taken.svg"), std::string::npos) << taken.err;
    EXPECT_EQ(files(), std::vector<std::string>{"taken.svg"});
    EXPECT_TRUE(fs::is_empty(dir() / "taken.svg"));

    // Names made from the data never write through a link planted under them, nor wait on a
    // FIFO: each is refused, and the batch goes on.
    const fs::path outside = dir().parent_path() / "outside";
    std::ofstream(outside) << "earlier";
    fs::create_symlink("/dev/null", dir() / "NULL.png");
    fs::create_symlink(outside, dir() / "OUT.png");
    ASSERT_EQ(mkfifo((dir() / "FIFO.png").c_str(), 0644), 0);
    const ToolRun planted = runTool({"--batch", "-", "-o", "%s.png"}, "NULL\nOUT\nFIFO\nNEW\n");
    EXPECT_EQ(planted.status, 1);
    for (const char* refusal :
         {"line 1: cannot write NULL.png: it is a symbolic link", "line 2: cannot write OUT.png",
          "line 3: cannot write FIFO.png: it is a named pipe (FIFO)"}) {
        EXPECT_NE(planted.err.find(refusal), std::string::npos) << planted.err;
    }
    EXPECT_EQ(readText(outside), "earlier");
    EXPECT_TRUE(fs::is_symlink(dir() / "OUT.png"));
    EXPECT_EQ(files(), (std::vector<std::string>{"FIFO.png", "NEW.png", "NULL.png", "OUT.png",
                                                 "taken.svg"}));
}

TEST_F(Tool, ReplacingAFileKeepsItsModeAndNamesMayUseTheFileSystemsWholeLimit)
{
    const std::string name = std::string(251, 'n') + ".png"; // 255 bytes, the usual limit
    ASSERT_EQ(runTool({"-o", name, "A"}).status, 0);
    const auto ownerOnly = fs::perms::owner_read | fs::perms::owner_write;
    // Never a set-user-id bit: a label is no program, and one planted would pass it on.
    fs::permissions(dir() / name, ownerOnly | fs::perms::set_uid);
    const ToolRun run = runTool({"-o", name, "B"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::status(dir() / name).permissions(), ownerOnly);
    const auto png = readPng(dir() / name);
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(decode(png->pixels, "Code39", 0).value_or("<no symbol>"), "B");
    EXPECT_EQ(files(), std::vector<std::string>{name});
}

// SIGINT, SIGTERM or SIGHUP stops a batch at once with 128 + the signal. It leaves no temporary
// file, and the report so far names exactly the files written, each on a whole line: new files,
// written unnamed until complete, and files replaced through a temporary name.
TEST_F(Tool, InterruptedBatchLeavesNoDebrisAndReportsEveryFileWritten)
{
    std::ofstream list(dir() / "list.txt");
    for (int i = 0; i < 500; ++i) {
        list << "LINE" << i << '\n';
    }
    list.close();
    const fs::path report = dir().parent_path() / "stdout";
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        for (const bool replacing : {false, true}) {
            for (int line = 1; replacing && line <= 500; ++line) {
                char name[16];
                std::snprintf(name, sizeof name, "%03d.png", line);
                std::ofstream(dir() / name) << "earlier";
            }
            std::ofstream{report}; // not the last run's report
            const pid_t child = startTool(
                {"--batch", "list.txt", "--dpi", "1200", "--height", "100", "-o", "%03d.png"});
            // Strike once a few are written, while the next is being written: under its
            // temporary name when it replaces a file.
            const auto writing = [&] {
                return std::ranges::count(readText(report), '\n') >= 5 &&
                       (!replacing || std::ranges::any_of(files(), [](const std::string& name) {
                           return name.starts_with(".lorvaxen-");
                       }));
            };
            for (int wait = 0; wait < 200000 && !writing(); ++wait) {
                usleep(100);
            }
            kill(child, signal);
            const ToolRun run = finishTool(child);
            EXPECT_EQ(run.status, 128 + signal);
            std::vector<std::string> reported;
            std::istringstream lines(run.out);
            for (std::string line; std::getline(lines, line);) {
                reported.push_back(line.substr(line.rfind(' ') + 1));
            }
            EXPECT_TRUE(run.out.empty() || run.out.back() == '\n') << run.out;
            EXPECT_GE(reported.size(), 4U);
            for (const std::string& name : reported) {
                EXPECT_TRUE(fs::is_regular_file(dir() / name)) << name;
            }
            // Anything else is an earlier file as it was: no temporary file, nothing unreported.
            for (const std::string& name : files()) {
                const bool isReported = std::ranges::find(reported, name) != reported.end();
                if (name != "list.txt" && !isReported) {
                    EXPECT_TRUE(replacing && readText(dir() / name) == "earlier") << name;
                }
                if (name != "list.txt") {
                    fs::remove(dir() / name);
                }
            }
        }
    }
}

struct BatchCase
{
    std::string input;
    std::vector<std::string> args;
    std::vector<std::string> refusals;
    std::string summary;
    std::vector<std::pair<std::string, std::string>> written; // file, then what it holds
};
using ToolBatchBadLine = RowsOn<Tool, BatchCase>;
const BatchCase kToolBatchBadLineRows[] = {
    // Files are numbered by line, so each still names the line it came from.
    BatchCase{"ABC\na#b\n\nxyz\r\n12345",
              {"-o", "label-%04d.png"},
              {"line 2: a character is not a Code 39 symbol"},
              "3 written, 1 failed, 1 blank lines skipped",
              {{"label-0001.png", "ABC"}, {"label-0004.png", "XYZ"}, {"label-0005.png", "12345"}}},
    // A CSV file: its header makes no label, a quoted field holds the delimiter, a newline
    // and quotes written twice, and a bad row is refused with the line it starts on.
    BatchCase{"name,code\n\"Bolt, M4\",B4\n\"Nut\n\"\"hex\"\"\",N5\nshort\n\"open,X\n",
              {"--column", "2", "--header", "--name-column", "1"},
              {"line 5: the row has 1 field, but --column 2 takes field 2",
               "line 6: the quote that opens field 1 at character 1 is never closed"},
              "2 written, 2 failed, 0 blank lines skipped",
              {{"Bolt__M4.png", "B4"}, {"Nut__hex_.png", "N5"}}},
    // A line no text comes near: the input is no list of texts, and the batch stops.
    BatchCase{"ABC\n" + std::string(70000, 'x') + "\nDEF\n",
              {"-o", "label-%d.png"},
              {"line 2: longer than 65536 bytes"},
              "1 written, 1 failed, 0 blank lines skipped",
              {{"label-1.png", "ABC"}}},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolBatchBadLine, ::testing::ValuesIn(kToolBatchBadLineRows),
                         namedBy(&BatchCase::summary));

TEST_P(ToolBatchBadLine, BatchGoesOnPastABadLineAndSaysWhichFailed)
{
    const BatchCase& c = GetParam();
    std::ofstream(dir() / "list.txt", std::ios::binary) << c.input;
    std::vector<std::string> args{"--batch", "list.txt"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = runTool(args);
    EXPECT_EQ(run.status, 1) << c.summary;
    for (const std::string& refusal : c.refusals) {
        EXPECT_NE(run.err.find("lorvaxen: " + refusal), std::string::npos) << run.err;
    }
    EXPECT_NE(run.out.find(c.summary), std::string::npos) << run.out;
    std::vector<std::string> expected{"list.txt"};
    for (const auto& [file, data] : c.written) {
        expected.push_back(file);
        const auto png = readPng(dir() / file);
        ASSERT_TRUE(png.has_value()) << file;
        EXPECT_EQ(decode(png->pixels, "Code39", 0).value_or("<no symbol>"), data);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files(), expected);
    for (const auto& [file, data] : c.written) {
        fs::remove(dir() / file);
    }
}

TEST_F(Tool, BatchFromStandardInputReportsEachLineAsJson)
{
    // Named after each line's text: a line named like an earlier one fails rather than replace
    // its file.
    const ToolRun run =
        runTool({"--batch", "-", "--json", "-o", "x-%s.svg", "--dpi", "300"}, "ONE\nT/WO\nONE\n");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(files(), (std::vector<std::string>{"x-ONE.svg", "x-T_WO.svg"}));
    std::istringstream lines(run.out);
    std::string first;
    std::string second;
    std::string third;
    std::string summary;
    std::getline(lines, first);
    std::getline(lines, second);
    std::getline(lines, third);
    std::getline(lines, summary);
    EXPECT_EQ(jsonField(first, "line"), "1");
    EXPECT_EQ(jsonField(second, "framed"), "*T/WO*");
    EXPECT_EQ(jsonField(second, "file"), "x-T_WO.svg");
    EXPECT_NE(jsonField(third, "error").find("written to x-ONE.svg already"), std::string::npos)
        << third;
    EXPECT_EQ(summary, "{\"written\":2,\"failed\":1,\"skipped\":0}");

    // Each line is made as it is read: the first line's report comes while the input is open.
    const fs::path feed = dir() / "feed";
    ASSERT_EQ(mkfifo(feed.c_str(), 0600), 0);
    const pid_t child = startTool({"--batch", "feed", "-o", "s-%d.png"});
    const int writer = open(feed.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "FIRST\n", 6), 6);
    const fs::path report = dir().parent_path() / "stdout";
    const auto reported = [&] {
        return readText(report).find("line 1: *FIRST*") != std::string::npos;
    };
    for (int wait = 0; wait < 200000 && !reported(); ++wait) {
        usleep(100);
    }
    EXPECT_TRUE(reported()) << "no report of the first line before the input ended";
    ASSERT_EQ(write(writer, "SECOND\n", 7), 7);
    close(writer);
    const ToolRun streamed = finishTool(child);
    EXPECT_EQ(streamed.status, 0) << streamed.err;
    EXPECT_NE(streamed.out.find("line 2: *SECOND* -> s-2.png"), std::string::npos) << streamed.out;
}

// The part of a page's pixels in a rectangle, white beyond the page.
Pixels crop(const Pixels& page, int32_t left, int32_t top, int32_t width, int32_t height)
{
    Pixels part;
    part.width = width;
    part.height = height;
    part.bitsPixel = 1;
    part.black.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            part.black[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                       static_cast<std::size_t>(x)] =
                left + x >= 0 && top + y >= 0 && left + x < page.width && top + y < page.height &&
                page.at(left + x, top + y);
        }
    }
    return part;
}

// The same in millimetres, at 300 dpi.
Pixels cropMm(const Pixels& page, double xMm, double yMm, double widthMm, double heightMm)
{
    const auto px = [](double mm) { return static_cast<int32_t>(std::lround(mm * 300 / 25.4)); };
    return crop(page, px(xMm), px(yMm), px(widthMm), px(heightMm));
}

// Where the ink of a picture lies: its left, right, top and bottom edges in pixels; all -1 when
// it has none.
std::array<int32_t, 4> inkBounds(const Pixels& pixels)
{
    std::array<int32_t, 4> bounds{-1, -1, -1, -1};
    for (int32_t y = 0; y < pixels.height; ++y) {
        for (int32_t x = 0; x < pixels.width; ++x) {
            if (pixels.at(x, y)) {
                bounds = bounds[0] < 0 ? std::array{x, x + 1, y, y + 1}
                                       : std::array{std::min(bounds[0], x),
                                                    std::max(bounds[1], x + 1), bounds[2], y + 1};
            }
        }
    }
    return bounds;
}

// Labels on the pages of one PDF, as a printer prints them at 300 dpi: each cell's crop decodes
// to its label's text with the label centred in the cell (moved by --offset), every other cell is
// blank; a roll has a page of the label's size for each label.
struct SheetCase // NOLINT(clang-analyzer-optin.performance.Padding): fields in the rows' order
{
    std::vector<std::string> args;
    int labels;
    std::string pageSize; // as pdfinfo gives it, in points
    // The sheet's grid in millimetres, as its makers publish it; none for a roll.
    int columns = 0;
    int rows = 0;
    std::array<double, 6> cellPitchMargins{}; // width, height, pitch across, down, left, top
    int firstCell = 1;
    std::array<double, 2> offset{};
    bool noText = false; // the ink then fills the label, so its centre is the label's
};
constexpr double kInch = 25.4;
using ToolSheets = RowsOn<Tool, SheetCase>;
const SheetCase kToolSheetsRows[] = {
    SheetCase{{"--sheet", "a4-3x8"}, 25, "595.276 x 841.89", 3, 8, {70, 37, 70, 37, 0, 0.5}},
    SheetCase{{"--sheet", "A4-3x7", "--start-cell", "20", "--no-text"},
              3,
              "595.276 x 841.89",
              3,
              7,
              {63.5, 38.1, 66.04, 38.1, 7.21, 15.15},
              20,
              {},
              true},
    SheetCase{{"--sheet", "letter-3x10", "--offset", "1.5,-2", "--no-text"},
              4,
              "612 x 792",
              3,
              10,
              {2.625 * kInch, kInch, 2.75 * kInch, kInch, 0.1875 * kInch, 0.5 * kInch},
              1,
              {1.5, -2},
              true},
    SheetCase{
        {"--sheet", "letter:2x10:4x1in:pitch=4.1875x1in:margin=0.15625x0.5in", "--rotate", "180"},
        3,
        "612 x 792",
        2,
        10,
        {4 * kInch, kInch, 4.1875 * kInch, kInch, 0.15625 * kInch, 0.5 * kInch}},
    SheetCase{{"--roll", "--dpi", "203"}, 3, ""},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolSheets, ::testing::ValuesIn(kToolSheetsRows),
                         [](const auto& info) {
                             return rowName(info.param.args[0] + " " + info.param.args[1]);
                         });

TEST_P(ToolSheets, SheetsAndRollsPlaceEachLabelInItsCell)
{
    const SheetCase& c = GetParam();
    std::ofstream list(dir() / "list.txt");
    for (int i = 1; i <= c.labels; ++i) {
        list << "L" << i << '\n';
    }
    list.close();
    auto args = c.args;
    args.insert(args.end(), {"--batch", "list.txt", "--json", "-o", "labels.pdf"});
    const ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << c.args[1] << run.err;
    EXPECT_NE(run.out.find("\"print\":\"print at 100% (actual size)"), std::string::npos)
        << run.out;
    const std::string info =
        commandOutput("pdfinfo -f 1 -l 100 " + (dir() / "labels.pdf").string());
    const int pages =
        c.columns == 0 ? c.labels : (c.firstCell - 1 + c.labels - 1) / (c.columns * c.rows) + 1;
    EXPECT_NE(info.find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos)
        << c.args[1] << info;
    commandOutput(std::string(PDFTOPPM) + " -r 300 -mono " + (dir() / "labels.pdf").string() + " " +
                  (dir() / "page").string());
    std::istringstream reports(run.out);
    std::string report;
    for (int page = 1; page <= pages; ++page) {
        const auto pixels = readPbm(dir() / ("page-" + std::to_string(page) + ".pbm"));
        ASSERT_TRUE(pixels.has_value()) << c.args[1] << " page " << page;
        if (c.columns == 0) {
            // Each page the size of its label, as the line's report gives it.
            std::getline(reports, report);
            const std::string key =
                "Page " + std::string(page < 10 ? "   " : "  ") + std::to_string(page) + " size: ";
            std::istringstream size(info.substr(info.find(key) + key.size()));
            double widthPt = 0;
            double heightPt = 0;
            std::string by;
            size >> widthPt >> by >> heightPt;
            EXPECT_NEAR(widthPt, std::stod(jsonField(report, "width_mm")) * 72 / 25.4, 0.01);
            EXPECT_NEAR(heightPt, std::stod(jsonField(report, "height_mm")) * 72 / 25.4, 0.01);
            EXPECT_EQ(decode(pixels->pixels, "Code39", 0).value_or("<none>"),
                      "L" + std::to_string(page));
            continue;
        }
        EXPECT_NE(info.find("size:  " + c.pageSize + " pts"), std::string::npos) << info;
        const auto& [width, height, pitchX, pitchY, left, top] = c.cellPitchMargins;
        for (int cell = 0; cell < c.columns * c.rows; ++cell) {
            const int label = (page - 1) * c.columns * c.rows + cell + 2 - c.firstCell;
            const int column = cell % c.columns;
            const int row = cell / c.columns;
            const Pixels inCell = cropMm(pixels->pixels, left + column * pitchX + c.offset[0],
                                         top + row * pitchY + c.offset[1], width, height);
            const auto ink = inkBounds(inCell);
            const std::string where =
                c.args[1] + " page " + std::to_string(page) + " cell " + std::to_string(cell + 1);
            if (label < 1 || label > c.labels) {
                EXPECT_EQ(ink[0], -1) << where;
                continue;
            }
            // Across the middle of the ink, which is the bars' even under the text.
            const Pixels bars = crop(inCell, 0, (ink[2] + ink[3]) / 2, inCell.width, 8);
            EXPECT_EQ(decode(bars, "Code39", 0).value_or("<none>"), "L" + std::to_string(label))
                << where;
            // Code 39 ends with a narrow space inside its light margin: its ink is a module
            // left of the label's centre.
            EXPECT_NEAR(ink[0] + ink[1], inCell.width, 6) << where;
            if (c.noText) {
                EXPECT_NEAR(ink[2] + ink[3], inCell.height, 2) << where;
            }
        }
    }
    fs::remove_all(dir());
    fs::create_directories(dir());
}

TEST_F(Tool, VerifyGradesWhatItWritesInEveryFormatAndRefusesWhatIsNoImage)
{
    struct Case
    {
        const char* file;
        const char* report;
        const char* magic; // the report's first bytes
    };
    for (const Case& c : {Case{"v.png", "page.PDF", "%PDF"}, Case{"v.bmp", "page.svg", "<?xml"},
                          Case{"v.pbm", "page.png", "\x89PNG"}}) {
        const char* file = c.file;
        ASSERT_EQ(runTool({"--check", "-o", file, "A1"}).status, 0);
        const ToolRun run = runTool({"verify", "--json", "--plot", "plot.png", "--report", c.report,
                                     "--min-grade", "A", file});
        EXPECT_EQ(run.status, 0) << file << run.err;
        EXPECT_EQ(readText(dir() / c.report).substr(0, std::string(c.magic).size()), c.magic);
        const std::string head = run.out.substr(0, 300);
        EXPECT_NE(head.find(R"("symbology":"code39","text":"*A1B*")"), std::string::npos) << head;
        EXPECT_NE(head.find(R"("grade":4.0,"letter":"A")"), std::string::npos) << head;
        EXPECT_NE(head.find(R"x("edition":2016,"light":"red (660 nm)")x"), std::string::npos)
            << head;
        EXPECT_EQ(readText(dir() / "plot.png").substr(1, 3), "PNG") << file;
    }
    // From standard input, and at the resolution the PNG records: the aperture in millimetres.
    const ToolRun piped = runTool({"verify", "--json", "-"}, readText(dir() / "v.png"));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(jsonField(piped.out, "dpi"), "600.0");
    EXPECT_NE(jsonField(piped.out, "aperture_mm"), "null");
    // A resolution no print has, one pixel a metre, is taken as unknown, with a warning in the
    // JSON report too.
    std::string png = readText(dir() / "v.png");
    const auto phys = png.find("pHYs");
    ASSERT_NE(phys, std::string::npos);
    png.replace(phys + 4, 8, std::string("\0\0\0\1\0\0\0\1", 8));
    const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + phys), 13);
    png.replace(phys + 13, 4,
                std::string{char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)});
    std::ofstream(dir() / "metre.png", std::ios::binary) << png;
    const ToolRun metre = runTool({"verify", "--json", "metre.png"});
    EXPECT_EQ(metre.status, 0) << metre.err;
    EXPECT_EQ(jsonField(metre.out, "dpi"), "null");
    EXPECT_NE(metre.out.find(R"("warnings":["the image records a resolution of 0.025 dpi)"),
              std::string::npos)
        << metre.out.substr(0, 900);
    // A JAN label's digits and the guard bars reaching down between them are not scanned; a
    // UPC-A's quiet zones are its own, with or without -s; a bearer frame bounds the quiet zones
    // and is no element; an ITF-14's text, made taller than its bars, is not taken for them.
    struct Label
    {
        std::vector<std::string> make;
        std::vector<std::string> verify;
    };
    for (const Label& label : {
             Label{{"-s", "jan", "490123456789"}, {"-s", "jan"}},
             Label{{"-s", "upca", "01234567890"}, {}},
             Label{{"-s", "upca", "01234567890"}, {"-s", "upc-a"}},
             Label{{"-s", "itf14", "--height", "6.35", "--dpi", "203", "1234567890123"},
                   {"-s", "itf14"}},
         }) {
        std::vector<std::string> make = label.make;
        make.insert(make.begin(), {"-o", "label.png"});
        ASSERT_EQ(runTool(make).status, 0);
        std::vector<std::string> verify = label.verify;
        verify.insert(verify.begin(), "verify");
        verify.emplace_back("label.png");
        const ToolRun table = runTool(verify);
        EXPECT_NE(table.out.find("symbol grade 4.0 (A)"), std::string::npos) << table.out;
    }
    // A report that cannot be written is a failure, whatever the grade.
    struct stat full = {};
    if (stat("/dev/full", &full) == 0 && S_ISCHR(full.st_mode)) {
        EXPECT_EQ(runTool({"verify", "label.png"}, "", "/dev/full").status, 1);
    }

    // What is not an image, or a damaged one, or one without bars, is refused with a reason.
    const std::string bmp = readText(dir() / "v.bmp");
    std::ofstream(dir() / "cut.bmp", std::ios::binary) << bmp.substr(0, bmp.size() / 2);
    std::ofstream(dir() / "blank.pbm") << "P1\n3 2\n0 0 0\n0 0 0\n";
    std::ofstream(dir() / "short.pbm") << "P1\n3 2\n0 1\n";
    std::ofstream(dir() / "text.png") << "not an image";
    std::ofstream(dir() / "pam.pbm") << "P7\nWIDTH 3\n"; // a P, but no PBM's P1 or P4
    for (const auto& [file, reason] : {std::pair{"cut.bmp", "BMP ends before its last row"},
                                       {"blank.pbm", "no barcode found"},
                                       {"short.pbm", "PBM ends before its last row"},
                                       {"text.png", "not a PNG, PBM or BMP image"},
                                       {"pam.pbm", "not a PNG, PBM or BMP image"},
                                       {"missing.png", "no such file"}}) {
        const ToolRun run = runTool({"verify", file});
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_TRUE(run.out.empty()) << file;
        EXPECT_NE(run.err.find("lorvaxen verify: "), std::string::npos) << file << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << file << run.err;
    }
}

// A press whose ink spreads `spreadPx` dots beyond both edges of every bar, applied to the
// label's own PNG.
void pressLabel(const fs::path& from, const fs::path& to, int spreadPx, int dpi)
{
    const auto label = readPng(from);
    ASSERT_TRUE(label.has_value()) << from;
    const Pixels& pixels = label->pixels;
    auto printed = whiteImage(pixels.width, pixels.height, dpi);
    for (int32_t y = 0; y < pixels.height; ++y) {
        for (int32_t x = 0; x < pixels.width; ++x) {
            for (int32_t d = -spreadPx; d <= spreadPx; ++d) {
                if (x + d >= 0 && x + d < pixels.width && pixels.at(x + d, y)) {
                    printed.setBlack(x, y);
                    break;
                }
            }
        }
    }
    std::FILE* file = std::fopen(to.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(writePng(printed, file));
    std::fclose(file);
}

// On a press of known ink spread, verify measures the bar gain and names the --bar-reduction that
// makes up for it, and the label made with that grades higher on the same press.
struct PressCase // NOLINT(clang-analyzer-optin.performance.Padding): fields in the rows' order
{
    const Kind& kind;
    std::string text;
    int dpi;
    double narrowMm;
    int spreadPx; // on each side of a bar
};
using ToolPressAdvice = RowsOn<Tool, PressCase>;
const PressCase kToolPressAdviceRows[] = {
    PressCase{kCode39, "PRESS-1", 600, 0.25, 1},
    PressCase{kCode39, "PRESS-2", 600, 0.5, 1},
    PressCase{kJan, "490123456789", 600, 0.33, 1},
    PressCase{kItf, "12345678", 300, 0.5, 1},
    PressCase{kNw7, "a1234a", 300, 0.5, 1},
    PressCase{kNw7, "a1234a", 600, 0.33, 2}, // half the module
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolPressAdvice, ::testing::ValuesIn(kToolPressAdviceRows),
                         [](const auto& info) {
                             const PressCase& c = info.param;
                             return rowNameOf(c.kind.name, c.text, c.dpi, "dpi");
                         });

TEST_P(ToolPressAdvice, VerifyAdviceMakesUpForTheInkSpreadOfThePress)
{
    const PressCase& c = GetParam();
    const auto grade = [&](const std::vector<std::string>& more) {
        std::vector<std::string> args{"-s",        c.kind.name,
                                      "--dpi",     std::to_string(c.dpi),
                                      "--narrow",  std::to_string(c.narrowMm),
                                      "--no-text", "-o",
                                      "label.png", c.text};
        args.insert(args.end(), more.begin(), more.end());
        EXPECT_EQ(runTool(args).status, 0) << c.text;
        pressLabel(dir() / "label.png", dir() / "pressed.png", c.spreadPx, c.dpi);
        return runTool({"verify", "--json", "pressed.png"}).out;
    };
    const std::string spread = grade({});
    const double spreadMm = 2.0 * c.spreadPx * 25.4 / c.dpi;
    const double moduleMm = std::stod(jsonField(spread, "module_px")) * 25.4 / c.dpi;
    const std::string suggested = jsonField(spread, "suggested_bar_reduction_mm");
    ASSERT_NE(suggested, "null") << c.text << ": " << spread.substr(0, 600);
    EXPECT_NEAR(std::stod(suggested), spreadMm, std::max(0.01, 0.1 * moduleMm)) << c.text;
    EXPECT_NE(spread.find("--bar-reduction " + suggested), std::string::npos) << c.text;
    // The spread label fails an automated check; the mended one passes it.
    EXPECT_EQ(runTool({"verify", "--min-grade", "3.5", "pressed.png"}).status, 3) << c.text;
    const std::string mended = grade({"--bar-reduction", suggested});
    EXPECT_EQ(runTool({"verify", "--min-grade", "a", "pressed.png"}).status, 0) << c.text;
    EXPECT_GT(std::stod(jsonField(mended, "grade")), std::stod(jsonField(spread, "grade")))
        << c.text << ": " << jsonField(spread, "grade") << " before";
    EXPECT_EQ(jsonField(mended, "suggested_bar_reduction_mm"), "null") << c.text;
}

// Files made to turn the verifier against the machine: sizes that wrap, that exceed the pixel
// budget, that promise more than the file holds, an image too wide for an aperture that grows
// with the module, and what is no file. Each is refused at once and in little memory.
TEST_F(Tool, VerifyRefusesCraftedFilesQuicklyAndInLittleMemory)
{
    std::ofstream(dir() / "wrap.pbm") << "P1 4294836226 4295098370\n0 1 1 0";
    std::ofstream(dir() / "wide.pbm") << "P4 34359738368 4294967296\n";
    std::ofstream(dir() / "square.pbm") << "P1 4294967296 4294967296\n1";
    std::ofstream(dir() / "promise.pbm") << "P4 16384 16384\n";
    std::ofstream(dir() / "huge.bmp", std::ios::binary)
        << std::string(
               "BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xff\xff\0\0\xff\xff\0\0\x01\0\x01\0", 30)
        << std::string(40, '\0');
    // A 65536 x 65536 grey PNG, and a million pixels wide of a few wide bars.
    const auto writePng = [&](const char* name, png_uint_32 width, png_uint_32 height,
                              const std::vector<uint8_t>& pixels) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_GRAY;
        const std::string path = (dir() / name).string();
        ASSERT_NE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
    };
    std::vector<uint8_t> wide(1'000'000 * 4, 255);
    for (std::size_t bar = 100'000; bar < wide.size(); bar += 400'000) {
        std::fill_n(wide.begin() + static_cast<std::ptrdiff_t>(bar), 150'000, uint8_t{0});
    }
    writePng("sparse.png", 1'000'000, 4, wide);
    // A pixel's PNG made 65536 x 65536 in its header, with the header's check sum to match.
    writePng("huge.png", 1, 1, {0});
    std::string huge = readText(dir() / "huge.png");
    const std::string side("\0\1\0\0", 4);
    huge.replace(16, 8, side + side);
    const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(huge.data() + 12), 17);
    const std::string crcBytes{char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    huge.replace(29, 4, crcBytes);
    std::ofstream(dir() / "huge.png", std::ios::binary) << huge;
    // A pixel's PNG carrying 1,200 compressed text chunks of 8 MB of zeros each, 9.4 MB in all.
    std::vector<Bytef> zeros(8 << 20, 0);
    std::vector<Bytef> packed(compressBound(zeros.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress2(packed.data(), &packedSize, zeros.data(), zeros.size(), 9), Z_OK);
    const auto bigEndian = [](uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    std::string text =
        std::string("zTXtk\0\0", 7) + std::string(packed.begin(), packed.begin() + packedSize);
    text = bigEndian(static_cast<uint32_t>(text.size() - 4)) + text +
           bigEndian(crc32(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
    writePng("pixel.png", 1, 1, {0});
    const std::string pixel = readText(dir() / "pixel.png");
    std::string chatter = pixel.substr(0, 33); // the signature and the header
    for (int i = 0; i < 1200; ++i) {
        chatter += text;
    }
    chatter += pixel.substr(33);
    std::ofstream(dir() / "chatter.png", std::ios::binary) << chatter;
    fs::create_directory(dir() / "folder");
    const ToolRun budget = runTool({"verify", "--max-pixels", "100", "huge.png"});
    EXPECT_EQ(budget.status, 1);
    EXPECT_NE(budget.err.find("exceed the limit of 100 (--max-pixels"), std::string::npos)
        << budget.err;
    for (const char* file : {"wrap.pbm", "wide.pbm", "square.pbm", "promise.pbm", "huge.bmp",
                             "huge.png", "sparse.png", "chatter.png", "folder", "/dev/zero"}) {
        const pid_t child = startTool({"verify", file});
        int status = 0;
        rusage usage{};
        ASSERT_EQ(wait4(child, &status, 0, &usage), child);
        ASSERT_TRUE(WIFEXITED(status)) << file;
        EXPECT_EQ(WEXITSTATUS(status), 1) << file;
        const double seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        EXPECT_LT(seconds, 1.0) << file;
        EXPECT_LT(usage.ru_maxrss, 100 * 1024) << file << ": " << usage.ru_maxrss << " KB";
    }
}

TEST_F(Tool, VersionAndHelp)
{
    const ToolRun version = runTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "lorvaxen 0.9\n");
    const ToolRun help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"--symbology", "--narrow", "--height", "--ratio", "--check", "--dpi", "--output",
          "--no-quiet-zone", "--json", "--batch", "--format", "--no-text", "--text-size",
          "--as-given", "--rotate", "--fg", "--bg", "--bearer", "--bar-reduction"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

} // namespace
} // namespace lorvaxen::test
