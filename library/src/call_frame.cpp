#include "call_frame.h"

#include <cstring>
#include <span>

#include <Lorvaxen.h>

#include "renderer.h"

namespace lorvaxen {
namespace {

void clearOutputs(const BarcodeRequest& request)
{
    if (request.outWidthPx != nullptr) {
        *request.outWidthPx = 0;
    }
    if (request.outHeightPx != nullptr) {
        *request.outHeightPx = 0;
    }
    if (request.outText != nullptr) {
        request.outText[0] = '\0';
    }
}

// Folding follows the "C" locale whatever the process's locale: only the ASCII letters change.
void foldCase(std::span<char> text, CaseFolding folding)
{
    for (char& c : text) {
        if (folding == CaseFolding::Upper && c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (folding == CaseFolding::Lower && c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

} // namespace

int32_t runBarcodeCall(const Symbology& symbology, const BarcodeRequest& request) noexcept
{
    clearOutputs(request);
    const std::size_t length = request.text == nullptr ? 0 : std::strlen(request.text);
    if (!symbology.acceptsLength(length)) {
        return symbology.lengthCode;
    }
    foldCase(std::span<char>(request.text, length), symbology.folding);
    const std::string_view text(request.text, length);
    if (CheckCharset(text, symbology.charset) != 0) {
        return symbology.charsetCode;
    }

    Encoded encoded;
    try {
        encoded = symbology.encode(text, request.checkFlag);
    } catch (...) { // out of memory for the working texts; nothing has been written yet
        return LORVAXEN_NO_BITMAP;
    }
    if (encoded.refusal != 0) {
        return encoded.refusal;
    }
    if (request.outText != nullptr) {
        std::memcpy(request.outText, encoded.framedText.c_str(), encoded.framedText.size() + 1);
    }
    return RenderElementPattern(request.hdc, request.outBitmap, request.outWidthPx,
                                request.outHeightPx, encoded.elementPattern.c_str(),
                                request.narrowMm, request.heightMm,
                                symbology.renderRatio.value_or(request.ratio));
}

void appendSymbolPatterns(std::string& pattern, std::string_view text, SymbolTable rows)
{
    for (const char c : text) {
        pattern += rows[static_cast<std::size_t>(FindSymbolRow(rows, c))].pattern;
    }
}

} // namespace lorvaxen
