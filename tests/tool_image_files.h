// Readers for the image files that the command-line tool writes, kept apart from its writers so
// that a fault in one is not hidden by the same fault in the other.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "gdi_test.h"

namespace lorvaxen::test {

struct ImageFile
{
    Pixels pixels;
    uint32_t xPerMetre = 0; // PNG pHYs or BMP resolution; 0 when the file has none
    uint32_t yPerMetre = 0;
    int bitDepth = 0;
    double widthMm = 0; // SVG only
    double heightMm = 0;
};

// Empty when the file is not a well-formed image of its kind; PNG and BMP must be 1-bit.
std::optional<ImageFile> readPng(const std::filesystem::path& path);
std::optional<ImageFile> readBmp(const std::filesystem::path& path);
std::optional<ImageFile> readPbm(const std::filesystem::path& path);
// Rasterises the rectangles drawn in black over the white background; needs shape-rendering
// "crispEdges" and a width and height in millimetres.
std::optional<ImageFile> readSvg(const std::filesystem::path& path);

std::string readText(const std::filesystem::path& path);

} // namespace lorvaxen::test
