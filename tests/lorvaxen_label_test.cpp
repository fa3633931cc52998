// The label a press prints from the lorvaxen tool: the digits' places, the turned, coloured and
// vector labels read back by a scanner, the exact module, bearer bars, bar width reduction, and
// the warnings of what was made but may not be what was meant.
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "make_label.h"
#include "scan.h"
#include "tool_image_files.h"
#include "tool_run.h"
#include "verify.h"

namespace lorvaxen::test {
namespace {

// Each digit of a JAN or UPC-A lies within its own seven modules, its centre within half a module
// of theirs: under its symbol character, clear of the guard bars, or outside them in the light
// margins.
struct DigitSlotCase
{
    const Kind& kind;
    std::string text;
    std::vector<int> slots; // the module where each digit's seven begin, from the start guard
};
using ToolDigitSlots = RowsOn<Tool, DigitSlotCase>;
const DigitSlotCase kToolDigitSlotsRows[] = {
    DigitSlotCase{kJan, "490123456789", {-8, 3, 10, 17, 24, 31, 38, 50, 57, 64, 71, 78, 85}},
    DigitSlotCase{kUpcA, "72527273070", {-8, 10, 17, 24, 31, 38, 50, 57, 64, 71, 78, 96}},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolDigitSlots, ::testing::ValuesIn(kToolDigitSlotsRows),
                         kindAndText);

TEST_P(ToolDigitSlots, JanDigitsSitInTheirSymbolCharacters)
{
    const DigitSlotCase& c = GetParam();
    const ToolRun run =
        runTool({"-s", c.kind.name, "--dpi", "300", "--json", "-o", "d.png", c.text});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto png = readPng(dir() / "d.png");
    ASSERT_TRUE(png.has_value());
    const Pixels& image = png->pixels;
    const int module = std::stoi(jsonField(run.out, "module_dots"));
    const int symbolX = c.kind.leftModules * module;
    int32_t top = 0;
    while (top < image.height && image.row(top) == image.row(0)) {
        ++top;
    }
    // The columns with ink under the bars, the guard bars reaching down left out; each
    // digit is one run of them.
    std::vector<std::pair<int32_t, int32_t>> runs;
    for (int32_t x = 0; x < image.width; ++x) {
        bool ink = false;
        for (int32_t y = top; y < image.height && !image.at(x, top); ++y) {
            ink = ink || image.at(x, y);
        }
        if (ink && !runs.empty() && runs.back().second == x) {
            runs.back().second = x + 1;
        } else if (ink) {
            runs.emplace_back(x, x + 1);
        }
    }
    ASSERT_EQ(runs.size(), c.slots.size()) << c.text;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_GE(runs[i].first, symbolX + c.slots[i] * module) << c.text << " digit " << i;
        EXPECT_LE(runs[i].second, symbolX + (c.slots[i] + 7) * module) << c.text << " digit " << i;
    }
    // Each digit's centre, as the label lays it out, within half a module of its seven's.
    LabelSettings settings;
    settings.barcode.symbology = findSymbology(c.kind.name);
    settings.barcode.dpi = 300;
    const MadeLabel made = makeLabel(c.text, settings);
    ASSERT_TRUE(made.succeeded()) << made.problem;
    const Label& label = made.label;
    ASSERT_EQ(label.glyphs.size(), c.slots.size());
    int32_t startGuard = 0;
    while (!label.image.isBlack(startGuard, 0)) {
        ++startGuard;
    }
    for (std::size_t i = 0; i < label.glyphs.size(); ++i) {
        const Glyph& glyph = label.glyphs[i];
        const double centre =
            glyph.penX + label.font->advance(glyph.c, label.emPx * glyph.scale) / 2;
        EXPECT_NEAR(centre, startGuard + (c.slots[i] + 3.5) * module, module / 2.0)
            << c.text << " digit " << i;
    }
}

// Turned, coloured, transparent, PDF and EPS labels, as a scanner sees them once printed: zbar
// reads each, the PDF as poppler renders it and the EPS as Ghostscript does (at twice the label's
// dots, since Ghostscript darkens every pixel a bar touches).
struct OptionCase
{
    std::vector<std::string> args;
    std::string file;
    std::string read;   // what zbar prints
    std::string inFile; // part of the file, if any
};
using ToolLabelOptions = RowsOn<Tool, OptionCase>;
const OptionCase kToolLabelOptionsRows[] = {
    OptionCase{{"--rotate", "90", "ROT90"}, "r.png", "CODE-39:ROT90", ""},
    OptionCase{
        {"-s", "jan", "--rotate", "180", "490123456789"}, "r.png", "EAN-13:4901234567894", ""},
    OptionCase{{"--rotate", "270", "--fg", "#003399", "--bg", "#FE8", "COLOUR"},
               "c.png",
               "CODE-39:COLOUR",
               "PLTE"},
    OptionCase{{"--bg", "none", "CLEAR"}, "t.png", "CODE-39:CLEAR", "tRNS"},
    OptionCase{{"-s", "upca", "03600029145"}, "u.pdf", "036000291452", "%PDF"},
    OptionCase{{"--rotate", "90", "--bg", "none", "--fg", "#800000", "PDF90"},
               "p.pdf",
               "CODE-39:PDF90",
               "%PDF"},
    OptionCase{
        {"-s", "itf", "--bearer", "bars", "--dpi", "300", "--height", "12", "12345678901231"},
        "e.eps",
        "I2/5:12345678901231",
        "%!PS-Adobe-3.0 EPSF"},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolLabelOptions, ::testing::ValuesIn(kToolLabelOptionsRows),
                         namedBy(&OptionCase::args));

TEST_P(ToolLabelOptions, EachLabelOptionReadsBack)
{
    const OptionCase& c = GetParam();
    auto args = c.args;
    args.insert(args.end(), {"-o", c.file});
    const ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << c.file << run.err;
    const fs::path file = dir() / c.file;
    EXPECT_NE(readText(file).find(c.inFile), std::string::npos) << c.file;
    fs::path scan = file;
    if (file.extension() == ".pdf") {
        commandOutput(std::string(PDFTOPPM) + " -r 300 -png -singlefile " + file.string() + " " +
                      (dir() / "page").string());
        scan = dir() / "page.png";
    } else if (file.extension() == ".eps") {
        commandOutput(std::string(GHOSTSCRIPT) +
                      " -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=pnggray -r600 "
                      "-sOutputFile=" +
                      (dir() / "page.png").string() + " " + file.string());
        scan = dir() / "page.png";
    }
    EXPECT_NE(commandOutput(std::string(ZBARIMG) + " -q " + scan.string()).find(c.read),
              std::string::npos)
        << c.file << " " << c.read;
    fs::remove_all(dir());
    fs::create_directories(dir());
}

// A turned label is the plain one turned clockwise, pixel for pixel, and its PDF is drawn the same
// way round: a mirror image would still scan, so only the pixels tell.
TEST_F(Tool, TurnedLabelsAreThePlainOneTurnedClockwise)
{
    const std::vector<std::string> label{"-s", "code39", "--dpi", "300", "TURN-9"};
    auto args = label;
    args.insert(args.end(), {"-o", "plain.png"});
    ASSERT_EQ(runTool(args).status, 0);
    const auto plain = readPng(dir() / "plain.png");
    ASSERT_TRUE(plain);
    const Pixels& p = plain->pixels;
    for (const std::string turn : {"90", "180", "270"}) {
        args = label;
        args.insert(args.end(), {"--rotate", turn, "-o", "turned.png"});
        ASSERT_EQ(runTool(args).status, 0);
        const auto turned = readPng(dir() / "turned.png");
        ASSERT_TRUE(turned);
        const Pixels& t = turned->pixels;
        const bool quarter = turn != "180";
        ASSERT_EQ(t.width, quarter ? p.height : p.width) << turn;
        ASSERT_EQ(t.height, quarter ? p.width : p.height) << turn;
        // Where each pixel of the turned label comes from in the plain one.
        const auto source = [&](int32_t x, int32_t y) {
            return turn == "90"    ? p.at(y, p.height - 1 - x)
                   : turn == "180" ? p.at(p.width - 1 - x, p.height - 1 - y)
                                   : p.at(p.width - 1 - y, x);
        };
        int32_t wrong = 0;
        for (int32_t y = 0; y < t.height; ++y) {
            for (int32_t x = 0; x < t.width; ++x) {
                wrong += t.at(x, y) != source(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << turn;
        if (turn != "90") {
            continue;
        }
        // The PDF rasterised at the label's resolution, along a line across the bars (the rows
        // of the plain label's bars are now columns, from the right): its edges may fall a pixel
        // otherwise, but it must agree far better with the PNG than with its mirror image.
        args = label;
        args.insert(args.end(), {"--rotate", turn, "-o", "turned.pdf"});
        ASSERT_EQ(runTool(args).status, 0);
        commandOutput(std::string(PDFTOPPM) + " -mono -r 300 -singlefile " +
                      (dir() / "turned.pdf").string() + " " + (dir() / "page").string());
        const auto page = readPbm(dir() / "page.pbm");
        ASSERT_TRUE(page);
        ASSERT_EQ(page->pixels.width, t.width);
        ASSERT_EQ(page->pixels.height, t.height);
        const int32_t across = t.width - 20;
        int32_t differ = 0;
        int32_t differMirrored = 0;
        for (int32_t y = 0; y < t.height; ++y) {
            differ += t.at(across, y) != page->pixels.at(across, y) ? 1 : 0;
            differMirrored += t.at(across, y) != page->pixels.at(across, t.height - 1 - y) ? 1 : 0;
        }
        EXPECT_LT(4 * differ, differMirrored) << "the PDF is not the PNG's way round";
    }
}

// The widths and heights of an SVG's bars in millimetres, each once, from smallest to largest.
std::pair<std::set<double>, std::set<double>> barSizesMm(const fs::path& file)
{
    const std::string svg = readText(file);
    const auto number = [&](std::size_t from, const std::string& name) {
        const std::size_t at = svg.find(name + "=\"", from) + name.size() + 2;
        return std::stod(svg.substr(at, svg.find('"', at) - at));
    };
    // The user units of the picture, in millimetres: its width over its viewBox's.
    const std::size_t root = svg.find("<svg ");
    const std::size_t box = svg.find("viewBox=\"", root) + 9;
    std::istringstream view(svg.substr(box, svg.find('"', box) - box));
    double left = 0;
    double top = 0;
    double boxWidth = 0;
    view >> left >> top >> boxWidth;
    const double unitMm = number(root, "width") / boxWidth;
    std::set<double> widths;
    std::set<double> heights;
    for (auto at = svg.find("<rect x="); at != std::string::npos;
         at = svg.find("<rect x=", at + 1)) {
        // Rounded to a ten-thousandth of a millimetre, so that one width is counted once.
        widths.insert(std::round(number(at, "width") * unitMm * 1e4) / 1e4);
        heights.insert(std::round(number(at, "height") * unitMm * 1e4) / 1e4);
    }
    return {widths, heights};
}

// SVG, PDF and EPS take the module in millimetres exactly, and whole dots of a printer when
// its resolution is given; the PDF's page is the label's size.
struct VectorCase
{
    std::vector<std::string> args;
    std::string moduleMm;
    // For an SVG: the wide elements' width and the bars' height, to a thousandth of a mm.
    double wideMm = 0;
    double barsMm = 0;
};
using ToolVectorModules = RowsOn<Tool, VectorCase>;
const VectorCase kToolVectorModulesRows[] = {
    VectorCase{{"-o", "x.pdf", "--narrow", "0,33"}, "0.33"},
    VectorCase{{"-o", "x.pdf", "--narrow", "0.33", "--dpi", "300"}, "0.338667"},
    VectorCase{{"-o", "x.svg", "--narrow", "0.254mm"}, "0.254", 0.635, 6.35},
    VectorCase{{"-o", "x.eps", "--narrow", "0.5", "--dpi", "203"}, "0.500493"},
    // On a transparent background the bounding box is still the label's, margins and all.
    VectorCase{{"-o", "x.eps", "--narrow", "0.013in", "--dpi", "203", "--bg", "none"}, "0.375369"},
    // Lengths in inches, mils and points.
    VectorCase{{"-o", "x.svg", "--narrow", "13mil", "--height", "0.25in"}, "0.3302", 0.8255, 6.35},
    VectorCase{{"-o", "x.svg", "--narrow", "0.936 pt"}, "0.3302", 0.8255, 6.35},
    // Wide elements of 2.11 and 2.44 modules, and bars 6.3319 mm high, on a grid of a
    // few pixels a module.
    VectorCase{{"-o", "x.svg", "--narrow", "0.19", "--ratio", "2.2", "--height", "6.35"},
               "0.19",
               0.418,
               6.35},
    VectorCase{{"-o", "x.svg", "--narrow", "0.19"}, "0.19", 0.475, 6.35},
    VectorCase{{"-o", "x.svg", "--narrow", "1.016", "--ratio", "2.37", "--height", "31.75"},
               "1.016",
               2.40792,
               31.75},
    // The default 6.35 mm would be less than twice the 7.62 mm text: the bars grow.
    VectorCase{{"-o", "x.svg", "--narrow", "1.016"}, "1.016", 2.54, 15.24},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolVectorModules, ::testing::ValuesIn(kToolVectorModulesRows),
                         namedBy(&VectorCase::args));

TEST_P(ToolVectorModules, VectorFormatsTakeTheModuleExactlyUnlessGivenDots)
{
    const VectorCase& c = GetParam();
    auto args = c.args;
    args.insert(args.end(), {"--json", "EXACT"});
    const ToolRun run = runTool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonField(run.out, "module_mm"), c.moduleMm) << c.args[1];
    if (c.wideMm > 0) {
        const auto [widths, heights] = barSizesMm(dir() / "x.svg");
        const double module = std::stod(c.moduleMm);
        ASSERT_EQ(widths.size(), 2U) << c.args[2];
        EXPECT_NEAR(*widths.begin(), module, 1e-3) << c.args[2];
        EXPECT_NEAR(*widths.rbegin(), c.wideMm, 1e-3) << c.args[2];
        EXPECT_NEAR(*heights.rbegin(), c.barsMm, 1e-3) << c.args[2];
    }
    if (c.args[1] == "x.eps") {
        // The label's size in points exactly, and in whole points rounded outwards.
        const std::string eps = readText(dir() / "x.eps");
        int box[2] = {};
        double exact[2] = {};
        ASSERT_EQ(std::sscanf(eps.c_str() + eps.find("%%BoundingBox:"),
                              "%%%%BoundingBox: 0 0 %d %d\n%%%%HiResBoundingBox: 0 0 %lf %lf",
                              &box[0], &box[1], &exact[0], &exact[1]),
                  4)
            << eps.substr(0, 300);
        for (const int axis : {0, 1}) {
            const double mm = std::stod(jsonField(run.out, axis == 0 ? "width_mm" : "height_mm"));
            EXPECT_NEAR(exact[axis], mm * 72 / 25.4, 1e-3);
            EXPECT_EQ(box[axis], static_cast<int>(std::ceil(exact[axis])));
        }
    }
    if (c.args[1] == "x.pdf") {
        const std::string info = commandOutput("pdfinfo " + (dir() / "x.pdf").string());
        double widthPt = 0;
        double heightPt = 0;
        ASSERT_EQ(std::sscanf(info.c_str() + info.find("Page size:"), "Page size: %lf x %lf pts",
                              &widthPt, &heightPt),
                  2)
            << info;
        EXPECT_NEAR(widthPt * 25.4 / 72, std::stod(jsonField(run.out, "width_mm")), 1e-3);
        EXPECT_NEAR(heightPt * 25.4 / 72, std::stod(jsonField(run.out, "height_mm")), 1e-3);
    }
}

// ITF-14's bearer bars: along the top and bottom, or all round, as thick as 4.8 mm is to a
// 1.016 mm module.
TEST_F(Tool, BearerBarsHaveTheirThickness)
{
    for (const std::string style : {"bars", "frame"}) {
        const ToolRun run = runTool({"-s", "itf", "--bearer", style, "--dpi", "300", "--no-text",
                                     "--json", "-o", "b.png", "12345678901231"});
        ASSERT_EQ(run.status, 0) << run.err;
        const auto png = readPng(dir() / "b.png");
        ASSERT_TRUE(png.has_value());
        const Pixels& image = png->pixels;
        const int module = std::stoi(jsonField(run.out, "module_dots"));
        const auto thickness = static_cast<int32_t>(std::lround(4.8 / 1.016 * module));
        const int32_t middle = image.height / 2;
        const auto rowBlack = [&](int32_t y) {
            int32_t black = 0;
            for (int32_t x = 0; x < image.width; ++x) {
                black += image.at(x, y) ? 1 : 0;
            }
            return black;
        };
        for (const int32_t y : {0, thickness - 1, image.height - thickness, image.height - 1}) {
            EXPECT_EQ(rowBlack(y), image.width) << style << " row " << y;
        }
        EXPECT_LT(rowBlack(thickness), image.width) << style;
        EXPECT_LT(rowBlack(image.height - thickness - 1), image.width) << style;
        // A frame closes the light margins at each end; bars leave them open.
        const int32_t side = style == "frame" ? thickness : 0;
        for (int32_t x = 0; x < side + 10 * module; ++x) {
            EXPECT_EQ(image.at(x, middle), x < side) << style << " column " << x;
        }
    }
}

// The press spreads the ink of every bar by `dots`, half on each side (the odd dot on the
// right), as reflectance for the verifier.
verifier::ReflectanceImage pressed(const Pixels& pixels, int32_t dots)
{
    verifier::ReflectanceImage image(pixels.width, pixels.height, false);
    for (int32_t y = 0; y < pixels.height; ++y) {
        for (int32_t x = 0; x < pixels.width; ++x) {
            if (!pixels.at(x, y)) {
                continue;
            }
            for (int32_t spread = x - dots / 2; spread <= x + (dots - dots / 2); ++spread) {
                if (spread >= 0 && spread < pixels.width) {
                    image.set(spread, y, 0.0);
                }
            }
        }
    }
    return image;
}

double meanDecodabilityGrade(const verifier::Verification& verification)
{
    double sum = 0;
    for (const verifier::ScanResult& scan : verification.scans) {
        sum += scan.parameters[static_cast<std::size_t>(verifier::Parameter::Decodability)].grade;
    }
    return verification.scans.empty() ? 0 : sum / static_cast<double>(verification.scans.size());
}

// Bars printed narrower by the ink's spread come back from the press at their width: the
// verifier grades the compensated print's decodability a grade above the uncompensated one.
struct ReductionCase
{
    const Kind& kind;
    Symbology symbology;
    std::string text;
};
constexpr int32_t kSpreadDots = 4; // 0.1693 mm at 600 dpi: half the module of 8 dots
using ToolBarReduction = RowsOn<Tool, ReductionCase>;
const ReductionCase kToolBarReductionRows[] = {
    ReductionCase{kJan, Symbology::Jan, "490123456789"},
    ReductionCase{kItf, Symbology::I2of5, "12345678901231"}};
INSTANTIATE_TEST_SUITE_P(Tool, ToolBarReduction, ::testing::ValuesIn(kToolBarReductionRows),
                         kindAndText);

TEST_P(ToolBarReduction, BarWidthReductionMakesUpForTheInksSpread)
{
    const ReductionCase& c = GetParam();
    double grades[2] = {0, 0};
    for (const bool compensated : {false, true}) {
        std::vector<std::string> args{"-s",       c.kind.name, "--dpi", "600",   "--no-text",
                                      "--height", "15",        "-o",    "p.png", c.text};
        if (compensated) {
            args.insert(args.end(), {"--bar-reduction", "0.1693"});
        }
        const ToolRun run = runTool(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto png = readPng(dir() / "p.png");
        ASSERT_TRUE(png.has_value());
        const auto verification =
            verifier::verifyImage(pressed(png->pixels, kSpreadDots), {.symbology = c.symbology});
        ASSERT_TRUE(verification.found) << verification.problem;
        grades[compensated ? 1 : 0] = meanDecodabilityGrade(verification);
    }
    EXPECT_GE(grades[1], grades[0] + 1) << c.text << ": " << grades[0] << " then " << grades[1];
}

// What is made but may not be what was meant is said on standard error; the label is still
// made, under the name of what it holds, and scans as that.
struct WarningCase
{
    std::vector<std::string> args;
    std::string warning; // empty: none
    std::string file;
    const char* decoderFormat;
    std::string data;
};
using ToolWarnings = RowsOn<Tool, WarningCase>;
const WarningCase kToolWarningsRows[] = {
    WarningCase{{"-s", "nw7", "A1234B"},
                "warning: the stop B is replaced by A",
                "A1234A.png",
                "Codabar",
                "1234"},
    // Codabar keeps its own stop, in any case and by its other names, without a word.
    WarningCase{{"-s", "codabar", "t123*"}, "", "A123C.png", "Codabar", "123"},
    WarningCase{{"-s", "code39", "--ratio", "4", "abc"},
                "warning: the wide-to-narrow ratio of 4 is outside the 2.2 to 3 that Code 39's",
                "ABC.png",
                "Code39",
                "ABC"},
    WarningCase{{"-s", "i2of5", "--ratio", "2.1", "123456"},
                "warning: the wide-to-narrow ratio of 2.1 is outside the 2.2 to 3 that "
                "Interleaved 2 of 5's standard allows for a module under 0.5 mm",
                "123456.png",
                "ITF",
                "123456"},
    // Whole dots would draw 2.2 as 2 and 2.2 as 2.125, outside what the standard allows:
    // the nearest width inside it is taken.
    WarningCase{{"--narrow", "0.25", "--ratio", "2.2", "--dpi", "203", "LORVAXEN"},
                "warning: the wide-to-narrow ratio of 2.2 comes to 2 in whole dots (4 to the "
                "module's 2), outside the 2.2 to 3 that Code 39's standard allows for a module "
                "under 0.5 mm (0.2502 mm): the wide elements are drawn 5 dots wide, a ratio of "
                "2.5",
                "LORVAXEN.png",
                "Code39",
                "LORVAXEN"},
    // A ratio whose wide elements would not even fit 32-bit pixel counts.
    WarningCase{{"--ratio", "1e9", "WIDE"},
                "warning: the wide-to-narrow ratio of 1000000000 is outside the 2.2 to 3 that "
                "Code 39's standard allows for a module under 0.5 mm (0.3387 mm): the wide "
                "elements are drawn 24 dots wide, a ratio of 3",
                "WIDE.png",
                "Code39",
                "WIDE"},
    // The test's scan reads the top rows, where a frame would be: ITF-14's without it.
    WarningCase{{"-s", "itf14", "--bearer", "none", "--ratio", "2.2", "1234567890123"},
                "warning: the wide-to-narrow ratio of 2.2 is outside the 2.25 to 3 that "
                "ITF-14's standard allows: the wide elements are drawn 54 dots wide, a ratio of "
                "2.25",
                "12345678901231.png",
                "ITF",
                "12345678901231"},
    // An ITF-14 carries its check digit: --check adds no second one.
    WarningCase{{"-s", "itf14", "--bearer", "none", "--check", "1490123456789"},
                "warning: --check is ignored: an ITF-14 always carries its own check digit",
                "14901234567891.png",
                "ITF",
                "14901234567891"},
    WarningCase{{"--narrow", "1", "--height", "10", "ABC"},
                "warning: the bars of 10 mm are less than twice the text's 7.62 mm",
                "ABC.png",
                "Code39",
                "ABC"},
    // The nearest whole-dot module inside the range is named.
    WarningCase{{"-s", "jan", "--dpi", "203", "--narrow", "0.264", "490123456789"},
                "warning: the module of 0.2502 mm is 75.8% of JAN's nominal 0.33 mm, outside "
                "the 80% to 200% its standard allows: the nearest module inside it at 203 dpi "
                "is 3 dots, 0.3754 mm (113.7%): give --narrow 0.3754",
                "4901234567894.png",
                "EAN13",
                "4901234567894"},
    // Options that change nothing are said to.
    WarningCase{{"-s", "upca", "--ratio", "3", "03600029145"},
                "warning: --ratio is ignored: UPC-A's bars and spaces are whole modules",
                "036000291452.png",
                "UPCA",
                "036000291452"},
    WarningCase{{"--as-given", "--no-text", "--text-size", "3", "AS"},
                "warning: --as-given is ignored: Code 39 has no check digit",
                "AS.png",
                "Code39",
                "AS"},
    WarningCase{
        {"-s", "Ean-13", "--as-given", "4901234567890"}, "", "4901234567890.png", "EAN13", ""},
    WarningCase{{"-s", "jan", "490123456789"}, "", "4901234567894.png", "EAN13", "4901234567894"},
    WarningCase{{"-s", "UPCA", "--narrow", "0,33", "--height", "15mm", "03600029145"},
                "",
                "036000291452.png",
                "UPCA",
                "036000291452"},
};
INSTANTIATE_TEST_SUITE_P(Tool, ToolWarnings, ::testing::ValuesIn(kToolWarningsRows),
                         namedBy(&WarningCase::args));

TEST_P(ToolWarnings, WarningsNameWhatChangedAndTheFileIsNamedAfterTheLabel)
{
    const WarningCase& c = GetParam();
    const ToolRun run = runTool(c.args);
    EXPECT_EQ(run.status, 0) << c.file << run.err;
    if (c.warning.empty()) {
        EXPECT_EQ(run.err, "") << c.file;
    } else {
        EXPECT_NE(run.err.find("lorvaxen: " + c.warning), std::string::npos) << run.err;
    }
    EXPECT_EQ(files(), std::vector<std::string>{c.file});
    const auto png = readPng(dir() / c.file);
    ASSERT_TRUE(png.has_value()) << c.file;
    // A wrong check digit printed as given is what no reader takes.
    EXPECT_EQ(decode(png->pixels, c.decoderFormat, 0).value_or(""), c.data) << c.file;
    fs::remove(dir() / c.file);
}

} // namespace
} // namespace lorvaxen::test
