#include "info/online_lookup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>
#include <vector>

#include "core/site.h"
#include "tests/fakes/fake_code_page.h"
#include "tests/fakes/recording_browser.h"

namespace runlens {
namespace {

using testing::RecordingBrowser;

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

// The site, the status line and the dialog, as a lookup sees them.
class FakeLookupSystem : public LookupSystem {
  public:
    std::set<std::string> pages;  // addresses that answer 200
    std::string noticeReply = "OK";
    std::vector<std::string> fetched;
    std::vector<Deadline> deadlines;  // of every request, in order
    std::vector<std::string> status;
    std::vector<std::string> messages;

    bool PageExists(std::string_view address, Deadline deadline) override {
        deadlines.push_back(deadline);
        return pages.contains(std::string(address));
    }
    std::string FetchText(std::string_view address, Deadline deadline) override {
        deadlines.push_back(deadline);
        fetched.emplace_back(address);
        return noticeReply;
    }
    std::uint16_t UserDefaultLangId() override { return 0x0411; }
    std::uint32_t VolumeSerial() override { return 0x1234ABCD; }
    void ShowStatusLine(std::string_view text) override { status.emplace_back(text); }
    void ShowNoticeMessage(std::string_view message) override { messages.emplace_back(message); }
};

class Lookup : public ::testing::Test {
  protected:
    Lookup()
        : lookup_(
              system_, ansi_, pane_, [this] { return selected_; }, [this] { ++localPages_; }) {
        system_.pages = {PageAddress("explorer.exe"), PageAddress("notepad.exe")};
    }

    std::u16string Wide(const std::string& text) { return ansi_.ToUtf16(text); }

    FakeLookupSystem system_;
    const testing::FakeCodePage ansi_;
    RecordingBrowser pane_;
    const ProcessRow explorer_{"Explorer.EXE", "C:\\Windows\\explorer.exe", "", 2};
    const ProcessRow notepad_{"notepad.exe", "C:\\Windows\\notepad.exe", "", 2};
    const ProcessRow unknown_{"unknown.exe", "C:\\x\\unknown.exe", "", 2};
    const ProcessRow* selected_ = nullptr;
    int localPages_ = 0;
    OnlineLookup lookup_;
};

TEST_F(Lookup, NothingWithoutASelectedRow) {
    lookup_.LookupProcess();
    EXPECT_TRUE(pane_.calls.empty());
    EXPECT_EQ(localPages_, 0);
    EXPECT_TRUE(system_.fetched.empty());
}

TEST_F(Lookup, FoundPageIsShownWithItsAddressAndTheNoticeIsSentOnce) {
    selected_ = &explorer_;
    lookup_.LookupProcess();
    const std::string address = PageAddress("explorer.exe");
    EXPECT_EQ(pane_.calls, std::vector<std::u16string>{Wide(address)});
    EXPECT_TRUE(pane_.handler);
    EXPECT_EQ(system_.status, std::vector<std::string>{address});
    EXPECT_EQ(system_.fetched, std::vector<std::string>{SiteNoticeScriptAddress() + "H1ANG"});
    EXPECT_FALSE(lookup_.FirstLookupPending());

    selected_ = &notepad_;
    lookup_.LookupProcess();
    EXPECT_EQ(system_.fetched.size(), 1u) << "at most once per run";
    EXPECT_EQ(system_.status.back(), PageAddress("notepad.exe"));
}

TEST_F(Lookup, ProbeAndNoticeShareOneDeadline) {
    selected_ = &explorer_;
    const auto before = std::chrono::steady_clock::now();
    lookup_.LookupProcess();
    const auto after = std::chrono::steady_clock::now();
    ASSERT_EQ(system_.deadlines.size(), 2u);
    EXPECT_EQ(system_.deadlines[0], system_.deadlines[1]) << "the notice gets what is left";
    EXPECT_GE(system_.deadlines[0], before + kLookupTimeLimit);
    EXPECT_LE(system_.deadlines[0], after + kLookupTimeLimit);
}

TEST_F(Lookup, NoPageShowsTheLocalPageWithoutNoticeOrStatus) {
    selected_ = &unknown_;
    lookup_.LookupProcess();
    EXPECT_EQ(localPages_, 1);
    EXPECT_TRUE(pane_.calls.empty());
    EXPECT_FALSE(pane_.handler);
    EXPECT_TRUE(system_.fetched.empty());
    EXPECT_TRUE(system_.status.empty());
    EXPECT_TRUE(lookup_.FirstLookupPending()) << "only a found page sends the notice";
}

struct ReplyCase {
    std::string reply;
    std::vector<std::string> shown;
};

class NoticeReply : public Lookup, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(NoticeReply, OnlyAMarkedReplyShowsItsMessage) {
    system_.noticeReply = GetParam().reply;
    selected_ = &explorer_;
    lookup_.LookupProcess();
    EXPECT_EQ(system_.messages, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, NoticeReply,
                         ::testing::Values(ReplyCase{"OK", {}},
                                           ReplyCase{"\xA7Please update Runlens.",
                                                     {"Please update Runlens."}},
                                           ReplyCase{"\xA7", {""}}, ReplyCase{"ok", {}},
                                           ReplyCase{"", {}}, ReplyCase{"Hello \xA7", {}}));

struct TitleCase {
    const char* name;
    std::u16string title;
    int localPages;
};

class TitleCheck : public Lookup, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(TitleCheck, ReplacesABlankOrNotFoundPage) {
    selected_ = &explorer_;
    lookup_.LookupProcess();
    pane_.ChangeTitle(GetParam().title);
    EXPECT_EQ(localPages_, GetParam().localPages);
    EXPECT_FALSE(pane_.handler) << "detached after the first title it judges";
    // Later titles are not judged.
    pane_.ChangeTitle(u"about:blank");
    EXPECT_EQ(localPages_, GetParam().localPages);
}

INSTANTIATE_TEST_SUITE_P(Cases, TitleCheck,
                         ::testing::Values(TitleCase{"NameInTitle", u"explorer.exe - Runlens", 0},
                                           TitleCase{"NameAnd404", u"404 facts about explorer.exe",
                                                     0},
                                           TitleCase{"Blank", u"about:blank", 1},
                                           TitleCase{"NotFound", u"404 Not Found", 1},
                                           TitleCase{"OtherTitle", u"Welcome", 0},
                                           // The name is searched exactly, in lower case.
                                           TitleCase{"NameInOtherCase", u"Explorer.EXE 404", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Lookup, TitleWithoutSelectedRowKeepsTheHandler) {
    selected_ = &explorer_;
    lookup_.LookupProcess();
    selected_ = nullptr;
    pane_.ChangeTitle(u"about:blank");
    EXPECT_TRUE(pane_.handler);
    EXPECT_EQ(localPages_, 0);
}

TEST_F(Lookup, HandlerStillAttachedJudgesTheLocalPagesTitle) {
    selected_ = &explorer_;
    lookup_.LookupProcess();
    // Before the site page's title arrives, a row without a site page shows the local page.
    selected_ = &unknown_;
    lookup_.LookupProcess();
    EXPECT_EQ(localPages_, 1);
    pane_.ChangeTitle(u"about:blank");  // the local page's first navigation
    EXPECT_EQ(localPages_, 2);
    EXPECT_FALSE(pane_.handler);
    EXPECT_EQ(system_.status, std::vector<std::string>{PageAddress("explorer.exe")})
        << "the status line changes only on a found page";
}

}  // namespace
}  // namespace runlens
