// lorvaxen verify IMAGE: grades the print quality of a barcode in an image file.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "reflectance_image.h"

namespace lorvaxen::tool {

constexpr std::string_view kVerifyCommand = "verify";

// What `lorvaxen verify` was asked, as its options fill it in.
struct VerifyRequest
{
    std::string image; // a file, or "-" for standard input
    std::string symbology;
    std::string plot;
    bool json = false;
    uint64_t maxPixels = verifier::ReadOptions{}.maxPixels;
    std::string light = "red";
    double dpi = 0;
    double apertureMm = 0;
    double xDimensionMm = 0;
    std::string edition = "2016";
};

// Adds the `verify` subcommand with all its options to `parent`; once `parent` has parsed a
// command line in which the subcommand was given (`parsed()`), `request` holds what it asks.
CLI::App* addVerifyCommand(CLI::App& parent, VerifyRequest& request);

// Grades the image; returns the exit status: 0 graded, 1 the image could not be read or holds no
// barcode, or the plot could not be written.
int runVerifyRequest(const VerifyRequest& request, std::ostream& out, std::ostream& err);

} // namespace lorvaxen::tool
