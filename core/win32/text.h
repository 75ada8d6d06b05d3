// Conversions between the program's 8-bit texts and the UTF-16 texts of the wide Win32 calls,
// for the adapters at those calls. Portable code asks the code page through CodePage
// (core/win32/code_page.h answers for the system).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/ansi_text.h"

namespace runlens {

std::wstring ToWide(UINT codePage, std::string_view text);
// As the system converts its own texts: where the code page lacks a character, a look-alike
// ("best fit") stands in when the code page has one.
std::string ToNarrow(UINT codePage, std::wstring_view text);

// A text of the system in the ANSI code page, converted without look-alikes.
AnsiText ExactAnsiFromWide(std::wstring_view text);

// The program's own texts are UTF-8; texts of the system (paths, messages) are ANSI.
inline std::wstring WideFromUtf8(std::string_view text) {
    return ToWide(CP_UTF8, text);
}
inline std::wstring WideFromAnsi(std::string_view text) {
    return ToWide(CP_ACP, text);
}
inline std::string AnsiFromWide(std::wstring_view text) {
    return ExactAnsiFromWide(text).text;
}

// Portable code holds wide texts as UTF-16; on Windows wchar_t is the same thing.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string_view AsUtf16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

}  // namespace runlens
