#include "report_font.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace lorvaxen {
namespace {

// One face of the font, kept for the life of the process: cairo may hold a face in its caches
// until the end, so neither the face nor the FreeType library is ever released.
cairo_font_face_t* loadFace(FT_Library library, const char* path, std::string* problem)
{
    FT_Face face = nullptr;
    if (library == nullptr || FT_New_Face(library, path, 0, &face) != 0) {
        *problem = std::string("cannot read the report's font ") + path +
                   ": install Debian's fonts-dejavu-core";
        return nullptr;
    }
    return cairo_ft_font_face_create_for_ft_face(face, 0);
}

struct LoadedFonts
{
    FT_Library library = nullptr;
    ReportFonts fonts;
    std::string problem;
};

LoadedFonts load()
{
    LoadedFonts loaded;
    if (FT_Init_FreeType(&loaded.library) != 0) {
        loaded.problem = "cannot start FreeType to draw the report's text";
        return loaded;
    }
    loaded.fonts.regular = loadFace(loaded.library, LORVAXEN_REPORT_FONT, &loaded.problem);
    loaded.fonts.bold = loadFace(loaded.library, LORVAXEN_REPORT_BOLD_FONT, &loaded.problem);
    return loaded;
}

} // namespace

ReportFonts reportFonts(std::string* problem)
{
    static const LoadedFonts loaded = load();
    if (loaded.fonts.regular == nullptr || loaded.fonts.bold == nullptr) {
        *problem = loaded.problem;
        return {};
    }
    return loaded.fonts;
}

} // namespace lorvaxen
