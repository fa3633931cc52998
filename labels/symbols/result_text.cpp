// The library's result codes in plain words, with the symbology named as people know it.
#include <string>
#include <string_view>

#include "barcode.h"

namespace lorvaxen {

std::string_view describeResult(int32_t code)
{
    switch (code) {
    case LORVAXEN_OK:
        return "success";
    case LORVAXEN_NO_BITBLT:
        return "the device cannot copy bitmaps (no BitBlt), or no memory device context could be "
               "made";
    case LORVAXEN_BAD_DIMENSION:
        return "a dimension is refused: the narrow width and the height must be above 0 and the "
               "ratio at least 1, and the symbol must fit in 32-bit pixel counts";
    case LORVAXEN_NO_BITMAP:
        return "no bitmap could be made (not enough memory for this size)";
    case LORVAXEN_JAN_LENGTH:
        return "a JAN needs 12 or 13 digits";
    case LORVAXEN_JAN_CHARSET:
        return "a character is not a digit (a JAN takes digits only)";
    case LORVAXEN_CODE39_EMPTY:
        return "the text is empty, or nothing but asterisks (Code 39)";
    case LORVAXEN_CODE39_CHARSET:
        return "a character is not a Code 39 symbol";
    case LORVAXEN_I2OF5_EMPTY:
        return "the text is empty (Interleaved 2 of 5)";
    case LORVAXEN_I2OF5_CHARSET:
        return "a character is not a digit (Interleaved 2 of 5 takes digits only)";
    case LORVAXEN_NW7_EMPTY:
        return "the text is empty (NW7)";
    case LORVAXEN_NW7_CHARSET:
        return "a character is not an NW7 symbol";
    default:
        return "an unknown result code";
    }
}

std::string describeResult(const SymbologyFacts& symbology, int32_t code)
{
    // The library knows its four symbologies; a UPC-A, an ITF-14 or a Codabar is named as itself.
    const std::string title(symbology.title);
    const std::string article = title.starts_with("ITF") ? "an " : "a ";
    switch (code) {
    case LORVAXEN_JAN_CHARSET:
        return "a character is not a digit (" + article + title + " takes digits only)";
    case LORVAXEN_I2OF5_EMPTY:
    case LORVAXEN_NW7_EMPTY:
        return "the text is empty (" + title + ")";
    case LORVAXEN_I2OF5_CHARSET:
        return "a character is not a digit (" + title + " takes digits only)";
    case LORVAXEN_NW7_CHARSET:
        return "a character is not a" + std::string(title.starts_with("NW7") ? "n " : " ") + title +
               " symbol";
    case LORVAXEN_NO_BITMAP:
        return std::string(describeResult(code)) +
               ": give a smaller --narrow or --height, a lower --dpi, or a shorter text";
    default:
        return std::string(describeResult(code));
    }
}

} // namespace lorvaxen
