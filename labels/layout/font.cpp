#include "font.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace lorvaxen {

struct Font::Face
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    // A face loads one glyph at a time, and the caches grow: threads that make labels at once
    // take turns with them.
    std::mutex mutex;

    Face() = default;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    ~Face()
    {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }

    // Loads the outline of `c` unscaled, in font units; false when the face has no such glyph.
    bool loadUnscaled(char c) const
    {
        return FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_NO_SCALE) == 0 &&
               face->glyph->format == FT_GLYPH_FORMAT_OUTLINE;
    }
};

namespace {

// The outline's commands as FreeType's walk gives them, in font units; each contour closed.
struct OutlineCollector
{
    std::vector<OutlineCommand> commands;

    void add(char op, std::initializer_list<const FT_Vector*> points)
    {
        OutlineCommand command{op, {}};
        std::size_t i = 0;
        for (const FT_Vector* point : points) {
            command.points[i++] = static_cast<double>(point->x);
            command.points[i++] = static_cast<double>(point->y);
        }
        commands.push_back(command);
    }
    void close()
    {
        if (!commands.empty() && commands.back().op != 'Z') {
            commands.push_back({'Z', {}});
        }
    }
    static OutlineCollector& of(void* user) { return *static_cast<OutlineCollector*>(user); }
};

int moveTo(const FT_Vector* to, void* user)
{
    OutlineCollector& outline = OutlineCollector::of(user);
    outline.close();
    outline.add('M', {to});
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    OutlineCollector::of(user).add('L', {to});
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    OutlineCollector::of(user).add('Q', {control, to});
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    OutlineCollector::of(user).add('C', {control1, control2, to});
    return 0;
}

} // namespace

Font* Font::ocrB(std::string* problem)
{
    static std::string failure;
    static const std::unique_ptr<Font> font = []() -> std::unique_ptr<Font> {
        auto face = std::make_unique<Face>();
        if (FT_Init_FreeType(&face->library) != 0 ||
            FT_New_Face(face->library, LORVAXEN_TEXT_FONT, 0, &face->face) != 0 ||
            !face->loadUnscaled('0')) {
            failure = std::string("cannot load the OCR-B font ") + LORVAXEN_TEXT_FONT +
                      " for the human-readable text (install fonts-ocr-b, or give --no-text)";
            return nullptr;
        }
        return std::unique_ptr<Font>(new Font(std::move(face)));
    }();
    if (!font) {
        *problem = failure;
    }
    return font.get();
}

Font::Font(std::unique_ptr<Face> face) : face_(std::move(face)) {}

Font::~Font() = default;

int Font::unitsPerEm() const
{
    return face_->face->units_per_EM;
}

double Font::emForDigitHeight(double digitHeightPx) const
{
    const std::lock_guard lock(face_->mutex);
    face_->loadUnscaled('0');
    FT_BBox box;
    FT_Outline_Get_CBox(&face_->face->glyph->outline, &box);
    return digitHeightPx * unitsPerEm() / static_cast<double>(box.yMax - box.yMin);
}

double Font::advance(char c, double emPx) const
{
    const std::lock_guard lock(face_->mutex);
    auto found = advances_.find(c);
    if (found == advances_.end()) {
        found =
            advances_.emplace(c, face_->loadUnscaled(c) ? face_->face->glyph->advance.x : 0).first;
    }
    return static_cast<double>(found->second) * emPx / unitsPerEm();
}

const Font::Rendered& Font::rendered(char c, long size) const
{
    const std::lock_guard lock(face_->mutex);
    const auto key = std::make_pair(c, size);
    if (const auto found = rendered_.find(key); found != rendered_.end()) {
        return found->second;
    }
    Rendered& glyph = rendered_[key];
    FT_Face face = face_->face;
    // At 72 dpi a point is a pixel; the size is in 1/64 points. Unhinted, so that the glyphs
    // keep the proportions the SVG's outlines have.
    if (FT_Set_Char_Size(face, 0, size, 72, 72) != 0 ||
        FT_Load_Char(face, static_cast<unsigned char>(c),
                     FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_TARGET_MONO) != 0 ||
        face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO || face->glyph->bitmap.pitch < 0) {
        return glyph; // nothing to paint
    }
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = static_cast<int32_t>(bitmap.width);
    glyph.rows = static_cast<int32_t>(bitmap.rows);
    glyph.pitch = bitmap.pitch;
    glyph.bits.assign(bitmap.buffer, bitmap.buffer + static_cast<std::size_t>(bitmap.pitch) *
                                                         static_cast<std::size_t>(bitmap.rows));
    return glyph;
}

void Font::draw(MonoImage& image, char c, double penX, double baselineY, double emPx) const
{
    const Rendered& glyph = rendered(c, std::lround(emPx * 64));
    const auto left = static_cast<int32_t>(std::lround(penX)) + glyph.left;
    const auto top = static_cast<int32_t>(std::lround(baselineY)) - glyph.top;
    for (int32_t row = 0; row < glyph.rows; ++row) {
        const unsigned char* bits =
            glyph.bits.data() + static_cast<std::ptrdiff_t>(row) * glyph.pitch;
        for (int32_t column = 0; column < glyph.width; ++column) {
            const int32_t x = left + column;
            const int32_t y = top + row;
            const bool black = ((bits[column / 8] >> (7 - column % 8)) & 1U) != 0;
            if (black && x >= 0 && x < image.width && y >= 0 && y < image.height) {
                image.setBlack(x, y);
            }
        }
    }
}

std::vector<OutlineCommand> Font::outline(char c) const
{
    const std::lock_guard lock(face_->mutex);
    if (!face_->loadUnscaled(c)) {
        return {};
    }
    const FT_Outline_Funcs walk{moveTo, lineTo, conicTo, cubicTo, 0, 0};
    OutlineCollector outline;
    FT_Outline_Decompose(&face_->face->glyph->outline, &walk, &outline);
    outline.close();
    return outline.commands;
}

std::string Font::outlinePath(char c) const
{
    std::string data;
    for (const OutlineCommand& command : outline(c)) {
        data += command.op;
        for (std::size_t i = 0; i < 2 * command.pointCount(); ++i) {
            data += std::to_string(std::lround(command.points[i])) + ' ';
        }
        if (command.op != 'Z') {
            data.pop_back();
        }
    }
    return data;
}

} // namespace lorvaxen
