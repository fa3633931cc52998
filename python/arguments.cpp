#include "arguments.h"

#include <cmath>
#include <string>

#include <lorvaxen/symbology_facts.h>

#include "colours.h"
#include "contrast.h"
#include "length.h"

namespace lorvaxen::python {
namespace {

std::string named(const char* name, const std::string& what)
{
    return std::string(name) + ": " + what;
}

[[noreturn]] void refuse(const char* name, const std::string& what)
{
    throw py::value_error(named(name, what));
}

bool isNumber(py::handle value)
{
    return (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)) &&
           !py::isinstance<py::bool_>(value);
}

std::optional<double> optionalLength(py::handle value, const char* name)
{
    if (value.is_none()) {
        return std::nullopt;
    }
    return lengthArgument(value, name);
}

double positiveNumber(py::handle value, const char* name)
{
    if (!isNumber(value)) {
        throw py::type_error(
            named(name, "a number is needed, not " +
                            std::string(py::str(value.get_type().attr("__name__")))));
    }
    const auto number = value.cast<double>();
    if (!std::isfinite(number) || number <= 0) {
        refuse(name, "must be a finite number above 0, not " + std::string(py::repr(value)));
    }
    return number;
}

Colour colourArgument(py::handle value, const char* name, bool mayBeNone, bool* none)
{
    if (value.is_none() && mayBeNone) {
        *none = true;
        return {};
    }
    if (!py::isinstance<py::str>(value)) {
        throw py::type_error(named(name, "a colour is a string: '#rrggbb', '#rgb', 'black' or "
                                         "'white'"));
    }
    const auto text = value.cast<std::string>();
    const auto colour = colourNamed(text);
    if (!colour || (!*colour && !mayBeNone)) {
        refuse(name, "a colour is '#rrggbb', '#rgb', 'black' or 'white'" +
                         std::string(mayBeNone ? " (or 'none' or None)" : "") + ", not '" + text +
                         "'");
    }
    *none = !*colour;
    return colour->value_or(Colour{});
}

} // namespace

double lengthArgument(py::handle value, const char* name)
{
    if (isNumber(value)) {
        const auto mm = value.cast<double>();
        if (!std::isfinite(mm)) {
            refuse(name, "must be finite, not " + std::string(py::repr(value)));
        }
        return mm;
    }
    if (!py::isinstance<py::str>(value)) {
        throw py::type_error(named(name, "a length is a number of millimetres or a string such "
                                         "as '0.33mm', '13mil', '0.013in' or '1pt'"));
    }
    const auto text = value.cast<std::string>();
    const auto mm = parseLengthMm(text);
    if (!mm) {
        refuse(name, "'" + text +
                         "' is not a length: give millimetres, or mm, in, mil or pt after the "
                         "number");
    }
    return *mm;
}

LabelSettings labelSettings(const MakeArguments& a)
{
    LabelSettings settings;
    if (!py::isinstance<py::str>(a.symbology)) {
        throw py::type_error("symbology: a name such as 'code39', 'jan' or 'itf14' is needed");
    }
    const auto name = a.symbology.cast<std::string>();
    settings.barcode.symbology = findSymbology(name);
    if (settings.barcode.symbology == nullptr) {
        std::string names;
        for (const SymbologyInfo& info : symbologies()) {
            names += (names.empty() ? "" : ", ") + std::string(info.facts.name);
        }
        refuse("symbology", "unknown symbology '" + name + "': use one of " + names);
    }
    const SymbologyFacts& facts = settings.barcode.symbology->facts;
    settings.barcode.narrowMm =
        a.narrow.is_none() ? defaultNarrowMm(facts) : lengthArgument(a.narrow, "narrow");
    settings.barcode.heightMm = optionalLength(a.height, "height");
    if (!a.ratio.is_none()) {
        settings.barcode.ratio = positiveNumber(a.ratio, "ratio");
    }
    settings.barcode.check = a.check;
    settings.barcode.asGiven = a.asGiven;
    if (a.dpi < 1 || a.dpi > 10000) {
        refuse("dpi", "must be from 1 to 10000, not " + std::to_string(a.dpi));
    }
    settings.barcode.dpi = a.dpi;
    settings.barcode.quietZone = a.quietZone;
    settings.barcode.text.shown = a.humanReadable;
    settings.barcode.text.digitHeightMm = optionalLength(a.textSize, "text_size");
    if (a.rotate != 0 && a.rotate != 90 && a.rotate != 180 && a.rotate != 270) {
        refuse("rotate", "must be 0, 90, 180 or 270, not " + std::to_string(a.rotate));
    }
    settings.rotation = a.rotate;
    settings.barReductionMm = optionalLength(a.barReduction, "bar_reduction").value_or(0);
    if (settings.barReductionMm < 0 || settings.barReductionMm > kMostBarReductionMm) {
        refuse("bar_reduction",
               "must be from 0 to " + formatDecimal(kMostBarReductionMm, 0) + " mm");
    }
    settings.bearer = defaultBearer(facts);
    if (!a.bearer.is_none()) {
        if (!py::isinstance<py::str>(a.bearer)) {
            throw py::type_error("bearer: 'none', 'bars' or 'frame' is needed");
        }
        const auto name = a.bearer.cast<std::string>();
        const auto bearer = bearerNamed(name);
        if (!bearer) {
            refuse("bearer", "must be 'none', 'bars' or 'frame', not '" + name + "'");
        }
        settings.bearer = *bearer;
    }
    if (settings.bearer != Bearer::None && facts.bearerModules <= 0) {
        refuse("bearer", "bearer bars are for Interleaved 2 of 5: give symbology='itf14' or 'itf'");
    }
    bool transparent = false;
    settings.paint.ink = colourArgument(a.fg, "fg", false, &transparent);
    const Colour ground = colourArgument(a.bg, "bg", true, &transparent);
    settings.paint.background = transparent ? std::nullopt : std::optional(ground);
    if (const auto problem = contrastProblem(settings.paint)) {
        refuse("fg", *problem);
    }
    return settings;
}

VerifySettings verifySettings(const VerifyArguments& a)
{
    VerifySettings settings;
    if (!a.symbology.is_none()) {
        const auto name = py::str(a.symbology).cast<std::string>();
        if (findSymbologyFacts(name) == nullptr) {
            refuse("symbology", "unknown symbology '" + name + "'");
        }
        settings.symbology = name;
    }
    if (!a.dpi.is_none()) {
        settings.dpi = positiveNumber(a.dpi, "dpi");
        if (settings.dpi < kFewestDpi || settings.dpi > kMostDpi) {
            refuse("dpi", "must be from 25 to 100000");
        }
    }
    if (!a.aperture.is_none()) {
        settings.apertureMm = lengthArgument(a.aperture, "aperture");
    }
    if (!a.xDimension.is_none()) {
        settings.xDimensionMm = lengthArgument(a.xDimension, "x_dimension");
    }
    for (const auto& [value, name] : {std::pair{settings.apertureMm, "aperture"},
                                      std::pair{settings.xDimensionMm, "x_dimension"}}) {
        if (value != 0 && (value < kSmallestMm || value > kLargestMm)) {
            refuse(name, "must be from 0.01 to 10 mm");
        }
    }
    if (!a.light.is_none()) {
        const auto name = py::str(a.light).cast<std::string>();
        const auto light = lightNamed(name);
        if (!light) {
            refuse("light", "must be 'red', 'green', 'blue' or 'white', not '" + name + "'");
        }
        settings.light = *light;
    }
    if (a.edition != 2000 && a.edition != 2016) {
        refuse("edition", "must be 2000 or 2016, not " + std::to_string(a.edition));
    }
    settings.edition = a.edition == 2000 ? verifier::Edition::Y2000 : verifier::Edition::Y2016;
    if (!a.maxPixels.is_none()) {
        const auto most = a.maxPixels.cast<long long>();
        if (most < 1) {
            refuse("max_pixels", "must be at least 1");
        }
        settings.maxPixels = static_cast<uint64_t>(most);
    }
    return settings;
}

} // namespace lorvaxen::python
