// The call frame that the four barcode functions share: clear the outputs, check the length, fold
// the case, check the characters, encode, deliver the framed text, paint.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "symbol_table.h"

namespace lorvaxen {

// The ten arguments of every barcode function. `text` is written only by the symbologies that
// fold its case.
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
// or a refusal code when framing finds nothing to encode.
struct Encoded
{
    int32_t refusal = 0;
    std::string framedText;
    std::string elementPattern;
};

enum class CaseFolding { None, Upper, Lower };

// What sets one symbology apart within the common frame.
struct Symbology
{
    bool (*acceptsLength)(std::size_t length);
    int32_t lengthCode;  // returned when the length is refused
    CaseFolding folding; // applied in the caller's buffer, before the characters are checked
    SymbolTable charset; // rows that a character must match
    int32_t charsetCode; // returned when a character matches none
    Encoded (*encode)(std::string_view text, int32_t checkFlag);
    std::optional<double> renderRatio; // replaces the caller's ratio when set
};

// Runs one barcode call. Never throws: scratch memory that cannot be had answers -3 with the
// outputs as cleared.
int32_t runBarcodeCall(const Symbology& symbology, const BarcodeRequest& request) noexcept;

// Appends the pattern of the table row of each character; every character must be in the table.
void appendSymbolPatterns(std::string& pattern, std::string_view text, SymbolTable rows);

} // namespace lorvaxen
