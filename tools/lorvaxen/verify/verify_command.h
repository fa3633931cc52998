// lorvaxen verify IMAGE: the command line that asks for a barcode in an image file to be graded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "reflectance_image.h"

namespace lorvaxen::tool {

constexpr std::string_view kVerifyCommand = "verify";
// The exit status of a symbol graded below --min-grade.
constexpr int kExitBelowMinimum = 3;

// What `lorvaxen verify` was asked, as its options fill it in.
struct VerifyRequest
{
    std::string image; // a file, or "-" for standard input
    std::string symbology;
    std::string plot;
    std::string report; // a one-page report: PDF, PNG or SVG by its extension
    bool json = false;
    uint64_t maxPixels = verifier::ReadOptions{}.maxPixels;
    std::string light = "red";
    double dpi = 0;
    double apertureMm = 0;
    double xDimensionMm = 0;
    std::string edition = "2016";
    double minGrade = -1; // below 0: any grade passes
};

// Adds the `verify` subcommand with all its options to `parent`; once `parent` has parsed a
// command line in which the subcommand was given (`parsed()`), `request` holds what it asks.
CLI::App* addVerifyCommand(CLI::App& parent, VerifyRequest& request);

} // namespace lorvaxen::tool
