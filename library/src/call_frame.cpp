#include "call_frame.h"

#include <cstring>
#include <span>

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

bool isNotEmpty(std::size_t length)
{
    return length >= 1;
}

AdmittedText admitText(const TextRules& rules, const BarcodeRequest& request) noexcept
{
    clearOutputs(request);
    const std::size_t length = request.text == nullptr ? 0 : std::strlen(request.text);
    if (!rules.acceptsLength(length)) {
        return {rules.lengthCode, {}};
    }
    if (rules.folding != CaseFolding::None) {
        foldCase(std::span<char>(request.text, length), rules.folding);
    }
    const std::string_view text(request.text, length);
    if (CheckCharset(text, rules.charset) != 0) {
        return {rules.charsetCode, {}};
    }
    return {0, text};
}

int32_t deliverAndPaint(const BarcodeRequest& request, const char* framedText,
                        const char* elementPattern, double ratio) noexcept
{
    if (request.outText != nullptr) {
        std::memcpy(request.outText, framedText, std::strlen(framedText) + 1);
    }
    return RenderElementPattern(request.hdc, request.outBitmap, request.outWidthPx,
                                request.outHeightPx, elementPattern, request.narrowMm,
                                request.heightMm, ratio);
}

void appendSymbolPatterns(std::string& pattern, std::string_view text, SymbolTable rows)
{
    for (const char c : text) {
        pattern += rows[static_cast<std::size_t>(FindSymbolRow(rows, c))].pattern;
    }
}

} // namespace lorvaxen
