// Text between the form's UTF-8 and the Windows wide characters or a code page's bytes.
#include "win32_code_pages.h"

#include <cstddef>

namespace mendova {

std::wstring wide(const std::string& text, UINT codePage)
{
    const int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), converted.data(),
                        length);
    return converted;
}

std::string narrow(const std::wstring& text, UINT codePage)
{
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), converted.data(),
                        length, nullptr, nullptr);
    return converted;
}

} // namespace mendova
