// Grading a symbol: ten scan reflectance profiles across its bars, each graded by its lowest
// parameter, and the symbol by their mean, as ISO/IEC 15416 sets out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "grading.h"
#include "reflectance_image.h"
#include "scan_profile.h"
#include "symbologies.h"

namespace lorvaxen::verifier {

struct ScanResult
{
    int32_t row = 0; // the image row scanned
    std::vector<double> profile;
    ProfileAnalysis analysis;
    Decoded decoded;
    bool reversed = false;       // decoded from right to left
    double leftQuietModules = 0; // the light margins measured, in modules
    double rightQuietModules = 0;
    ParameterGrades parameters{};
    ScanGrade grade;
};

// Grades one profile. With a symbology, decodes only as that; without, as the first that fits.
ScanResult gradeProfile(std::vector<double> profile, std::optional<Symbology> symbology);

constexpr int kScanLines = 10;

struct Verification
{
    bool found = false;
    std::string problem; // when no symbol was found
    std::optional<Symbology> symbology;
    std::string text; // as framed, from the first scan that decodes
    std::string check;
    double moduleWidth = 0; // the narrow element (the module) in pixels, from the middle scan
    double aperture = 0;    // the aperture's diameter in pixels
    int32_t top = 0;        // the rows of the bars
    int32_t bottom = 0;
    std::vector<ScanResult> scans;
    double grade = 0; // the mean of the scans' grades
    std::size_t worstScan = 0;
};

// Finds the bars (the longest band of rows that cross the image's midway reflectance often
// enough), takes ten scan lines evenly spaced across the middle 80% of their height, with an
// aperture of 0.8 of the narrow element measured on the middle row, and grades them.
Verification verifyImage(const ReflectanceImage& image, std::optional<Symbology> symbology);

} // namespace lorvaxen::verifier
