#include "contrast.h"

#include "grading.h"
#include "reflectance_image.h"

namespace lorvaxen {
namespace {

constexpr auto kLight = verifier::Light::Red; // retail scanners' and verifiers' light

double reflectance(const std::optional<Colour>& colour)
{
    const Colour c = colour.value_or(Colour{255, 255, 255});
    const uint8_t opacity = colour ? 255 : 0;
    return verifier::colourReflectance(c.red, c.green, c.blue, opacity, kLight);
}

double contrastGrade(const Paint& paint)
{
    return verifier::gradeSymbolContrast(symbolContrast(paint), verifier::Edition::Y2000);
}

std::string described(const Paint& paint)
{
    return "a symbol contrast of " + formatDecimal(symbolContrast(paint), 1) +
           "% under red light (the background's reflectance " +
           formatDecimal(reflectance(paint.background), 1) + "% less the bars' " +
           formatDecimal(reflectance(paint.ink), 1) + "%)";
}

} // namespace

double symbolContrast(const Paint& paint)
{
    return reflectance(paint.background) - reflectance(paint.ink);
}

std::optional<std::string> contrastProblem(const Paint& paint)
{
    const std::string what = "these colours give " + described(paint);
    if (symbolContrast(paint) <= 0) {
        return what + ": the bars must be darker than the background; give a dark --fg and a "
                      "light --bg";
    }
    if (contrastGrade(paint) < 1) {
        return what + ", which fails (grade F, below 20%): give a darker --fg or a lighter --bg";
    }
    return std::nullopt;
}

std::optional<std::string> contrastWarning(const Paint& paint)
{
    if (symbolContrast(paint) <= 0 || contrastGrade(paint) < 1 || contrastGrade(paint) >= 2) {
        return std::nullopt;
    }
    return "these colours give " + described(paint) +
           ", grade D (below 40%): many scanners and applications want C or better";
}

} // namespace lorvaxen
