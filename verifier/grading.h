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

// The edition of the standard whose grades are given: the 2000 edition's whole steps, or the 2016
// edition's decimal grades for symbol contrast, modulation, defects and decodability.
enum class Edition { Y2000, Y2016 };

// Each parameter's measured value (a per cent, a ratio, or 1 / 0 for pass / fail) and its grade.
struct ParameterGrade
{
    double value = 0;
    double grade = 0;
};
using ParameterGrades = std::array<ParameterGrade, kParameterCount>;

// What a scan measures, from which every parameter follows.
struct ScanMeasurements
{
    bool decoded = false;
    double rMin = 0; // per cent
    double rMax = 0;
    double edgeContrastMin = 0;  // per cent, between neighbouring elements
    double nonUniformityMax = 0; // per cent: the largest element reflectance non-uniformity
    double decodability = 0;     // of the worst character
    // The light margins measured and those the symbology asks for, in modules.
    double leftQuiet = 0;
    double rightQuiet = 0;
    double leftQuietNeeded = 1;
    double rightQuietNeeded = 1;
};

// Every parameter's value and grade.
ParameterGrades gradeParameters(const ScanMeasurements& m, Edition edition);

// The grades of the standard's tables. Reflectances and contrasts are per cent; modulation,
// defects and decodability are ratios. In the 2016 edition a grade between two steps is
// interpolated in proportion to where the value lies between their thresholds, and cut to one
// decimal; below the lowest threshold but one, symbol contrast, modulation and decodability fall
// from 1 to 0 over a band of their own.
double gradeSymbolContrast(double symbolContrast, Edition edition);
double gradeModulation(double modulation, Edition edition);
double gradeDefects(double defects, Edition edition);
double gradeDecodability(double decodability, Edition edition);
double gradePassFail(bool passes);

// The scan's grade: its lowest parameter grade, and the first parameter that has it.
struct ScanGrade
{
    double grade = 0;
    Parameter lowest = Parameter::Decode;
};
ScanGrade scanGrade(const ParameterGrades& grades);

// The letter of a grade or of a mean of grades: A from 3.5, B from 2.5, C from 1.5, D from 0.5.
char gradeLetter(double grade);

// A symbol grade as it is reported: the mean of the scans' grades cut (not rounded) to one
// decimal, so that 2.49 is 2.4 and keeps its letter C; a mean held as 3.4999999 by the sum of
// ten tenths is 3.5. Its letter is gradeLetter of this, never of the mean.
double reportedGrade(double mean);

} // namespace lorvaxen::verifier
