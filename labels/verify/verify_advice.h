// What a person should change, in words, after `lorvaxen verify` has graded a symbol.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bar_gain.h"
#include "verify.h"

namespace lorvaxen {

struct Advice
{
    std::optional<verifier::BarGain> barGain;
    // The bar width reduction to make the labels with, in millimetres; 0 when none is called for.
    double barReductionMm = 0;
    std::vector<std::string> sentences;
};

// The bar gain and what to do about it, and what the worst scan's lowest parameter asks for.
Advice adviseOn(const verifier::Verification& verification);

// "bars print 0.085 mm too wide (25% of the module)", or in pixels where the resolution is
// unknown.
std::string barGainText(const verifier::BarGain& gain);

} // namespace lorvaxen
