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
    int32_t row = 0;             // the image row the scan line crosses the middle column at
    std::size_t profileFrom = 0; // where the profile starts on that row, in pixels
    // The symbol and its quiet zones only, once it is found; else the whole row.
    std::vector<double> profile;
    ProfileAnalysis analysis;
    Decoded decoded;
    // What the symbology's own limits find wrong with the decoded symbol, which fails the decode.
    std::string symbologyProblem;
    bool reversed = false;       // decoded from right to left
    double leftQuietModules = 0; // the light margins measured, in modules
    double rightQuietModules = 0;
    ParameterGrades parameters{};
    ScanGrade grade;
};

// Grades one profile. With a symbology, decodes only as that; without, as the first that fits.
// The symbol is found among the profile's elements from its start and stop, and the profile is
// then cut to it and its quiet zones, so that what lies beyond them is not measured.
// `pixelsPerMm` (0 if unknown) sizes the module for the symbology's own limits. With `upcA`, a JAN
// is held to the UPC-A face (see decodeAs).
ScanResult gradeProfile(const std::vector<double>& profile, std::optional<Symbology> symbology,
                        Edition edition = Edition::Y2016, double pixelsPerMm = 0,
                        bool upcA = false);

// What the user knows of the print: the symbology, the resolution, the aperture.
struct VerifyOptions
{
    std::optional<Symbology> symbology;
    bool upcA = false;       // a JAN held to the UPC-A face (see decodeAs)
    double pixelsPerMm = 0;  // the image's resolution; 0 to take the file's own
    double apertureMm = 0;   // the aperture's diameter; 0 for 0.8 of the X dimension
    double xDimensionMm = 0; // the nominal module; 0 to measure it on the decoded symbol
    Edition edition = Edition::Y2016;
};

constexpr int kScanLines = 10;

struct Verification
{
    bool found = false;
    std::string problem; // when no symbol was found
    std::optional<Symbology> symbology;
    bool upcA = false; // a JAN read as a UPC-A: named so, and its text its twelve digits
    std::string text;  // as framed, from the first scan that decodes
    std::string check;
    std::string undecoded;  // when no scan decodes, why, in words
    double moduleWidth = 0; // the module in pixels: the decoded symbol's width over its modules
    // The aperture's diameter in pixels; 0 when it could not be set (nothing decodes, and no
    // aperture or X dimension was given with a resolution), the scans then taken a pixel wide.
    double aperture = 0;
    double apertureMm = 0;     // and in millimetres, where the resolution is known
    double pixelsPerMm = 0;    // the resolution used; 0 if unknown
    std::string inconsistency; // when scans decode to different data, which fails the symbol
    std::vector<std::string> warnings; // what the user should know of how it was graded
    // The bars' own height, as the rows the scan lines cross the middle column at: for EAN and
    // UPC, the data bars' and not the longer guard bars'.
    int32_t top = 0;
    int32_t bottom = 0;
    bool turned = false; // the symbol lies across the image: its rows are the image's columns
    double slope = 0;    // rows the scan lines climb or fall a column, at right angles to the bars
    std::vector<ScanResult> scans;
    Edition edition = Edition::Y2016;
    double grade = 0; // the mean of the scans' grades
    std::size_t worstScan = 0;
};

// The facts of the symbology the symbol was read as: a JAN's, or a UPC-A's when it was held to one.
// The symbology must be known.
inline const SymbologyFacts& factsReadAs(const Verification& v)
{
    return v.upcA ? *findSymbologyFacts("upca") : factsOf(*v.symbology);
}

// Finds the bars (a band of rows that cross the image's midway reflectance often enough, whose
// profile decodes, tallest first), measures their own height along them, sets ten scan lines at
// the centres of ten equal strips from 10% to 90% of it, whether they decode or not, with the
// aperture given in millimetres or else 0.8 of the module of the symbol decoded, and grades them.
Verification verifyImage(const ReflectanceImage& image, const VerifyOptions& options);

} // namespace lorvaxen::verifier
