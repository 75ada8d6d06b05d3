#include "info/online_lookup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>
#include <vector>

#include "core/site.h"
#include "tests/fakes/fake_code_page.h"

namespace runlens {
namespace {

TEST(Base62Digit, WrapsAndIgnoresTheSign) {
    EXPECT_EQ(Base62Digit(-5), '5');
    EXPECT_EQ(Base62Digit(62), '0');
    EXPECT_EQ(Base62Digit(61), 'z');
    EXPECT_EQ(Base62Digit(10), 'A');
    EXPECT_EQ(Base62Digit(36), 'a');
    EXPECT_EQ(Base62Digit(-9223372036854775807LL - 1), Base62Digit(9223372036854775807LL % 62 + 1));
}

TEST(InstallCode, FromLanguageAndVolumeSerial) {
    EXPECT_EQ(MakeInstallCode(0x0411, 0x1234ABCD), "H1ANG");
    // A primary language of 62 or more counts as 0; serial 0 gives two zero digits.
    const std::string code = MakeInstallCode(0x0040 | 0x0400, 0);
    EXPECT_EQ(code.substr(0, 4), "0100");
    EXPECT_EQ(code[4], Base62Digit('0' + '1' + '0' + '0'));
}

TEST(PageAddress, LowerCasesByteByByte) {
    EXPECT_EQ(PageAddress("Explorer.EXE"), SitePageFolderAddress() + "explorer.exe.html");
    // The second byte of a double-byte character is lower-cased too.
    EXPECT_EQ(PageAddress("\x83\x41.EXE"), SitePageFolderAddress() + "\x83\x61.exe.html");
}

TEST(PageAddress, EscapesWhatWouldChangeTheAddress) {
    const struct {
        std::string name;
        std::string page;
    } cases[] = {
        // A name never leaves the page folder, nor adds a query or a fragment.
        {"../../etc.exe", "..%2F..%2Fetc.exe"},
        {"a\\b.exe", "a%5Cb.exe"},
        {"a?b#c.exe", "a%3Fb%23c.exe"},
        {"100%.exe", "100%25.exe"},
        {"my tool.exe", "my%20tool.exe"},
        {std::string("a\x01\x1F\x7F", 4) + ".exe", "a%01%1F%7F.exe"},
        // Every other byte goes as it is, double-byte characters and "~" included.
        {"\x81\x5C~!$&'()+,;=@[].exe", "\x81%5C~!$&'()+,;=@[].exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageAddress(c.name), SitePageFolderAddress() + c.page + ".html") << c.name;
}

// The site may answer in UTF-8 or in the user's code page; a reply that filled the cap may end
// inside its last character.
TEST(NoticeMessage, DecodedAsUtf8OrTheAnsiCodePage) {
    const testing::FakeCodePage latin1(testing::FakeCodePage::Kind::kLatin1);
    const std::string filled = std::string(kFetchCap - 3, 'a') + "\xE3\x81";
    const std::string longer = std::string(kFetchCap + 10, 'b');
    struct Case {
        const char* what;
        std::string message;
        std::u16string shown;
    };
    const Case cases[] = {
        {"UTF-8", "\xE3\x81\x8A\xE7\x9F\xA5", u"\u304A\u77E5"},
        {"plain", "plain", u"plain"},
        {"nothing", "", u""},
        {"a replacement character of its own", "\xEF\xBF\xBD", u"\uFFFD"},
        {"the code page's", "caf\xE9", u"caf\u00E9"},
        {"an overlong form", "\xC0\xAF", u"\u00C0\u00AF"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\u00ED\u00A0\u0080"},
        {"a character cut off within the text", "\xE3\x81 x", u"\u00E3\u0081 x"},
        {"a character cut off by the cap", filled, std::u16string(kFetchCap - 3, u'a')},
        {"past the cap", longer, std::u16string(kFetchCap, u'b')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeNoticeMessage(c.message, latin1), c.shown) << c.what;
}

TEST(RedirectTarget, StaysWithTheSameSchemeHostAndPort) {
    const std::string from = "http://www.site.example/fairu/moved.exe.html";
    const struct {
        const char* location;
        std::optional<std::string> target;
    } cases[] = {
        {"/fairu/explorer.exe.html", "http://www.site.example/fairu/explorer.exe.html"},
        {"explorer.exe.html", "http://www.site.example/fairu/explorer.exe.html"},
        {"http://WWW.Site.Example:80/fairu/x.html", "http://WWW.Site.Example:80/fairu/x.html"},
        {"//www.site.example/fairu/x.html", "http://www.site.example/fairu/x.html"},
        {from.c_str(), from},  // to itself: the count of redirects ends that
        {"https://www.site.example/fairu/x.html", std::nullopt},
        {"http://other.example/fairu/x.html", std::nullopt},
        {"//other.example/fairu/x.html", std::nullopt},
        {"http://www.site.example:8080/fairu/x.html", std::nullopt},
        {"http://www.site.example@other.example/x.html", std::nullopt},
        {"http://www.site.example.other.example/x.html", std::nullopt},
        {"file:///C:/windows/win.ini", std::nullopt},
        {"file://www.site.example/x.html", std::nullopt},
        {"javascript://www.site.example/%0Aalert(1)", std::nullopt},
        {"", std::nullopt},
        {"http://www.site.example\\@other.example/x.html", std::nullopt},
        {"http://www.site.example\\x.html", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RedirectTarget(from, c.location), c.target) << c.location;
    EXPECT_EQ(RedirectTarget("https://h.example/a", "https://h.example:443/b"),
              "https://h.example:443/b");
    EXPECT_EQ(RedirectTarget("not an address", "/x"), std::nullopt);
}

TEST(NoticeMessage, OnlyAMarkedReplyCarriesOne) {
    const struct {
        std::string_view reply;
        std::optional<std::string_view> message;
    } cases[] = {
        {"OK", std::nullopt},
        {"\xA7Please update Runlens.", "Please update Runlens."},
        {"\xA7", ""},
        {"ok", std::nullopt},
        {"", std::nullopt},
        {"Hello \xA7", std::nullopt},
        {"OK\xA7", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NoticeMessage(c.reply), c.message) << c.reply;
    EXPECT_EQ(NoticeAddress(0x0411, 0x1234ABCD), SiteNoticeScriptAddress() + "H1ANG");
}

}  // namespace
}  // namespace runlens
