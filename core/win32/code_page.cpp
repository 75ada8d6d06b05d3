#include "core/win32/code_page.h"

#include <windows.h>

#include "core/win32/text.h"

namespace runlens {

std::u16string Win32CodePage::ToUtf16(std::string_view text) const {
    return std::u16string(AsUtf16(WideFromAnsi(text)));
}

std::string Win32CodePage::FromUtf16(std::u16string_view text) const {
    return AnsiFromWide(AsWide(text));
}

bool Win32CodePage::IsLeadByte(unsigned char byte) const {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

std::string Win32CodePage::Upper(std::string_view text) const {
    std::string upper(text);
    if (!upper.empty() && upper.size() <= MAXDWORD)
        ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

}  // namespace runlens
