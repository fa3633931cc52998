#include "writers.h"

namespace lorvaxen {

// A P4 bitmap keeps 1 for black in rows padded to whole bytes, as the image does, so the rows go
// out as they are. The format has no resolution field; a comment records it for readers.
bool writePbm(const MonoImage& image, std::FILE* file)
{
    std::fprintf(file, "P4\n# %d dpi\n%d %d\n", image.dpi, image.width, image.height);
    for (int32_t y = 0; y < image.height; ++y) {
        std::fwrite(image.row(y), 1, image.rowBytes(), file);
    }
    return std::fflush(file) == 0 && std::ferror(file) == 0;
}

} // namespace lorvaxen
