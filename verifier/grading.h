// The print-quality grades of ISO/IEC 15416: 4 (A) to 0 (F) for each parameter of a scan
// reflectance profile, the lowest of them for the scan, the mean of the scans for the symbol.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace lorvaxen::verifier {

enum class Parameter {
    Decode,
    SymbolContrast,
    MinReflectance,
    MinEdgeContrast,
    Modulation,
    Defects,
    Decodability,
    QuietZone,
};
constexpr std::size_t kParameterCount = 8;

std::string_view parameterName(Parameter parameter);     // "symbol contrast"
std::string_view parameterJsonName(Parameter parameter); // "symbol_contrast"

// Each parameter's measured value (a per cent, a ratio, or 1 / 0 for pass / fail) and its grade.
struct ParameterGrade
{
    double value = 0;
    int grade = 0;
};
using ParameterGrades = std::array<ParameterGrade, kParameterCount>;

// The grades of the standard's tables. Reflectances and contrasts are per cent; modulation,
// defects and decodability are ratios.
int gradeSymbolContrast(double symbolContrast);
int gradeMinReflectance(double rMin, double rMax);
int gradeMinEdgeContrast(double edgeContrast);
int gradeModulation(double modulation);
int gradeDefects(double defects);
int gradeDecodability(double decodability);
int gradePassFail(bool passes);

// The scan's grade: its lowest parameter grade, and the first parameter that has it.
struct ScanGrade
{
    int grade = 0;
    Parameter lowest = Parameter::Decode;
};
ScanGrade scanGrade(const ParameterGrades& grades);

// The letter of a grade or of a mean of grades: A from 3.5, B from 2.5, C from 1.5, D from 0.5.
char gradeLetter(double grade);

} // namespace lorvaxen::verifier
