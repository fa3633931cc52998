// The command-line tool's parts that decide something on their own: file name templates, JSON
// text, version text, default names, formats, and its use of the library.
#include <set>
#include <string>

#include <Lorvaxen.h>

#include "barcode.h"
#include "gdi_test.h"
#include "image_file.h"
#include "make_label.h"
#include "name_template.h"
#include "options.h"
#include "report.h"
#include "table_rows.h"

namespace lorvaxen::test {
namespace {

using namespace lorvaxen::tool;

struct TemplateCase
{
    const char* text;
    int number;
    const char* name;          // nullptr: refused
    const char* row = nullptr; // the row's name, where the template's characters give none
};
using NameTemplates = ::testing::TestWithParam<TemplateCase>;
const TemplateCase kNameTemplatesRows[] = {
    TemplateCase{"label-%04d.png", 7, "label-0007.png"},
    TemplateCase{"%d.svg", 12, "12.svg"},
    TemplateCase{"100%%-%i.bmp", 3, "100%-3.bmp"},
    TemplateCase{"x%+d%%.png", 5, "x+5%.png"},
    TemplateCase{"%-4d|.pbm", 42, "42  |.pbm"},
    TemplateCase{"%.3u.png", 9, "009.png"},
    TemplateCase{"dir/%05d.png", 1, "dir/00001.png"},
    TemplateCase{"label.png", 1, nullptr},  // no number: every line would overwrite one file
    TemplateCase{"%d-%d.png", 1, nullptr},  // two numbers, one argument
    TemplateCase{"%s.png", 1, "A_b_c.png"}, // the line's text, made safe
    TemplateCase{"%s-%03d.svg", 7, "A_b_c-007.svg"},
    TemplateCase{"%s%s.png", 1, nullptr},        // one text is enough
    TemplateCase{"%n.png", 1, nullptr},          // would write through an integer
    TemplateCase{"%*d.png", 1, nullptr, "star"}, // would take its width from a missing argument
    TemplateCase{"%ld.png", 1, nullptr},         // a length modifier changes the argument's type
    TemplateCase{"%#d.png", 1, nullptr, "hash"}, // '#' with d is undefined
    TemplateCase{"%1000d.png", 1, nullptr},      // a width of thousands of characters
    TemplateCase{"%d%.png", 1, nullptr, "lone_percent"}, // a lone percent sign after the number
    TemplateCase{"label-%", 1, nullptr},
};
INSTANTIATE_TEST_SUITE_P(NameTemplate, NameTemplates, ::testing::ValuesIn(kNameTemplatesRows),
                         [](const auto& info) {
                             const TemplateCase& c = info.param;
                             return c.row != nullptr ? std::string(c.row) : rowName(c.text);
                         });

TEST_P(NameTemplates, TakesExactlyOneIntegerConversionAndNothingPrintfCouldMisuse)
{
    const TemplateCase& c = GetParam();
    std::string problem;
    const auto names = NameTemplate::parse(c.text, &problem);
    if (c.name == nullptr) {
        EXPECT_FALSE(names.has_value()) << c.text;
        EXPECT_FALSE(problem.empty()) << c.text;
    } else {
        ASSERT_TRUE(names.has_value()) << c.text << ": " << problem;
        EXPECT_EQ(names->name(c.number, "A/b.c"), c.name);
    }
}

struct JsonCase
{
    std::string text;
    std::string json;
};
using ReportJsonStrings = ::testing::TestWithParam<JsonCase>;
const JsonCase kReportJsonStringsRows[] = {
    JsonCase{"ABC 123", R"("ABC 123")"},
    JsonCase{"a\"b\\c", R"("a\"b\\c")"},
    JsonCase{"tab\there\nnew\x01", R"("tab\there\nnew\u0001")"},
    JsonCase{"caf\xc3\xa9 \xe2\x82\xac", "\"caf\xc3\xa9 \xe2\x82\xac\""}, // é and €
    JsonCase{"\xff", R"("\ufffd")"},
    JsonCase{"\xc0\xaf", R"("\ufffd\ufffd")"},           // an overlong '/'
    JsonCase{"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"}, // a lone surrogate
    JsonCase{"x\xe2\x82", R"("x\ufffd\ufffd")"},         // cut short at the end
    JsonCase{std::string("a\0b", 3), R"("a\u0000b")"},
};
INSTANTIATE_TEST_SUITE_P(Report, ReportJsonStrings, ::testing::ValuesIn(kReportJsonStringsRows),
                         namedBy(&JsonCase::json));

TEST_P(ReportJsonStrings, JsonStringsAreEscapedAndAlwaysValidUtf8)
{
    const JsonCase& c = GetParam();
    EXPECT_EQ(jsonString(c.text), c.json);
}

TEST(Report, VersionReadsAsTheLibraryNumberOverAHundred)
{
    EXPECT_EQ(versionText(Lorvaxen_version()), "0.9");
    EXPECT_EQ(versionText(100), "1.0");
    EXPECT_EQ(versionText(105), "1.05");
    EXPECT_EQ(versionText(123), "1.23");
}

TEST(Options, DefaultFileNameStaysInTheCurrentDirectory)
{
    EXPECT_EQ(defaultFileName("ABC-123"), "ABC-123.png");
    EXPECT_EQ(defaultFileName("../etc/x"), "___etc_x.png");
    EXPECT_EQ(defaultFileName(".hidden"), "_hidden.png");
    EXPECT_EQ(defaultFileName(""), "barcode.png");
    EXPECT_EQ(defaultFileName(std::string(200, 'A')), std::string(64, 'A') + ".png");
}

TEST(ImageFile, FormatFollowsTheExtensionInAnyCase)
{
    EXPECT_EQ(formatFromPath("a.png"), ImageFormat::Png);
    EXPECT_EQ(formatFromPath("a.b.SVG"), ImageFormat::Svg);
    EXPECT_EQ(formatFromPath("dir/x.Pbm"), ImageFormat::Pbm);
    EXPECT_EQ(formatFromPath("x.bmp"), ImageFormat::Bmp);
    EXPECT_EQ(formatFromPath("-"), ImageFormat::Png);
    EXPECT_FALSE(formatFromPath("x.gif").has_value());
    EXPECT_FALSE(formatFromPath("dir.png/x").has_value());
    EXPECT_FALSE(formatFromPath("png").has_value());
}

TEST(Barcode, EveryLibraryCodeHasItsOwnMessage)
{
    std::set<std::string_view> messages;
    for (const int32_t code :
         {LORVAXEN_NO_BITBLT, LORVAXEN_BAD_DIMENSION, LORVAXEN_NO_BITMAP, LORVAXEN_JAN_LENGTH,
          LORVAXEN_JAN_CHARSET, LORVAXEN_CODE39_EMPTY, LORVAXEN_CODE39_CHARSET,
          LORVAXEN_I2OF5_EMPTY, LORVAXEN_I2OF5_CHARSET, LORVAXEN_NW7_EMPTY, LORVAXEN_NW7_CHARSET}) {
        messages.insert(describeResult(code));
    }
    EXPECT_EQ(messages.size(), 11U);
    EXPECT_EQ(messages.count(describeResult(-99)), 0U);
}

class ToolBarcode : public GdiTest
{
};

// The tool asks for the whole number of dots nearest the requested module, so that a symbol
// keeps its size at any resolution, and counts the quiet zones in that same module.
struct ModuleCase // NOLINT(clang-analyzer-optin.performance.Padding): fields in the rows' order
{
    int dpi;
    double narrowMm;
    int32_t dots;
};
using ToolBarcodeModules = RowsOn<ToolBarcode, ModuleCase>;
const ModuleCase kToolBarcodeModulesRows[] = {
    ModuleCase{600, 0.33, 8}, ModuleCase{300, 0.33, 4}, ModuleCase{1200, 0.33, 16},
    ModuleCase{96, 0.254, 1}, ModuleCase{96, 0.33, 1}, ModuleCase{300, 0.254, 3},
    ModuleCase{203, 0.19, 2}, ModuleCase{1200, 0.127, 6}, ModuleCase{72, 1.0, 3},
    ModuleCase{96, 0.01, 1},
    // Halfway between two counts takes the larger: 4.5 dots, and 2.5.
    ModuleCase{300, 0.381, 5}, ModuleCase{200, 0.3175, 3}};
INSTANTIATE_TEST_SUITE_P(ToolBarcode, ToolBarcodeModules,
                         ::testing::ValuesIn(kToolBarcodeModulesRows), [](const auto& info) {
                             return rowNameOf(info.param.dpi, "dpi", info.param.narrowMm, "mm");
                         });

TEST_P(ToolBarcodeModules, ModuleIsTheNearestWholeNumberOfDots)
{
    const ModuleCase& c = GetParam();
    BarcodeSettings settings;
    settings.symbology = findSymbology("code39");
    settings.dpi = c.dpi;
    settings.narrowMm = c.narrowMm;
    settings.quietZone = false;
    const Barcode barcode = makeBarcode("1", settings);
    ASSERT_EQ(barcode.code, 0);
    // The start asterisk opens with a narrow bar.
    int32_t firstBar = 0;
    while (barcode.image.isBlack(firstBar, 0)) {
        ++firstBar;
    }
    EXPECT_EQ(firstBar, c.dots) << c.dpi << " dpi, " << c.narrowMm;
    EXPECT_EQ(barcode.modulePx, c.dots) << c.dpi << " dpi, " << c.narrowMm;
}

TEST_F(ToolBarcode, RefusalsAndSuccessesReleaseEveryGraphicsObject)
{
    BarcodeSettings settings;
    settings.symbology = findSymbology("code39");
    EXPECT_EQ(makeBarcode("a#", settings).code, LORVAXEN_CODE39_CHARSET);
    // A refusal as a value: the code, and the character at fault and its place in characters.
    LabelSettings label;
    label.barcode = settings;
    const auto refusal = makeLabel("\xc3\xa9#", label).refusal();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->code, LORVAXEN_CODE39_CHARSET);
    EXPECT_EQ(refusal->position, 1U);
    EXPECT_EQ(refusal->character, "\xc3\xa9");
    EXPECT_NE(refusal->message.find("at character 1"), std::string::npos) << refusal->message;
    settings.ratio = 0.5;
    EXPECT_EQ(makeBarcode("A", settings).code, LORVAXEN_BAD_DIMENSION);
    settings.ratio = 2.5;
    const Barcode made = makeBarcode("abc", settings);
    EXPECT_EQ(made.code, 0);
    EXPECT_EQ(made.framedText, "*ABC*");
    EXPECT_EQ(made.leftQuietPx, 80); // 10 modules of 8 pixels at 600 dpi
}

} // namespace
} // namespace lorvaxen::test
