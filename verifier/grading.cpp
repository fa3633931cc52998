#include "grading.h"

#include <algorithm>
#include <cmath>

namespace lorvaxen::verifier {
namespace {

struct ParameterNames
{
    std::string_view text;
    std::string_view json;
};

constexpr std::array<ParameterNames, kParameterCount> kNames{{
    {"decode", "decode"},
    {"symbol contrast", "symbol_contrast"},
    {"minimum reflectance", "min_reflectance"},
    {"minimum edge contrast", "min_edge_contrast"},
    {"modulation", "modulation"},
    {"defects", "defects"},
    {"decodability", "decodability"},
    {"quiet zone", "quiet_zone"},
}};

// The lowest value that earns A, B, C and D; below the last, F.
using Thresholds = std::array<double, 4>;

// Whole steps: the first threshold the value reaches.
int wholeGrade(double value, const Thresholds& thresholds)
{
    int grade = 4;
    for (const double threshold : thresholds) {
        if (value >= threshold) {
            return grade;
        }
        --grade;
    }
    return 0;
}

// The 2016 edition's decimal grade: within a step, the share of the way to the next threshold;
// below D's threshold, the share of the way up from `zero` (no fractional F where `zero` is D's
// threshold). Cut, not rounded, to one decimal, so that no value is lifted into the next step.
double gradeFromAbove(double value, const Thresholds& thresholds, double zero, Edition edition)
{
    const int whole = wholeGrade(value, thresholds);
    if (edition == Edition::Y2000 || whole == 4) {
        return whole;
    }
    const double low = whole == 0 ? zero : thresholds[static_cast<std::size_t>(4 - whole)];
    const double high = thresholds[static_cast<std::size_t>(3 - whole)];
    if (value < low || high <= low) {
        return 0;
    }
    const double grade = whole + (value - low) / (high - low);
    // The small allowance keeps a value at a tenth (0.65 of 0.60 to 0.70) from falling below it.
    return std::floor(grade * 10 + 1e-9) / 10;
}

} // namespace

std::string_view parameterName(Parameter parameter)
{
    return kNames[static_cast<std::size_t>(parameter)].text;
}

std::string_view parameterJsonName(Parameter parameter)
{
    return kNames[static_cast<std::size_t>(parameter)].json;
}

double gradeSymbolContrast(double symbolContrast, Edition edition)
{
    return gradeFromAbove(symbolContrast, {70, 55, 40, 20}, 15, edition);
}

double gradeModulation(double modulation, Edition edition)
{
    return gradeFromAbove(modulation, {0.70, 0.60, 0.50, 0.40}, 0.30, edition);
}

double gradeDefects(double defects, Edition edition)
{
    // The smaller the better: A up to 0.15, then B, C and D up to 0.20, 0.25 and 0.30.
    return gradeFromAbove(-defects, {-0.15, -0.20, -0.25, -0.30}, -0.30, edition);
}

double gradeDecodability(double decodability, Edition edition)
{
    return gradeFromAbove(decodability, {0.62, 0.50, 0.37, 0.25}, 0.20, edition);
}

double gradePassFail(bool passes)
{
    return passes ? 4 : 0;
}

ParameterGrades gradeParameters(const ScanMeasurements& m, Edition edition)
{
    // Modulation and defects are the smallest edge contrast and the largest non-uniformity in
    // proportion to the symbol contrast.
    const double contrast = m.rMax - m.rMin;
    const double modulation = contrast > 0 ? m.edgeContrastMin / contrast : 0;
    const double defects = contrast > 0 ? m.nonUniformityMax / contrast : 1;
    // The quiet zones by the narrower of them in proportion to what it should be.
    const double quietShare =
        std::min(m.leftQuiet / m.leftQuietNeeded, m.rightQuiet / m.rightQuietNeeded);
    ParameterGrades p{};
    const auto set = [&p](Parameter parameter, double value, double grade) {
        p[static_cast<std::size_t>(parameter)] = {value, grade};
    };
    set(Parameter::Decode, m.decoded ? 1 : 0, gradePassFail(m.decoded));
    set(Parameter::SymbolContrast, contrast, gradeSymbolContrast(contrast, edition));
    set(Parameter::MinReflectance, m.rMin, gradePassFail(m.rMin <= 0.5 * m.rMax));
    set(Parameter::MinEdgeContrast, m.edgeContrastMin, gradePassFail(m.edgeContrastMin >= 15));
    set(Parameter::Modulation, modulation, gradeModulation(modulation, edition));
    set(Parameter::Defects, defects, gradeDefects(defects, edition));
    set(Parameter::Decodability, m.decodability,
        m.decoded ? gradeDecodability(m.decodability, edition) : 0);
    set(Parameter::QuietZone, quietShare, gradePassFail(quietShare >= 1));
    return p;
}

ScanGrade scanGrade(const ParameterGrades& grades)
{
    ScanGrade scan{grades[0].grade, Parameter::Decode};
    for (std::size_t i = 1; i < grades.size(); ++i) {
        if (grades[i].grade < scan.grade) {
            scan = {grades[i].grade, static_cast<Parameter>(i)};
        }
    }
    return scan;
}

char gradeLetter(double grade)
{
    constexpr std::string_view kLetters = "ABCD";
    const int index = wholeGrade(grade, {3.5, 2.5, 1.5, 0.5});
    return index == 0 ? 'F' : kLetters[static_cast<std::size_t>(4 - index)];
}

double reportedGrade(double mean)
{
    // Ten grades of whole tenths sum to whole hundredths; the allowance is far below a hundredth
    // and far above the error of adding ten doubles.
    return std::floor(mean * 10 + 1e-6) / 10;
}

} // namespace lorvaxen::verifier
