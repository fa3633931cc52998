// The font of the form's captions: the Japanese user-interface font where it is installed, else the
// system's message font when it has a glyph for every caption.
#include "win32_form_font.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "form.h"
#include "win32_code_pages.h"

namespace mendova {
namespace {

int CALLBACK noteFontFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                           LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true; // NOLINT(performance-no-int-to-ptr)
    return 0;                               // one is enough
}

// True when the font has a glyph of its own for every character of every caption.
bool coversCaptions(HDC device, HFONT font)
{
    std::wstring characters;
    for (const ControlRow& row : kControls) {
        characters += wide(row.caption);
    }
    std::vector<WORD> glyphs(characters.size());
    HGDIOBJ kept = SelectObject(device, font);
    const DWORD mapped =
        GetGlyphIndicesW(device, characters.c_str(), static_cast<int>(characters.size()),
                         glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(device, kept);
    constexpr WORD kMissing = 0xFFFF;
    return mapped != GDI_ERROR && std::find(glyphs.begin(), glyphs.end(), kMissing) == glyphs.end();
}

} // namespace

// The form's font, in the Japanese user-interface font. A Windows without it (and a
// fresh Wine prefix) would put a font of its choosing in its place, one that may lack even the
// Latin captions' glyphs, so there the system's own user-interface font (its message font) is taken
// instead: asked for with the Japanese character set of the captions, which gives that face or a
// Japanese one of the system's, if what comes has every caption's glyphs; else as it is, which
// shows the Latin captions and leaves the rest to the system's links.
HFONT makeFormFont(int height)
{
    constexpr wchar_t kJapaneseFace[] = L"MS UI Gothic";
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::copy(std::begin(kJapaneseFace), std::end(kJapaneseFace), std::begin(wanted.lfFaceName));
    bool installed = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, noteFontFound,
                        reinterpret_cast<LPARAM>(&installed), // NOLINT
                        0);
    HFONT font = nullptr;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (installed) {
        font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           kJapaneseFace);
    } else if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) !=
               FALSE) {
        LOGFONTW face = metrics.lfMessageFont;
        face.lfHeight = height;
        face.lfWidth = 0;
        LOGFONTW japanese = face;
        japanese.lfCharSet = SHIFTJIS_CHARSET;
        font = CreateFontIndirectW(&japanese);
        if (font != nullptr && !coversCaptions(screen, font)) {
            DeleteObject(font);
            font = CreateFontIndirectW(&face);
        }
    }
    ReleaseDC(nullptr, screen);
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace mendova
