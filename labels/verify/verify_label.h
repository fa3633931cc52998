// Grading a printed or scanned label from its image, read from a file or held in memory: the
// verification, the advice on what to change and the warnings, as `lorvaxen verify` reports them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "reflectance_image.h"
#include "verify.h"
#include "verify_advice.h"

namespace lorvaxen {

// The resolutions a scan or a print can have: below, a file's record or a typing slip (a PNG of
// one pixel a metre would give an aperture of a metre); above, no scanner reaches.
constexpr double kFewestDpi = 25;
constexpr double kMostDpi = 100000;
// The apertures and modules of any linear symbol's print, in millimetres.
constexpr double kSmallestMm = 0.01;
constexpr double kLargestMm = 10;

// What is known of the print before it is graded; zeros and empty names for what is not.
struct VerifySettings
{
    std::string symbology; // a name or alias; empty: the first symbology that decodes
    verifier::Light light = verifier::Light::Red;
    double dpi = 0;          // over the resolution the image records
    double apertureMm = 0;   // else 0.8 of the X dimension
    double xDimensionMm = 0; // else the module measured on the decoded symbol
    verifier::Edition edition = verifier::Edition::Y2016;
    uint64_t maxPixels = verifier::ReadOptions{}.maxPixels;
};

// The light named "red", "green", "blue" or "white", in any case.
std::optional<verifier::Light> lightNamed(std::string_view name);

struct GradedImage
{
    // Why nothing was graded: the image could not be read (`picture` is then empty), or it holds
    // no symbol. Empty when graded.
    std::string problem;
    std::optional<verifier::ReflectanceImage> picture; // as read, for the pictures of the report
    verifier::Verification verification;
    Advice advice;
    std::vector<std::string> warnings; // of the resolution, and of how the symbol was graded
    std::string light;                 // "red (660 nm)"

    bool graded() const { return problem.empty(); }
};

// Grades the image of a file, or of standard input for "-".
GradedImage verifyFile(const std::string& path, const VerifySettings& settings);
// Grades a PNG, PBM or BMP held in memory.
GradedImage verifyBytes(std::span<const uint8_t> bytes, const VerifySettings& settings);
// Grades an image already measured.
GradedImage verifyPicture(verifier::ReflectanceImage picture, const VerifySettings& settings);

} // namespace lorvaxen
