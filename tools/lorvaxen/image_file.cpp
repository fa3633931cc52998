#include "image_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "writers.h"

namespace lorvaxen::tool {
namespace {

bool writeFormat(const MonoImage& image, ImageFormat format, std::FILE* file)
{
    switch (format) {
    case ImageFormat::Png:
        return writePng(image, file);
    case ImageFormat::Svg:
        return writeSvg(image, file);
    case ImageFormat::Pbm:
        return writePbm(image, file);
    case ImageFormat::Bmp:
        return writeBmp(image, file);
    }
    return false;
}

std::string failure(const std::string& path, int error)
{
    return "cannot write " + path + ": " +
           (error != 0 ? std::strerror(error) : "the image could not be encoded");
}

// mkstemp makes its file readable by the owner alone; the finished file gets the permissions
// any new file of this user would have.
void giveUsualPermissions(int fd)
{
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, static_cast<mode_t>(0666) & ~mask);
}

} // namespace

std::optional<ImageFormat> formatFromPath(std::string_view path)
{
    if (path == "-") {
        return ImageFormat::Png;
    }
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    for (const ImageFormat format :
         {ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pbm, ImageFormat::Bmp}) {
        if (extension == formatName(format)) {
            return format;
        }
    }
    return std::nullopt;
}

std::string_view formatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png:
        return "png";
    case ImageFormat::Svg:
        return "svg";
    case ImageFormat::Pbm:
        return "pbm";
    case ImageFormat::Bmp:
        return "bmp";
    }
    return "";
}

std::string writeImageFile(const MonoImage& image, ImageFormat format, const std::string& path)
{
    if (path == "-") {
        errno = 0;
        return writeFormat(image, format, stdout) ? "" : failure("to standard output", errno);
    }
    const std::filesystem::path target(path);
    if (!target.has_filename()) {
        return failure(path, EISDIR);
    }
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return failure(path, errno);
    }
    giveUsualPermissions(fd);
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        unlink(temporary.c_str());
        return failure(path, error);
    }
    errno = 0;
    bool written = writeFormat(image, format, file);
    int error = errno;
    // On disk before it takes the place of an earlier file, so a crash leaves one or the other.
    if (written && fsync(fileno(file)) != 0) {
        written = false;
        error = errno;
    }
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        return failure(path, error);
    }
    return "";
}

} // namespace lorvaxen::tool
