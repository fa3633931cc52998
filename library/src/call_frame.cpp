#include "call_frame.h"

#include <cstring>
#include <span>

#include "encoders.h"
#include "renderer.h"

namespace lorvaxen::detail {
namespace {

template <class T> void store(T* out, T value)
{
    if (out != nullptr) {
        *out = value;
    }
}

void clearOutputs(const BarcodeRequest& request)
{
    store(request.outWidthPx, 0);
    store(request.outHeightPx, 0);
    if (request.outText != nullptr) {
        request.outText[0] = '\0';
    }
}

} // namespace

int32_t admit(const TextRules& rules, std::span<char> text) noexcept
{
    if (!rules.acceptsLength(text.size())) {
        return rules.lengthCode;
    }
    for (char& c : text) {
        if (rules.folding == CaseFolding::Upper && c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (rules.folding == CaseFolding::Lower && c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return rules.charset.containsAll(std::string_view(text.data(), text.size()))
               ? 0
               : rules.charsetCode;
}

bool isNotEmpty(std::size_t length)
{
    return length >= 1;
}

AdmittedText admitText(const TextRules& rules, const BarcodeRequest& request) noexcept
{
    clearOutputs(request);
    const std::size_t length = request.text == nullptr ? 0 : std::strlen(request.text);
    // The case is folded in the caller's buffer: the caller gets its text back as the symbol
    // holds it. A symbology that folds nothing never writes there.
    const int32_t refusal = admit(rules, std::span<char>(request.text, length));
    return {refusal, refusal != 0 ? std::string_view() : std::string_view(request.text, length)};
}

int32_t deliverAndPaint(const BarcodeRequest& request, const char* framedText,
                        const char* elementPattern, double ratio) noexcept
{
    if (request.outText != nullptr) {
        std::memcpy(request.outText, framedText, std::strlen(framedText) + 1);
    }
    const Rendering rendering = renderElementPattern(request.hdc, elementPattern, request.narrowMm,
                                                     request.heightMm, ratio);
    store(request.outWidthPx, rendering.widthPx);
    store(request.outHeightPx, rendering.heightPx);
    if (rendering.bitmap != nullptr && request.outBitmap == nullptr) {
        DeleteObject(rendering.bitmap); // nobody could ever release it
    } else if (rendering.bitmap != nullptr) {
        *request.outBitmap = rendering.bitmap;
    }
    return rendering.code;
}

} // namespace lorvaxen::detail

namespace lorvaxen {

Encoding encode(Symbology symbology, std::string_view text, int32_t checkFlag) noexcept
{
    switch (symbology) {
    case Symbology::Jan:
        return detail::encodeWith(detail::kJan, text, checkFlag);
    case Symbology::Code39:
        return detail::encodeWith(detail::kCode39, text, checkFlag);
    case Symbology::I2of5:
        return detail::encodeWith(detail::kI2of5, text, checkFlag);
    case Symbology::Nw7:
        break;
    }
    return detail::encodeWith(detail::kNw7, text, checkFlag);
}

Rendering render(HDC hdc, const Encoding& encoding, double narrowMm, double heightMm,
                 double ratio) noexcept
{
    return detail::renderElementPattern(hdc, encoding.elementPattern, narrowMm, heightMm,
                                        encoding.fixedRatio.value_or(ratio));
}

} // namespace lorvaxen
