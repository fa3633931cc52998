#include "verify_label.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>
#include <utility>

#include <lorvaxen/symbology_facts.h>

#include "mono_image.h"

namespace lorvaxen {
namespace {

constexpr std::array<std::pair<std::string_view, verifier::Light>, 4> kLights{{
    {"red", verifier::Light::Red},
    {"green", verifier::Light::Green},
    {"blue", verifier::Light::Blue},
    {"white", verifier::Light::White},
}};

// The resolution the file records, unless it is absurd: then unknown, with a warning.
void checkRecordedResolution(verifier::ReflectanceImage& picture, const VerifySettings& settings,
                             std::vector<std::string>* warnings)
{
    const double dpi = picture.pixelsPerMm * 25.4;
    if (settings.dpi > 0 || picture.pixelsPerMm == 0 || (dpi >= kFewestDpi && dpi <= kMostDpi)) {
        return;
    }
    warnings->push_back("the image records a resolution of " + formatDecimal(dpi, 3) +
                        " dpi, which no scan or print has: it is taken as unknown (give --dpi)");
    picture.pixelsPerMm = 0;
}

verifier::VerifyOptions verifyOptions(const VerifySettings& settings)
{
    verifier::VerifyOptions options;
    if (const SymbologyFacts* facts = findSymbologyFacts(settings.symbology)) {
        options.symbology = facts->symbology;
        options.upcA = facts->textLayout == TextLayout::UpcA;
    }
    options.pixelsPerMm = settings.dpi / 25.4;
    options.apertureMm = settings.apertureMm;
    options.xDimensionMm = settings.xDimensionMm;
    options.edition = settings.edition;
    return options;
}

verifier::ReadOptions readOptions(const VerifySettings& settings)
{
    verifier::ReadOptions reading;
    reading.maxPixels = settings.maxPixels;
    reading.light = settings.light;
    return reading;
}

GradedImage unread(std::string problem)
{
    GradedImage graded;
    graded.problem = std::move(problem);
    return graded;
}

} // namespace

std::optional<verifier::Light> lightNamed(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& [named, light] : kLights) {
        if (lower == named) {
            return light;
        }
    }
    return std::nullopt;
}

GradedImage verifyPicture(verifier::ReflectanceImage picture, const VerifySettings& settings)
{
    GradedImage graded;
    graded.light = std::string(verifier::lightName(settings.light));
    checkRecordedResolution(picture, settings, &graded.warnings);
    graded.verification = verifier::verifyImage(picture, verifyOptions(settings));
    graded.picture = std::move(picture);
    const verifier::Verification& v = graded.verification;
    if (!v.found) {
        graded.problem = v.problem;
        return graded;
    }
    graded.warnings.insert(graded.warnings.end(), v.warnings.begin(), v.warnings.end());
    if ((settings.apertureMm > 0 || settings.xDimensionMm > 0) && v.pixelsPerMm == 0) {
        graded.warnings.emplace_back("the image records no resolution and --dpi gives none, so "
                                     "the aperture is 0.8 of the module measured on the symbol");
    }
    graded.advice = adviseOn(v);
    return graded;
}

GradedImage verifyFile(const std::string& path, const VerifySettings& settings)
{
    std::string problem;
    auto picture = verifier::readReflectanceImage(path, readOptions(settings), &problem);
    return picture ? verifyPicture(std::move(*picture), settings) : unread(std::move(problem));
}

GradedImage verifyBytes(std::span<const uint8_t> bytes, const VerifySettings& settings)
{
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string problem;
    auto picture =
        verifier::readReflectanceImage(in, bytes.size(), readOptions(settings), &problem);
    return picture ? verifyPicture(std::move(*picture), settings) : unread(std::move(problem));
}

} // namespace lorvaxen
