#include "core/win32/text.h"

#include <climits>

namespace runlens {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string ToNarrow(UINT codePage, std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr,
                          nullptr);
    return narrow;
}

AnsiText ExactAnsiFromWide(std::wstring_view text) {
    if (text.empty())
        return {};
    if (text.size() > INT_MAX)
        return {{}, false};
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int needed = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                             nullptr, 0, nullptr, &usedDefault);
    if (needed <= 0)
        return {{}, false};
    AnsiText ansi{std::string(static_cast<std::size_t>(needed), '\0'), true};
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.text.data(),
                          needed, nullptr, &usedDefault);
    // Some code pages map a character without the default character and still cannot give it
    // back: only a text that comes back unchanged is exact.
    ansi.exact = !usedDefault && WideFromAnsi(ansi.text) == text;
    return ansi;
}

}  // namespace runlens
