#include "core/code_page.h"

namespace runlens {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The character that begins at `at`, and how many bytes it takes; one byte for U+FFFD where
// no valid sequence begins. Overlong forms, surrogates and values past U+10FFFF are not valid.
char32_t DecodeUtf8(std::string_view utf8, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    length = 1;
    if (lead < 0x80)
        return lead;
    std::size_t count = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
    } else {
        return kReplacement;
    }
    // The smallest value each length may carry; a smaller one is an overlong form.
    constexpr char32_t kLowest[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t value = lead & (0x7F >> count);
    if (utf8.size() - at < count)
        return kReplacement;
    for (std::size_t i = 1; i < count; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[at + i]);
        if (!IsContinuation(byte))
            return kReplacement;
        value = value << 6 | (byte & 0x3F);
    }
    if (value < kLowest[count] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return kReplacement;
    length = count;
    return value;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string Utf8FromAnsi(const CodePage& ansi, std::string_view text) {
    return Utf8FromUtf16(ansi.ToUtf16(text));
}

std::string AnsiFromUtf8(const CodePage& ansi, std::string_view utf8) {
    return ansi.FromUtf16(Utf16FromUtf8(utf8));
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0, length = 0; at < utf8.size(); at += length) {
        const char32_t c = DecodeUtf8(utf8, at, length);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 | (c - 0x10000) >> 10);
            out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
        }
    }
    return out;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        // A U+FFFD of the text itself takes three bytes.
        if (DecodeUtf8(text, at, length) == kReplacement && length == 1)
            return false;
    }
    return true;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace runlens
