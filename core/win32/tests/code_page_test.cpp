// The ANSI code page as the portable code sees it, against the code page's own tables: 1252 in
// the English run, 932 in the Japanese one.
#include "core/win32/code_page.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/win32/text.h"

namespace runlens {
namespace {

struct ConversionCase {
    const char16_t* text;
    const char* cp1252;  // "?" where the code page lacks a character
    const char* cp932;
};

constexpr ConversionCase kConversions[] = {
    {u"C:\\Windows\\svchost.exe", "C:\\Windows\\svchost.exe", "C:\\Windows\\svchost.exe"},
    {u"Caf\u00E9 \u00AE", "Caf\xE9 \xAE", "Caf? ?"},
    {u"\u30D7\u30ED\u30BB\u30B9", "????", "\x83\x76\x83\x8D\x83\x5A\x83\x58"},  // プロセス
    {u"C:\\\u8868\\", "C:\\?\\", "C:\\\x95\x5C\\"},  // 表: its second byte is a backslash
    // The yen sign and the fullwidth backslash: never a backslash, where a look-alike would be.
    {u"\u00A5\uFF3C", "\xA5?", "?\x81\x5F"},
};

// The code page of the run; the cases know only these two.
bool KnownCodePage() {
    return ::GetACP() == 1252 || ::GetACP() == 932;
}

TEST(Win32CodePage, ConvertsByTheCodePagesTableWithoutLookAlikes) {
    if (!KnownCodePage())
        GTEST_SKIP() << "code page " << ::GetACP();
    const Win32CodePage ansi;
    for (const ConversionCase& c : kConversions) {
        const std::string bytes = ::GetACP() == 932 ? c.cp932 : c.cp1252;
        const std::u16string text = c.text;
        EXPECT_EQ(ansi.FromUtf16(text), bytes);
        // The program's own texts go through UTF-8, converted by the portable code: the same
        // as the system's UTF-8 conversion.
        const std::string utf8 = ToNarrow(CP_UTF8, AsWide(text));
        EXPECT_EQ(AnsiFromUtf8(ansi, utf8), bytes);
        if (bytes.find('?') == std::string::npos) {
            EXPECT_EQ(ansi.ToUtf16(bytes), text);
            EXPECT_EQ(Utf8FromAnsi(ansi, bytes), utf8);
        }
    }
}

TEST(Win32CodePage, LeadBytesAndLocaleUpperCase) {
    if (!KnownCodePage())
        GTEST_SKIP() << "code page " << ::GetACP();
    const bool japanese = ::GetACP() == 932;
    const Win32CodePage ansi;
    EXPECT_EQ(ansi.IsLeadByte(0x95), japanese);
    EXPECT_EQ(ansi.IsLeadByte(0x83), japanese);
    EXPECT_FALSE(ansi.IsLeadByte('\\'));
    EXPECT_FALSE(ansi.IsLeadByte('a'));

    EXPECT_EQ(ansi.Upper("c:\\windows\\svchost.exe"), "C:\\WINDOWS\\SVCHOST.EXE");
    // The second byte of プ (0x83 0x76) is a "v": inside the character it stays one.
    EXPECT_EQ(ansi.Upper("\x83\x76v"), japanese ? "\x83\x76V" : "\x83VV");
    if (!japanese) {
        EXPECT_EQ(ansi.Upper("caf\xE9"), "CAF\xC9");
    }
}

}  // namespace
}  // namespace runlens
