#include "core/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace runlens {
namespace {

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

class Utf8ToUtf16 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8ToUtf16, DecodesOrReplaces) {
    EXPECT_EQ(Utf16FromUtf8(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToUtf16,
    ::testing::Values(Utf8Case{"Empty", "", u""}, Utf8Case{"Ascii", "svchost.exe", u"svchost.exe"},
                      Utf8Case{"TwoAndThreeBytes", "Caf\xC3\xA9 \xE8\xA1\xA8", u"Caf\u00E9 \u8868"},
                      Utf8Case{"FourBytes", "\xF0\x9F\x98\x80", u"\U0001F600"},
                      Utf8Case{"HighestCharacter", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
                      Utf8Case{"LoneContinuation", "a\x80z", u"a\uFFFDz"},
                      Utf8Case{"CutAtTheEnd", "a\xE8\xA1", u"a\uFFFD\uFFFD"},
                      Utf8Case{"CutBeforeAscii", "\xE8\xA1z", u"\uFFFD\uFFFDz"},
                      Utf8Case{"Overlong", "\xC0\xAF\xE0\x80\xAF",
                               u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"Surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"PastTheLast", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                      Utf8Case{"NotALeadByte", "\xFF\xFE", u"\uFFFD\uFFFD"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf16ToUtf8, PairsJoinAndLoneSurrogatesAreReplaced) {
    EXPECT_EQ(Utf8FromUtf16(u"Caf\u00E9 \u8868 \U0001F600"),
              "Caf\xC3\xA9 \xE8\xA1\xA8 \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8FromUtf16(std::u16string{u'a', char16_t{0xD83D}, u'z'}), "a\xEF\xBF\xBDz");
    EXPECT_EQ(Utf8FromUtf16(std::u16string{char16_t{0xDE00}, char16_t{0xD83D}}),
              "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace runlens
