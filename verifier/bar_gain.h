// Bar gain or loss: how much wider (or narrower) the bars print than they should, measured on the
// graded scans, as verifiers report it to the press.
#pragma once

#include <optional>

#include "verify.h"

namespace lorvaxen::verifier {

struct BarGain
{
    double px = 0;            // the average bar's width less its nominal width; negative: loss
    std::optional<double> mm; // the same in millimetres, where the resolution is known
    double modulePercent = 0; // the same in per cent of the module
    int scans = 0;            // the decoded scans it was measured on
};

struct ModuleGain
{
    double px = 0;     // the bar gain, in samples
    double module = 0; // the module it is measured against
};

// One decoded scan's bar gain in samples, its elements measured between the crossings of the
// global threshold: for a JAN, every bar's width less its whole number of modules; for Code 39,
// Interleaved 2 of 5 and NW7, whose wide elements have no nominal width a print can be held to,
// half the difference between the average narrow bar and the average narrow space, as ink that
// spreads widens each bar by what it takes from the spaces beside it. Empty when the scan did not
// decode.
std::optional<ModuleGain> scanBarGain(const ScanResult& scan);

// The mean over the decoded scans; empty when none decoded.
std::optional<BarGain> measureBarGain(const Verification& verification);

} // namespace lorvaxen::verifier
