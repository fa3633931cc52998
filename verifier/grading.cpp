#include "grading.h"

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

int gradeFromAbove(double value, const Thresholds& thresholds)
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

} // namespace

std::string_view parameterName(Parameter parameter)
{
    return kNames[static_cast<std::size_t>(parameter)].text;
}

std::string_view parameterJsonName(Parameter parameter)
{
    return kNames[static_cast<std::size_t>(parameter)].json;
}

int gradeSymbolContrast(double symbolContrast)
{
    return gradeFromAbove(symbolContrast, {70, 55, 40, 20});
}

int gradeMinReflectance(double rMin, double rMax)
{
    return gradePassFail(rMin <= 0.5 * rMax);
}

int gradeMinEdgeContrast(double edgeContrast)
{
    return gradePassFail(edgeContrast >= 15);
}

int gradeModulation(double modulation)
{
    return gradeFromAbove(modulation, {0.70, 0.60, 0.50, 0.40});
}

int gradeDefects(double defects)
{
    // The smaller the better: A up to 0.15, then B, C and D up to 0.20, 0.25 and 0.30.
    return gradeFromAbove(-defects, {-0.15, -0.20, -0.25, -0.30});
}

int gradeDecodability(double decodability)
{
    return gradeFromAbove(decodability, {0.62, 0.50, 0.37, 0.25});
}

int gradePassFail(bool passes)
{
    return passes ? 4 : 0;
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
    const int index = gradeFromAbove(grade, {3.5, 2.5, 1.5, 0.5});
    return index == 0 ? 'F' : kLetters[static_cast<std::size_t>(4 - index)];
}

} // namespace lorvaxen::verifier
