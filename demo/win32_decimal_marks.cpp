// Numbers as the user writes them: with the decimal mark of the user's locale.
#include "win32_decimal_marks.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <system_error>

#include <windows.h>

#include "win32_code_pages.h"

namespace mendova {

// The user's decimal mark; numbers are written and read with it in place of the point.
std::string decimalMark()
{
    std::array<wchar_t, 8> mark{};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, mark.data(),
                       static_cast<int>(mark.size())) == 0) {
        return ".";
    }
    return narrow(mark.data());
}

std::string formatLocalNumber(double value)
{
    std::array<char, 32> digits{};
    std::snprintf(digits.data(), digits.size(), "%g", value);
    std::string text = digits.data();
    if (const std::size_t point = text.find('.'); point != std::string::npos) {
        text.replace(point, 1, decimalMark());
    }
    return text;
}

std::optional<double> readLocalNumber(const std::string& text)
{
    std::string plain = text;
    const std::string mark = decimalMark();
    if (mark != "." && plain.find('.') != std::string::npos) {
        return std::nullopt; // a point is no decimal mark here
    }
    if (const std::size_t at = plain.find(mark); at != std::string::npos) {
        plain.replace(at, mark.size(), ".");
    }
    double value = 0;
    const char* end = plain.data() + plain.size();
    const auto [stop, error] = std::from_chars(plain.data(), end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace mendova
