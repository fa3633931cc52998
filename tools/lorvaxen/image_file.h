// Image files: the format a name asks for, and writing that never leaves half a file behind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "mono_image.h"

namespace lorvaxen::tool {

enum class ImageFormat { Png, Svg, Pbm, Bmp };

// The format named by the extension of `path`, in any case; "-" (standard output) is PNG.
std::optional<ImageFormat> formatFromPath(std::string_view path);
std::string_view formatName(ImageFormat format);

// Writes the image to `path`, or to standard output for "-". A file is written under a
// temporary name in its own directory and renamed over `path` only once it is complete, so a
// failure leaves neither a partial file nor a damaged earlier one. Returns what went wrong, or
// an empty text on success.
std::string writeImageFile(const MonoImage& image, ImageFormat format, const std::string& path);

} // namespace lorvaxen::tool
