// The image formats a label is written in, to an open file or to memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "label.h"

namespace lorvaxen {

enum class ImageFormat { Png, Svg, Pbm, Bmp, Pdf, Eps };

// SVG, PDF and EPS: drawn, not made of pixels, so any module in millimetres can be exact.
bool isVector(ImageFormat format);

// The format named by the extension of `path`, in any case; "-" (standard output) is PNG.
std::optional<ImageFormat> formatFromPath(std::string_view path);
std::string_view formatName(ImageFormat format);

// Writes the label in the format to an open file: false when the file cannot take it, with errno
// telling why where the system knows.
bool writeImage(const Label& label, ImageFormat format, std::FILE* file);

// The file's bytes, in memory; empty when the label could not be encoded or the memory had.
std::optional<std::vector<uint8_t>> imageBytes(const Label& label, ImageFormat format);

} // namespace lorvaxen
