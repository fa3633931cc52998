// The print-quality verifier: grades of profiles built with known parameters, our own symbols at
// 600 dpi, and the same symbols degraded as printing degrades them.
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

#include "barcode.h"
#include "table_rows.h"
#include "verify.h"

namespace lorvaxen::test {
namespace {

using verifier::Parameter;
using verifier::ReflectanceImage;
using verifier::Symbology;

// A profile drawn element by element: widths in modules, each at its own reflectance.
struct SyntheticProfile
{
    static constexpr int kSamplesPerModule = 20;
    std::vector<double> modules;
    std::vector<double> reflectance;

    // Code 39 "*A*" at a wide-to-narrow ratio of 3 between 12-module quiet zones, bars at `bar`
    // and spaces at `space` per cent.
    static SyntheticProfile code39(double space, double bar)
    {
        SyntheticProfile profile;
        const std::string wide = "010010100"
                                 "0"
                                 "100001001"
                                 "0"
                                 "010010100";
        profile.add(12, space);
        for (std::size_t i = 0; i < wide.size(); ++i) {
            profile.add(wide[i] == '1' ? 3 : 1, i % 2 == 0 ? bar : space);
        }
        profile.add(12, space);
        return profile;
    }
    void add(double width, double level)
    {
        modules.push_back(width);
        reflectance.push_back(level);
    }
    std::vector<double> samples() const
    {
        std::vector<double> out;
        for (std::size_t i = 0; i < modules.size(); ++i) {
            const auto count = std::lround(modules[i] * kSamplesPerModule);
            out.insert(out.end(), static_cast<std::size_t>(count), reflectance[i]);
        }
        return out;
    }
};

// Where element `i` of the symbol, its first bar being 0, lies in a profile: after the quiet zone.
constexpr std::size_t symbolElement(std::size_t i)
{
    return i + 1;
}

struct ProfileCase // NOLINT(clang-analyzer-optin.performance.Padding): fields in the rows' order
{
    const char* why;
    double space;
    double bar;
    std::function<void(SyntheticProfile&)> change;
    Parameter parameter;
    double value;
    double grade;     // of the parameter, which is also the scan's lowest, by the 2000
    double grade2016; // edition's whole steps and the 2016 edition's decimal grades
    const char* text = "*A*";
    bool lowerElsewhere = false; // another parameter grades the scan lower
    double pixelsPerMm = 0;      // the profile's resolution; 0 where it is not known
};
const auto none = [](SyntheticProfile&) {};
// In "*A*", element 1 is the start's wide space, 2 a narrow bar, 4 a wide bar; element 12 is
// a narrow bar of the A.
using VerifierProfiles = ::testing::TestWithParam<ProfileCase>;
const ProfileCase kVerifierProfilesRows[] = {
    ProfileCase{"symbol contrast of exactly 45%", 80, 35, none, Parameter::SymbolContrast, 45, 2,
                2.3},
    ProfileCase{"symbol contrast of 55%", 80, 25, none, Parameter::SymbolContrast, 55, 3, 3.0},
    ProfileCase{"symbol contrast of 19%", 30, 11, none, Parameter::SymbolContrast, 19, 0, 0.8},
    ProfileCase{"minimum reflectance above half the maximum", 60, 35, none,
                Parameter::MinReflectance, 35, 0, 0},
    ProfileCase{"minimum reflectance exactly half the maximum", 70, 35, none,
                Parameter::MinReflectance, 35, 4, 4, "*A*", true},
    ProfileCase{"minimum reflectance just above half the maximum", 70, 35.5, none,
                Parameter::MinReflectance, 35.5, 0, 0},
    ProfileCase{"an edge contrast of exactly 12%: a grey narrow space beside a grey bar", 85, 5,
                [](SyntheticProfile& p) {
                    p.reflectance[symbolElement(1)] = 52;
                    p.reflectance[symbolElement(2)] = 40;
                },
                Parameter::MinEdgeContrast, 12, 0, 0},
    ProfileCase{"modulation 0.65: an edge contrast of 52% in a symbol contrast of 80%", 85, 5,
                [](SyntheticProfile& p) {
                    p.reflectance[symbolElement(1)] = 70;
                    p.reflectance[symbolElement(2)] = 18;
                },
                Parameter::Modulation, 0.65, 3, 3.5},
    ProfileCase{
        "a void 18% deep in a wide bar of a symbol contrast of 80%: defects 0.225", 85, 5,
        [](SyntheticProfile& p) {
            const std::size_t bar = symbolElement(4);
            p.modules[bar] = 1.4;
            p.modules.insert(p.modules.begin() + static_cast<long>(bar) + 1, {0.2, 1.4});
            p.reflectance.insert(p.reflectance.begin() + static_cast<long>(bar) + 1, {23, 5});
        },
        Parameter::Defects, 0.225, 2, 2.5},
    ProfileCase{"a narrow bar 0.45 modules wide: decodability 0.61", 85, 5,
                [](SyntheticProfile& p) { p.modules[symbolElement(12)] += 0.45; },
                Parameter::Decodability, (2.0375 - 1.45) / (2.0375 - 1.075), 3, 3.9},
    ProfileCase{"a narrow bar 0.6 modules wide: decodability 0.47", 85, 5,
                [](SyntheticProfile& p) { p.modules[symbolElement(12)] += 0.6; },
                Parameter::Decodability, 0.45 / 0.95, 2, 2.7},
    ProfileCase{"a narrow bar 0.9 modules wide: decodability 0.19", 85, 5,
                [](SyntheticProfile& p) { p.modules[symbolElement(12)] += 0.9; },
                Parameter::Decodability, 0.175 / 0.925, 0, 0},
    ProfileCase{"a wide-to-narrow ratio of 3.5, over Code 39's 3.0", 85, 5,
                [](SyntheticProfile& p) { std::ranges::replace(p.modules, 3.0, 3.5); },
                Parameter::Decode, 0, 0, 0},
    ProfileCase{"a gap of 6 modules between characters, over Code 39's 5.3", 85, 5,
                [](SyntheticProfile& p) { p.modules[symbolElement(9)] = 6; }, Parameter::Decode, 0,
                0, 0},
    ProfileCase{"a gap of 4 modules between characters of 0.5 mm, over the 3 allowed there", 85, 5,
                [](SyntheticProfile& p) { p.modules[symbolElement(9)] = 4; }, Parameter::Decode, 0,
                0, 0, "*A*", false, SyntheticProfile::kSamplesPerModule / 0.5},
    ProfileCase{"an NW7 1 of 2, 3, 2, 3, 5, 8 and 2 pixels between a of 2 and 5: a wide element "
                "of exactly the midway width",
                85, 5,
                [](SyntheticProfile& p) {
                    const std::vector<double> pixels{30, 2, 2, 5, 5, 2, 5, 2, 2, 2, 3, 2, 3,
                                                     5,  8, 2, 2, 2, 2, 5, 5, 2, 5, 2, 30};
                    p = {};
                    for (std::size_t i = 0; i < pixels.size(); ++i) {
                        p.add(pixels[i] / SyntheticProfile::kSamplesPerModule, i % 2 ? 5 : 85);
                    }
                },
                Parameter::Decodability, 0.55 / 2.05, 1, 1.1, "a1a"},
    ProfileCase{"a quiet zone of 9.5 modules", 85, 5,
                [](SyntheticProfile& p) { p.modules.front() = 9.5; }, Parameter::QuietZone, 0.95, 0,
                0},
};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierProfiles,
                         ::testing::ValuesIn(kVerifierProfilesRows), namedBy(&ProfileCase::why));

TEST_P(VerifierProfiles, ProfilesBuiltWithKnownParametersGetTheGradesOfTheTables)
{
    const ProfileCase& c = GetParam();
    SyntheticProfile profile = SyntheticProfile::code39(c.space, c.bar);
    c.change(profile);
    for (const auto edition : {verifier::Edition::Y2000, verifier::Edition::Y2016}) {
        const double grade = edition == verifier::Edition::Y2000 ? c.grade : c.grade2016;
        const auto scan =
            verifier::gradeProfile(profile.samples(), std::nullopt, edition, c.pixelsPerMm);
        const auto& measured = scan.parameters[static_cast<std::size_t>(c.parameter)];
        EXPECT_TRUE(scan.decoded.ok) << c.why << ": " << scan.decoded.problem;
        EXPECT_EQ(scan.decoded.text, c.text) << c.why;
        EXPECT_NEAR(measured.value, c.value, 1e-9) << c.why;
        EXPECT_DOUBLE_EQ(measured.grade, grade) << c.why;
        if (c.lowerElsewhere) {
            continue;
        }
        EXPECT_DOUBLE_EQ(scan.grade.grade, grade) << c.why;
        if (grade < 4) {
            EXPECT_EQ(scan.grade.lowest, c.parameter) << c.why;
        }
    }
}

// The 2016 edition's decimal grades at and beside the edges of every step, and below the last:
// a value at a threshold earns that step's whole grade, one just below it the step beneath's .9.
struct StepCase
{
    double (*grade)(double, verifier::Edition);
    double value;
    double expected;
};
using VerifierGradeSteps = ::testing::TestWithParam<StepCase>;
const StepCase kStepRows[] = {
    StepCase{verifier::gradeSymbolContrast, 70, 4.0},
    StepCase{verifier::gradeSymbolContrast, 69.99, 3.9},
    StepCase{verifier::gradeSymbolContrast, 40, 2.0},
    StepCase{verifier::gradeSymbolContrast, 20, 1.0},
    StepCase{verifier::gradeSymbolContrast, 17.5, 0.5},
    StepCase{verifier::gradeSymbolContrast, 14.99, 0.0},
    StepCase{verifier::gradeModulation, 0.60, 3.0},
    StepCase{verifier::gradeModulation, 0.5999, 2.9},
    StepCase{verifier::gradeModulation, 0.30, 0.0},
    StepCase{verifier::gradeModulation, 0.35, 0.5},
    StepCase{verifier::gradeDefects, 0.15, 4.0},
    StepCase{verifier::gradeDefects, 0.1501, 3.9},
    StepCase{verifier::gradeDefects, 0.30, 1.0},
    StepCase{verifier::gradeDefects, 0.3001, 0.0},
    StepCase{verifier::gradeDecodability, 0.62, 4.0},
    StepCase{verifier::gradeDecodability, 0.37, 2.0},
    StepCase{verifier::gradeDecodability, 0.25, 1.0},
    StepCase{verifier::gradeDecodability, 0.2499, 0.9},
    StepCase{verifier::gradeDecodability, 0.1999, 0.0},
};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierGradeSteps, ::testing::ValuesIn(kStepRows),
                         [](const auto& info) {
                             const auto grade = info.param.grade;
                             const char* parameter =
                                 grade == verifier::gradeSymbolContrast ? "symbol contrast"
                                 : grade == verifier::gradeModulation   ? "modulation"
                                 : grade == verifier::gradeDefects      ? "defects"
                                                                        : "decodability";
                             return rowNameOf(parameter, info.param.value);
                         });

TEST_P(VerifierGradeSteps, DecimalGradesAtTheEdgesOfTheSteps)
{
    using verifier::Edition;
    const StepCase& c = GetParam();
    EXPECT_DOUBLE_EQ(c.grade(c.value, Edition::Y2016), c.expected) << c.value;
    EXPECT_DOUBLE_EQ(c.grade(c.value, Edition::Y2000), std::floor(c.expected)) << c.value;
}

// The symbol grade is reported cut to one decimal and lettered as reported: 2.49 is 2.4, and
// the means that adding ten grades leaves at 1.4999999999999998 and 3.499999999999999 are 1.5
// (a C, not a D) and 3.5 (an A).
struct Mean
{
    std::vector<double> scans;
    double reported;
    char letter;
};
using VerifierReportedGrades = ::testing::TestWithParam<Mean>;
const Mean kMeanRows[] = {Mean{{2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.5, 2.4}, 2.4, 'C'},
                          Mean{{1.6, 1.6, 1.6, 1.6, 1.6, 1.6, 1.6, 1.6, 1.6, 0.6}, 1.5, 'C'},
                          Mean{{3.9, 3.4, 3.9, 3.7, 2.9, 3.9, 3.4, 3.7, 3.3, 2.9}, 3.5, 'A'}};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierReportedGrades, ::testing::ValuesIn(kMeanRows),
                         [](const auto& info) {
                             return rowNameOf(info.param.reported, info.param.letter);
                         });

TEST_P(VerifierReportedGrades, SymbolGradeIsCutToOneDecimalAndLetteredAsReported)
{
    const Mean& m = GetParam();
    double sum = 0;
    for (const double grade : m.scans) {
        sum += grade;
    }
    const double reported = verifier::reportedGrade(sum / verifier::kScanLines);
    EXPECT_DOUBLE_EQ(reported, m.reported) << sum;
    EXPECT_EQ(verifier::gradeLetter(reported), m.letter) << sum;
}

constexpr int32_t kModulePx = 7; // about 0.3 mm at 600 dpi
constexpr int32_t kMarginPx = 4 * kModulePx;

void paint(ReflectanceImage& image, int32_t from, int32_t to, int32_t top, int32_t bottom,
           double reflectance);

// A 1-bit symbol of the tool's own making as reflectance, black ink 5% and white paper 90%, with
// its quiet zones widened by four modules, so that slight degradations leave them wide enough.
ReflectanceImage render(std::string_view text, const char* symbology, bool check = false)
{
    BarcodeSettings settings;
    settings.symbology = findSymbology(symbology);
    settings.check = check;
    settings.narrowMm = kModulePx * 25.4 / settings.dpi;
    const Barcode barcode = makeBarcode(text, settings);
    EXPECT_EQ(barcode.code, 0) << text;
    ReflectanceImage image(barcode.image.width + 2 * kMarginPx, barcode.image.height, true);
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
            const int32_t inside = x - kMarginPx;
            const bool black =
                inside >= 0 && inside < barcode.image.width && barcode.image.isBlack(inside, y);
            image.set(x, y, black ? 5.0 : 90.0);
        }
    }
    return image;
}

struct SymbolCase
{
    const char* symbology;
    std::string text;
    bool check;
    const char* framed;
    const char* checkWords;
};
using VerifierOurSymbols = ::testing::TestWithParam<SymbolCase>;
std::vector<SymbolCase> ourSymbolRows()
{
    std::vector<SymbolCase> cases{
        {"code39", "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", true,
         "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%0*", "modulo 43 check character holds"},
        // 59 elements, as many as a JAN has, but no guard bars.
        {"code39", "ABCD", false, "*ABCD*", "no modulo 43 check character"},
        {"itf", "0123456789", true, "001234567895", "modulo 10 check digit holds"},
        {"nw7", "a0123456789-$:/.+a", false, "a0123456789-$:/.+a", "no check character"},
        {"nw7", "a123", true, "a1236a", "legacy NW7 check character holds (sum modulo 16)"},
        {"nw7", "a123-a", false, "a123-a",
         "usual Codabar check character holds (complement of the sum modulo 16)"},
        {"nw7", "b123", true, "b1238b",
         "check character holds by the legacy and the usual rule (remainder 0 or 8)"},
        {"nw7", "c1", false, "c1c", "no check character"},
        {"nw7", "d1", false, "d1d", "no check character"},
    };
    // Every leading digit, so every pattern of sets in the left half.
    for (char lead = '0'; lead <= '9'; ++lead) {
        cases.push_back({"jan", std::string(1, lead) + "12345678901", false, nullptr,
                         "modulo 10 check digit holds"});
    }
    return cases;
}
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierOurSymbols, ::testing::ValuesIn(ourSymbolRows()),
                         [](const auto& info) {
                             return rowName(std::string(info.param.symbology) + " " +
                                            info.param.text);
                         });

TEST_P(VerifierOurSymbols, OurSymbolsAt600DpiGradeAAndReadBackEveryCharacter)
{
    const SymbolCase& c = GetParam();
    const auto result = verifier::verifyImage(render(c.text, c.symbology, c.check), {});
    ASSERT_TRUE(result.found) << c.text;
    EXPECT_EQ(result.symbology, findSymbologyFacts(c.symbology)->symbology) << c.text;
    if (c.framed != nullptr) {
        EXPECT_EQ(result.text, c.framed);
    } else {
        EXPECT_EQ(result.text.substr(0, 12), c.text);
    }
    EXPECT_EQ(result.check, c.checkWords) << c.text;
    EXPECT_EQ(result.grade, 4.0) << c.text;
}

// How printing degrades a symbol, applied by the tests alone.
using Degradation = std::function<void(ReflectanceImage&, int step)>;

// Every pixel changed by `change` from its reflectance and position.
void forEachPixel(ReflectanceImage& image, const std::function<double(double, int32_t)>& change)
{
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
            image.set(x, y, change(image.at(x, y), x));
        }
    }
}

// A pass a step of a box blur five pixels wide along the rows; the passes together approach a
// Gaussian blur of growing width: an out-of-focus or smudged print.
void blur(ReflectanceImage& image, int step)
{
    for (int pass = 0; pass < step; ++pass) {
        const ReflectanceImage source = image;
        for (int32_t y = 0; y < image.height(); ++y) {
            for (int32_t x = 0; x < image.width(); ++x) {
                const int32_t from = std::max(x - 2, 0);
                const int32_t to = std::min(x + 2, image.width() - 1);
                double sum = 0;
                for (int32_t at = from; at <= to; ++at) {
                    sum += source.at(at, y);
                }
                image.set(x, y, sum / (to - from + 1));
            }
        }
    }
}

// Ink spreading `step` pixels from every edge of the bars: a dilation of the dark.
void inkSpread(ReflectanceImage& image, int step)
{
    const ReflectanceImage source = image;
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = 0; x < image.width(); ++x) {
            for (int32_t d = -step; d <= step; ++d) {
                if (x + d >= 0 && x + d < image.width()) {
                    image.set(x, y, std::min(image.at(x, y), source.at(x + d, y)));
                }
            }
        }
    }
}

// Paper and ink drawn together: grey ink on dull paper.
void lowContrast(ReflectanceImage& image, int step)
{
    const double ink = 5.0 + 7.0 * step;
    const double paper = 90.0 - 10.0 * step;
    forEachPixel(image, [&](double r, int32_t) { return r < 50 ? ink : paper; });
}

// Speckle: uniform noise of 12 points per step around every pixel, the same each run.
void noise(ReflectanceImage& image, int step)
{
    std::mt19937 random(15);
    const double amplitude = 12.0 * step;
    std::uniform_real_distribution<double> spread(-amplitude, amplitude);
    forEachPixel(image, [&](double r, int32_t) { return r + spread(random); });
}

// The middle of the first bar at least twice the narrow width, and its width, on the first row.
std::pair<int32_t, int32_t> firstWide(const ReflectanceImage& image, bool dark)
{
    int32_t x = 0;
    int32_t run = 0;
    for (; x + 1 < image.width(); ++x) {
        run = (image.at(x, 0) < 50) == dark ? run + 1 : 0;
        if (run >= 2 * kModulePx && (image.at(x + 1, 0) < 50) != dark && x + 1 - run > 0) {
            break;
        }
    }
    return {x - run / 2, run};
}

// A void the width of `step` pixels down the middle of the first wide bar, over the top half of
// its height: the scan lines there cross it, the others not.
void voidInBar(ReflectanceImage& image, int step)
{
    const int32_t middle = firstWide(image, true).first;
    paint(image, middle - step / 2, middle - step / 2 + step, 0, image.height() / 2, 90.0);
}

// A spot of ink the width of `step` pixels in the middle of the first wide space, over the bottom
// half of its height.
void spotInSpace(ReflectanceImage& image, int step)
{
    const int32_t middle = firstWide(image, false).first;
    paint(image, middle - step / 2, middle - step / 2 + step, image.height() / 2, image.height(),
          5.0);
}

// The left margin cut by three modules a step: 11, 8, 5 and 2 modules left.
void cropQuietZone(ReflectanceImage& image, int step)
{
    const int32_t cut = 3 * step * kModulePx;
    ReflectanceImage cropped(image.width() - cut, image.height(), true);
    for (int32_t y = 0; y < image.height(); ++y) {
        for (int32_t x = cut; x < image.width(); ++x) {
            cropped.set(x - cut, y, image.at(x, y));
        }
    }
    image = std::move(cropped);
}

// The first character of 490123456789 is a 9 of set A: a space of 3 modules, then bars and
// spaces of 1, 1 and 2. Widening its first bar by k pixels into that space leaves the
// character 7 modules (49 pixels) wide but stretches its second edge-to-similar-edge distance
// by k / 7 of a module, so the decodability is 1 - 2k / 7.
// The first character of 410123456789 is a 1 of set A, spaces and bars of 2, 2, 2 and 1
// modules, told from a 7 by its bars' width alone: widening both bars by k pixels into the
// spaces before them keeps both distances but narrows that margin to 1 - 2k / 7 too.
constexpr int32_t kFirst = kMarginPx + (11 + 3) * kModulePx;
struct JanBarCase
{
    const char* text;
    std::vector<int32_t> barStarts;
    int32_t k;
    int grade;
};
using VerifierJanDecodability = ::testing::TestWithParam<JanBarCase>;
const std::vector<int32_t> nine{kFirst + 3 * kModulePx};
const std::vector<int32_t> one{kFirst + 2 * kModulePx, kFirst + 6 * kModulePx};
const JanBarCase kJanBarRows[] = {
    JanBarCase{"490123456789", nine, 1, 4}, JanBarCase{"490123456789", nine, 2, 2},
    JanBarCase{"490123456789", nine, 3, 0}, JanBarCase{"410123456789", one, 1, 4},
    JanBarCase{"410123456789", one, 2, 2},  JanBarCase{"410123456789", one, 3, 0}};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierJanDecodability, ::testing::ValuesIn(kJanBarRows),
                         [](const auto& info) {
                             return rowName(std::string(info.param.text) + " widened " +
                                            std::to_string(info.param.k));
                         });

TEST_P(VerifierJanDecodability, JanDecodabilityFollowsTheEdgeToSimilarEdgeDistances)
{
    const JanBarCase& c = GetParam();
    verifier::VerifyOptions janWholeSteps;
    janWholeSteps.symbology = Symbology::Jan;
    janWholeSteps.edition = verifier::Edition::Y2000;
    const int32_t k = c.k;
    ReflectanceImage image = render(c.text, "jan");
    for (const int32_t bar : c.barStarts) {
        paint(image, bar - k, bar, 0, image.height(), 5.0);
    }
    const auto result = verifier::verifyImage(image, janWholeSteps);
    const auto& scan = result.scans[result.worstScan];
    const auto& decodability = scan.parameters[static_cast<std::size_t>(Parameter::Decodability)];
    EXPECT_EQ(result.text.substr(0, 12), c.text) << k;
    EXPECT_NEAR(decodability.value, 1 - 2.0 * k / 7, 1e-6) << c.text << " " << k;
    EXPECT_EQ(decodability.grade, c.grade) << c.text << " " << k;
}

// Each degradation grown step by step: the grade never rises, and the Code 39 symbol fails on what
// the degradation attacks while it still decodes. Voids and spots grow past what any scan line
// crossing them decodes, in every symbology: a scan that no longer decodes grades 0 and counts.
struct DegradationCase
{
    const char* how;
    Degradation degrade;
    Parameter attacked;
    int steps = 4;          // beyond which the symbol no longer decodes at all
    int everySymbology = 0; // grown this far in every symbology
};
using VerifierDegraded = ::testing::TestWithParam<DegradationCase>;
const DegradationCase kVerifierDegradedRows[] = {
    DegradationCase{"blur", blur, Parameter::Modulation, 3},
    DegradationCase{"ink spread", inkSpread, Parameter::Decodability, 2},
    DegradationCase{"low contrast", lowContrast, Parameter::SymbolContrast},
    DegradationCase{"noise", noise, Parameter::Defects, 3},
    DegradationCase{"void in a bar", voidInBar, Parameter::Defects, 2, 12},
    DegradationCase{"spot in a space", spotInSpace, Parameter::Defects, 2, 12},
    DegradationCase{"missing quiet zone", cropQuietZone, Parameter::QuietZone},
};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierDegraded,
                         ::testing::ValuesIn(kVerifierDegradedRows),
                         namedBy(&DegradationCase::how));

TEST_P(VerifierDegraded, DegradedSymbolsGradeWorseAndFailOnWhatTheDegradationAttacks)
{
    const DegradationCase& c = GetParam();
    verifier::VerifyOptions wholeSteps;
    wholeSteps.edition = verifier::Edition::Y2000;
    struct Symbol
    {
        const char* symbology;
        const char* text;
    };
    const std::vector<Symbol> code39{{"code39", "LORVAXEN-15"}};
    const std::vector<Symbol> every{{"code39", "LORVAXEN-15"},
                                    {"jan", "490123456789"},
                                    {"itf", "0123456789"},
                                    {"nw7", "a0123456789a"}};
    for (const Symbol& symbol : c.everySymbology > 0 ? every : code39) {
        const ReflectanceImage clean = render(symbol.text, symbol.symbology);
        std::string grades;
        double previous = 4.0;
        for (int step = 1; step <= std::max(c.steps, c.everySymbology); ++step) {
            ReflectanceImage image = clean;
            c.degrade(image, step);
            const auto result = verifier::verifyImage(image, wholeSteps);
            ASSERT_TRUE(result.found) << c.how << " " << step;
            const auto& worst = result.scans[result.worstScan];
            grades += " " + std::to_string(result.grade) + " " +
                      std::string(verifier::parameterName(worst.grade.lowest));
            EXPECT_LE(result.grade, previous) << c.how << " " << symbol.symbology << ":" << grades;
            if (result.grade < 4.0 && step <= c.steps && symbol.text == code39[0].text) {
                EXPECT_EQ(worst.grade.lowest, c.attacked)
                    << c.how << " step " << step << " fails on "
                    << verifier::parameterName(worst.grade.lowest);
            }
            previous = result.grade;
        }
        EXPECT_LT(previous, 4.0) << c.how << " " << symbol.symbology << ":" << grades;
    }
}

// A symbol as the samples of an image file: each pixel its bar's or its space's samples.
using Samples = std::vector<uint16_t>;
struct FileCase
{
    const char* what;
    char format;    // 'p' PNG, 'b' BMP (24 bits, blue-green-red), 'm' PBM
    int colourType; // of a PNG; in a palette PNG the samples are indices into `palette`
    int depth;
    bool linearGamma; // a gAMA chunk of 1.0, which a verifier ignores
    Samples bar;
    Samples space;
    double rMin; // the reflectances the file holds, as a verifier reads them under red light
    double rMax;
    std::vector<uint8_t> palette{}; // red, green, blue
};

std::string pngFile(const ReflectanceImage& symbol, const FileCase& c)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, std::size_t size) {
            static_cast<std::string*>(png_get_io_ptr(p))
                ->append(reinterpret_cast<char*>(data), size);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(symbol.width()),
                 static_cast<png_uint_32>(symbol.height()), c.depth, c.colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (c.linearGamma) {
        png_set_gAMA(png, info, 1.0);
    }
    std::vector<png_color> colours;
    for (std::size_t i = 0; i + 2 < c.palette.size(); i += 3) {
        colours.push_back({c.palette[i], c.palette[i + 1], c.palette[i + 2]});
    }
    if (!colours.empty()) {
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    }
    png_write_info(png, info);
    std::vector<uint8_t> row;
    for (int32_t y = 0; y < symbol.height(); ++y) {
        row.clear();
        for (int32_t x = 0; x < symbol.width(); ++x) {
            for (const uint16_t sample : symbol.at(x, y) < 50 ? c.bar : c.space) {
                if (c.depth == 16) {
                    row.push_back(static_cast<uint8_t>(sample >> 8));
                }
                row.push_back(static_cast<uint8_t>(sample));
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

std::string otherFile(const ReflectanceImage& symbol, const FileCase& c)
{
    const int32_t width = symbol.width();
    const int32_t height = symbol.height();
    if (c.format == 'm') {
        std::string bytes = "P1\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                bytes += symbol.at(x, y) < 50 ? "1 " : "0 ";
            }
            bytes += "\n";
        }
        return bytes;
    }
    const auto rowBytes = static_cast<uint32_t>((width * 3 + 3) / 4 * 4);
    const auto le = [](uint32_t value) {
        return std::string{char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    };
    std::string bytes = "BM" + le(54 + rowBytes * static_cast<uint32_t>(height)) + le(0) + le(54) +
                        le(40) + le(static_cast<uint32_t>(width)) +
                        le(static_cast<uint32_t>(height)) + std::string("\1\0\30\0", 4) +
                        std::string(24, '\0');
    for (int32_t y = height - 1; y >= 0; --y) {
        std::string row;
        for (int32_t x = 0; x < width; ++x) {
            for (const uint16_t sample : symbol.at(x, y) < 50 ? c.bar : c.space) {
                row += static_cast<char>(sample);
            }
        }
        row.resize(rowBytes, '\0');
        bytes += row;
    }
    return bytes;
}

constexpr double kInk = 32 * 100.0 / 255; // 32 and 224 of 255, and 0x2020 and 0xE0E0
constexpr double kPaper = 224 * 100.0 / 255;
using G = Samples;
using VerifierFiles = ::testing::TestWithParam<FileCase>;
// A space of black ink at an opacity of 31 of 255 laid over white paper reads as 224.
const FileCase kFileRows[] = {
    FileCase{"8-bit grey", 'p', PNG_COLOR_TYPE_GRAY, 8, false, G{32}, G{224}, kInk, kPaper},
    FileCase{"8-bit grey with a gAMA of 1.0", 'p', PNG_COLOR_TYPE_GRAY, 8, true, G{32}, G{224},
             kInk, kPaper},
    FileCase{"16-bit grey with a gAMA of 1.0", 'p', PNG_COLOR_TYPE_GRAY, 16, true, G{0x2020},
             G{0xE0E0}, kInk, kPaper},
    FileCase{"palette",
             'p',
             PNG_COLOR_TYPE_PALETTE,
             8,
             false,
             G{1},
             G{0},
             kInk,
             kPaper,
             {224, 224, 224, 32, 32, 32}},
    FileCase{"RGB whose red alone is that of the grey", 'p', PNG_COLOR_TYPE_RGB, 8, false,
             G{32, 200, 200}, G{224, 0, 0}, kInk, kPaper},
    FileCase{"RGBA, the spaces transparent ink over white", 'p', PNG_COLOR_TYPE_RGB_ALPHA, 8, false,
             G{32, 32, 32, 255}, G{0, 0, 0, 31}, kInk, kPaper},
    FileCase{"16-bit grey and alpha", 'p', PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, G{0x2020, 0xFFFF},
             G{0, 31 * 257}, kInk, kPaper},
    FileCase{"24-bit BMP", 'b', 0, 8, false, G{32, 32, 32}, G{224, 224, 224}, kInk, kPaper},
    FileCase{"PBM", 'm', 0, 1, false, G{}, G{}, 0, 100},
    FileCase{"black bars on yellow", 'p', PNG_COLOR_TYPE_RGB, 8, false, G{0, 0, 0}, G{255, 255, 0},
             0, 100},
    FileCase{"red bars on white, which red light cannot see", 'p', PNG_COLOR_TYPE_RGB, 8, false,
             G{255, 0, 0}, G{255, 255, 255}, 100, 100},
};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierFiles, ::testing::ValuesIn(kFileRows),
                         namedBy(&FileCase::what));

TEST_P(VerifierFiles, EveryFormatAndDepthReadsAsStoredUnderRedLight)
{
    const FileCase& c = GetParam();
    const ReflectanceImage symbol = render("LORVAXEN-15", "code39");
    const std::string bytes = c.format == 'p' ? pngFile(symbol, c) : otherFile(symbol, c);
    std::istringstream in(bytes);
    std::string problem;
    const auto image = verifier::readReflectanceImage(in, bytes.size(), {}, &problem);
    ASSERT_TRUE(image) << c.what << ": " << problem;
    const auto result = verifier::verifyImage(*image, {});
    if (c.rMin == c.rMax) {
        EXPECT_FALSE(result.found && result.grade > 0) << c.what;
        return;
    }
    ASSERT_TRUE(result.found) << c.what << ": " << result.problem;
    EXPECT_EQ(result.text, "*LORVAXEN-15*") << c.what;
    EXPECT_EQ(result.grade, 4.0) << c.what;
    for (const auto& scan : result.scans) {
        EXPECT_NEAR(scan.analysis.rMin, c.rMin, 1e-6) << c.what;
        EXPECT_NEAR(scan.analysis.rMax, c.rMax, 1e-6) << c.what;
    }
}

// The symbol with `left` and `right` pixels more of paper beside it.
ReflectanceImage widen(const ReflectanceImage& symbol, int32_t left, int32_t right)
{
    ReflectanceImage wide(symbol.width() + left + right, symbol.height(), true);
    for (int32_t y = 0; y < symbol.height(); ++y) {
        for (int32_t x = 0; x < wide.width(); ++x) {
            const int32_t from = x - left;
            wide.set(x, y, from >= 0 && from < symbol.width() ? symbol.at(from, y) : 90.0);
        }
    }
    return wide;
}

void paint(ReflectanceImage& image, int32_t from, int32_t to, int32_t top, int32_t bottom,
           double reflectance)
{
    for (int32_t y = top; y < bottom; ++y) {
        for (int32_t x = from; x < to; ++x) {
            image.set(x, y, reflectance);
        }
    }
}

TEST(VerifierGrades, WhatLiesBeyondTheQuietZonesIsNotMeasuredAndScansMustAgree)
{
    constexpr int32_t kBeyond = 120 * kModulePx;
    const ReflectanceImage symbol = render("LORVAXEN-15", "code39");
    const int32_t w = symbol.width();
    const int32_t h = symbol.height();
    // The symbol's bars start 14 modules in, four beyond the ten its quiet zone needs.
    const int32_t left = kBeyond - 16 * kModulePx; // 20 modules beyond the quiet zone
    const int32_t right = kBeyond + w + 2 * kModulePx;
    struct Case
    {
        const char* why;
        std::function<void(ReflectanceImage&)> change;
        double grade;
        bool otherData = false; // else a grade of 0 is the quiet zone's
    };
    for (const Case& c : {
             Case{"a grey mark", [&](auto& i) { paint(i, left - 21, left, 0, h, 50); }, 4},
             Case{"a mark inside the quiet zone",
                  [&](auto& i) {
                      paint(i, kBeyond + 8 * kModulePx, kBeyond + 9 * kModulePx, 0, h, 5);
                  },
                  0},
             Case{"a black rule", [&](auto& i) { paint(i, right, right + 14, 0, h, 0); }, 4},
             Case{"a bright patch", [&](auto& i) { paint(i, left - 70, left, 0, h, 100); }, 4},
             Case{"a second symbol",
                  [&](auto& i) {
                      const ReflectanceImage other = render("B", "code39");
                      for (int32_t y = 0; y < h; ++y) {
                          for (int32_t x = 0; x < other.width(); ++x) {
                              i.set(kBeyond + w + x, y, other.at(x, y));
                          }
                      }
                  },
                  4},
             Case{"other data in the lower half",
                  [&](auto& i) {
                      const ReflectanceImage other =
                          widen(render("LORVAXEN-16", "code39"), kBeyond, kBeyond);
                      for (int32_t y = h / 2; y < h; ++y) {
                          for (int32_t x = 0; x < i.width(); ++x) {
                              i.set(x, y, other.at(x, y));
                          }
                      }
                  },
                  0, true},
         }) {
        ReflectanceImage image = widen(symbol, kBeyond, kBeyond);
        c.change(image);
        const auto result = verifier::verifyImage(image, {});
        ASSERT_TRUE(result.found) << c.why;
        EXPECT_EQ(result.grade, c.grade) << c.why << ": " << result.inconsistency;
        EXPECT_EQ(result.text, "*LORVAXEN-15*") << c.why;
        const auto& contrast =
            result.scans[0].parameters[static_cast<std::size_t>(Parameter::SymbolContrast)];
        EXPECT_NEAR(contrast.value, 85, 1e-3) << c.why;
        if (c.otherData) {
            EXPECT_NE(result.inconsistency.find("\"*LORVAXEN-16*\""), std::string::npos)
                << result.inconsistency;
        } else if (c.grade == 0) {
            EXPECT_EQ(result.scans[result.worstScan].grade.lowest, Parameter::QuietZone) << c.why;
        }
    }
}

TEST(VerifierGrades, TheApertureFollowsThePrintAndEdgesLieMidwayBetweenNeighbours)
{
    // JAN symbols printed alike, whatever their data, get the same module and aperture.
    for (const char* text : {"111111111111", "490123456789"}) {
        const auto result = verifier::verifyImage(render(text, "jan"), {});
        EXPECT_NEAR(result.moduleWidth, kModulePx, 1e-9) << text;
        EXPECT_NEAR(result.aperture, 0.8 * kModulePx, 1e-9) << text;
        EXPECT_EQ(result.grade, 4.0) << text;
    }
    // The start's wide space, grey but above the global threshold, keeps its width.
    ReflectanceImage image = render("LORVAXEN-15", "code39");
    const int32_t y = image.height() / 2;
    int32_t bar = 0;
    while (image.at(bar, y) > 50) {
        ++bar;
    }
    int32_t space = bar + 1;
    while (image.at(space, y) < 50) {
        ++space;
    }
    int32_t next = space;
    while (image.at(next, y) > 50) {
        ++next;
    }
    paint(image, space, next, 0, image.height(), 55);
    const auto result = verifier::verifyImage(image, {});
    for (const auto& scan : result.scans) {
        EXPECT_NEAR(scan.analysis.elements[scan.analysis.firstBar + 1].width(), next - space, 0.25);
    }
}

// The image turned `degrees` anticlockwise about its centre onto paper, sampled bilinearly.
ReflectanceImage turn(const ReflectanceImage& image, double degrees)
{
    const double radians = degrees * std::acos(-1.0) / 180;
    const auto exact = [](double v) { return std::abs(v) < 1e-12 ? 0.0 : v; };
    const double c = exact(std::cos(radians));
    const double s = exact(std::sin(radians));
    const double w = image.width();
    const double h = image.height();
    ReflectanceImage turned(static_cast<int32_t>(std::ceil(w * std::abs(c) + h * std::abs(s))),
                            static_cast<int32_t>(std::ceil(w * std::abs(s) + h * std::abs(c))),
                            true);
    for (int32_t y = 0; y < turned.height(); ++y) {
        for (int32_t x = 0; x < turned.width(); ++x) {
            const double dx = x + 0.5 - turned.width() / 2.0;
            const double dy = y + 0.5 - turned.height() / 2.0;
            const double sx = c * dx - s * dy + w / 2 - 0.5;
            const double sy = s * dx + c * dy + h / 2 - 0.5;
            const auto x0 = static_cast<int32_t>(std::floor(sx));
            const auto y0 = static_cast<int32_t>(std::floor(sy));
            const auto sample = [&](int32_t px, int32_t py) {
                return px >= 0 && py >= 0 && px < image.width() && py < image.height()
                           ? image.at(px, py)
                           : 90.0;
            };
            const double fx = sx - x0;
            const double fy = sy - y0;
            turned.set(x, y,
                       (1 - fy) * ((1 - fx) * sample(x0, y0) + fx * sample(x0 + 1, y0)) +
                           fy * ((1 - fx) * sample(x0, y0 + 1) + fx * sample(x0 + 1, y0 + 1)));
        }
    }
    return turned;
}

struct TurnCase
{
    const char* symbology;
    const char* text;
    double degrees;
};
using VerifierTurns = ::testing::TestWithParam<TurnCase>;
const TurnCase kVerifierTurnsRows[] = {
    TurnCase{"code39", "LORVAXEN-15", 5},   TurnCase{"code39", "LORVAXEN-15", 10},
    TurnCase{"code39", "LORVAXEN-15", -10}, TurnCase{"jan", "490123456789", 10},
    TurnCase{"code39", "LORVAXEN-15", 90},  TurnCase{"code39", "LORVAXEN-15", 180},
    TurnCase{"code39", "LORVAXEN-15", 270}};
INSTANTIATE_TEST_SUITE_P(VerifierGrades, VerifierTurns, ::testing::ValuesIn(kVerifierTurnsRows),
                         [](const auto& info) {
                             return rowNameOf(info.param.symbology, info.param.degrees);
                         });

TEST_P(VerifierTurns, SkewedAndTurnedSymbolsDecodeOnEveryScan)
{
    const TurnCase& c = GetParam();
    const auto result = verifier::verifyImage(turn(render(c.text, c.symbology), c.degrees), {});
    ASSERT_TRUE(result.found) << c.degrees << ": " << result.problem;
    EXPECT_NE(result.text.find(c.text), std::string::npos) << c.degrees;
    for (const auto& scan : result.scans) {
        EXPECT_TRUE(scan.decoded.ok) << c.text << " at " << c.degrees << " degrees, row "
                                     << scan.row << ": " << scan.decoded.problem;
    }
}

} // namespace
} // namespace lorvaxen::test
