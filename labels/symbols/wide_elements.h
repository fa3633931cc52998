// The wide elements of a two-width symbology as they are drawn: in whole pixels of the module,
// within the ratios its standard allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <lorvaxen/symbology_facts.h>

namespace lorvaxen {

// The library truncates a wide element to whole pixels of the module, so the ratio drawn is not
// always the ratio asked for.
struct RatioChoice
{
    double requested = 0;
    int32_t narrowPx = 0;
    int32_t widePx = 0;      // 0 where no ratio applies (JAN), or for one the library refuses
    double libraryRatio = 0; // what the library is given, so that its truncation yields `widePx`
    std::optional<std::string> warning; // what was asked for is not what the standard allows
    std::string problem; // no whole-pixel wide element is within the standard's range

    double drawn() const { return narrowPx > 0 ? static_cast<double>(widePx) / narrowPx : 0; }
};

// The wide width for `ratio` at a module of `narrowPx` pixels (`moduleMm` millimetres): as the
// library draws it in whole dots (or for an exact module, the nearest whole pixel); when that is
// outside the ratios the standard allows, the nearest width inside them, with a warning.
// `framedLength` tells an ITF-14 from the others.
RatioChoice chooseRatio(const SymbologyFacts& symbology, double ratio, int32_t narrowPx,
                        double moduleMm, std::size_t framedLength, bool exact);

// The pixels per module of a module drawn exactly: at least `leastDots`, and where the wide
// elements need more to come to whole pixels within a ten-thousandth of a millimetre of their
// width (a ratio of 2.2 needs a multiple of five), the first number that gives them, as long as
// the drawing stays within a budget of pixels.
// What the size of a drawing follows: its characters and its bars' height.
struct DrawingSize
{
    std::size_t characters = 0;
    double heightMm = 0;
};

int32_t exactModuleDots(const SymbologyFacts& symbology, int32_t leastDots, double narrowMm,
                        double ratio, std::size_t framedLength, DrawingSize size);

} // namespace lorvaxen
