// Whether a label's colours give its bars the contrast a scanner needs.
#pragma once

#include <optional>
#include <string>

#include "mono_image.h"

namespace lorvaxen {

// The symbol contrast a verifier measures of these colours under red light, in per cent: the
// background's reflectance less the bars'. A transparent background is the white paper under it.
double symbolContrast(const Paint& paint);

// A refusal of colours that no scanner reads: bars no darker than the background, or a symbol
// contrast that fails (below 20%, grade F).
std::optional<std::string> contrastProblem(const Paint& paint);
// A warning for a contrast that passes but grades D (below 40%), under what most applications
// ask for.
std::optional<std::string> contrastWarning(const Paint& paint);

} // namespace lorvaxen
