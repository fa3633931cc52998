// The call frame that the four barcode functions share: clear the outputs, check the length, fold
// the case, check the characters, encode, deliver the framed text, paint.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

#include <Lorvaxen.h>
#include <lorvaxen/symbols.h>
#include <windows.h>

#include "symbol_table.h"

namespace lorvaxen::detail {

// The ten arguments of every barcode function. `text` is written only by the symbologies that
// fold its case; the others never write through it.
struct BarcodeRequest
{
    HDC hdc;
    HBITMAP* outBitmap;
    char* text;
    int32_t* outWidthPx;
    int32_t* outHeightPx;
    char* outText;
    double narrowMm;
    double heightMm;
    double ratio;
    int32_t checkFlag;
};

// What an encoder makes of a valid text: the human-readable framed text and the element pattern,
// or a refusal code when framing finds nothing to encode. Its texts grow with the caller's text.
struct Encoded
{
    int32_t refusal = 0;
    std::string framedText;
    std::string elementPattern;
};

// Any result of an encoder: a refusal code and the two texts, each NUL-terminated at data(). An
// encoder of fixed-length symbols keeps them in fixed buffers and so takes no heap memory.
template <class T>
concept EncodedSymbol = requires(const T& encoded)
{
    {
        encoded.refusal
        } -> std::convertible_to<int32_t>;
    {
        encoded.framedText.data()
        } -> std::convertible_to<const char*>;
    {
        encoded.elementPattern.data()
        } -> std::convertible_to<const char*>;
};

enum class CaseFolding { None, Upper, Lower };

// Which texts a symbology takes, and the codes that refuse the others.
struct TextRules
{
    bool (*acceptsLength)(std::size_t length);
    int32_t lengthCode;       // returned when the length is refused
    CaseFolding folding;      // applied in the caller's buffer, before the characters are checked
    const SymbolSet& charset; // the symbols a character must be one of
    int32_t charsetCode;      // returned when a character matches none
};

// The length rule of the symbologies that take a text of any length but the empty one.
bool isNotEmpty(std::size_t length);

// What sets one symbology apart within the common frame.
template <EncodedSymbol Encoding> struct SymbologyCode
{
    TextRules rules;
    Encoding (*encode)(std::string_view text, int32_t checkFlag);
    std::optional<double> renderRatio; // replaces the caller's ratio when set
};

// Checks the length, folds the case in place and checks the characters: 0, or the code that
// refuses the text. Folding follows the "C" locale whatever the process's locale: only the ASCII
// letters change.
int32_t admit(const TextRules& rules, std::span<char> text) noexcept;

// The C++ face of one symbology: the length, the case folded on a copy, the characters, then the
// encoder. Never throws: scratch memory that cannot be had answers -3.
template <EncodedSymbol Encoding>
lorvaxen::Encoding encodeWith(const SymbologyCode<Encoding>& code, std::string_view text,
                              int32_t checkFlag) noexcept
{
    lorvaxen::Encoding result;
    try {
        std::string folded(text);
        result.code = admit(code.rules, folded);
        if (result.code != 0) {
            return result;
        }
        Encoding encoded = code.encode(folded, checkFlag);
        if (encoded.refusal != 0) {
            result.code = encoded.refusal;
            return result;
        }
        if constexpr (std::is_same_v<Encoding, Encoded>) {
            result.framedText = std::move(encoded.framedText);
            result.elementPattern = std::move(encoded.elementPattern);
        } else {
            result.framedText = encoded.framedText.data();
            result.elementPattern = encoded.elementPattern.data();
        }
        result.fixedRatio = code.renderRatio;
    } catch (...) { // out of memory for the working texts
        return {LORVAXEN_NO_BITMAP, {}, {}, {}};
    }
    return result;
}

// The text of a call once it has passed its symbology's rules, or the code that refused it.
struct AdmittedText
{
    int32_t refusal = 0;
    std::string_view text;
};

// Clears the outputs, then checks the length, folds the case in the caller's buffer (the caller
// gets its text back in the case the symbol holds) and checks the characters.
AdmittedText admitText(const TextRules& rules, const BarcodeRequest& request) noexcept;

// Copies the framed text to the caller, then paints the element pattern; returns the renderer's
// code.
int32_t deliverAndPaint(const BarcodeRequest& request, const char* framedText,
                        const char* elementPattern, double ratio) noexcept;

// Runs one C call over the same symbology code as the C++ `encode` and `render`, but with the
// encoder's own result: JAN's fixed buffers keep its calls free of heap memory. Never throws:
// scratch memory that cannot be had answers -3 with the outputs as cleared.
template <EncodedSymbol Encoding>
int32_t runBarcodeCall(const SymbologyCode<Encoding>& code, const BarcodeRequest& request) noexcept
{
    const AdmittedText admitted = admitText(code.rules, request);
    if (admitted.refusal != 0) {
        return admitted.refusal;
    }
    Encoding encoded;
    try {
        encoded = code.encode(admitted.text, request.checkFlag);
    } catch (...) { // out of memory for the working texts; nothing has been written yet
        return LORVAXEN_NO_BITMAP;
    }
    if (encoded.refusal != 0) {
        return encoded.refusal;
    }
    return deliverAndPaint(request, encoded.framedText.data(), encoded.elementPattern.data(),
                           code.renderRatio.value_or(request.ratio));
}

// Appends the pattern of the row of each character of `text`, every pattern `Width` elements long;
// a character without a row, which a checked text never holds, adds nothing.
template <std::size_t Width>
void appendSymbolPatterns(std::string& pattern, std::string_view text, const SymbolSet& symbols)
{
    std::size_t out = pattern.size();
    pattern.resize(out + text.size() * Width);
    for (const char c : text) {
        if (const SymbolTableRow* row = symbols.find(c)) {
            std::memcpy(pattern.data() + out, row->pattern.data(), Width);
            out += Width;
        }
    }
    pattern.resize(out);
}

} // namespace lorvaxen::detail
