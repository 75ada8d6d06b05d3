#include "info/online_lookup.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/site.h"
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

// The site, the status line and the dialog, as a lookup sees them.
class FakeLookupSystem : public LookupSystem {
  public:
    std::set<std::string> pages;  // addresses that answer 200
    std::string noticeReply = "OK";
    std::vector<std::string> fetched;
    std::vector<std::string> status;
    std::vector<std::string> messages;

    bool UrlExists(std::string_view address) override {
        return pages.contains(std::string(address));
    }
    std::string FetchUrlText(std::string_view address) override {
        fetched.emplace_back(address);
        return noticeReply;
    }
    std::uint16_t UserDefaultLangId() override { return 0x0411; }
    std::uint32_t GetVolumeSerial() override { return 0x1234ABCD; }
    void ShowStatus(std::string_view text) override { status.emplace_back(text); }
    void ShowNoticeMessage(std::string_view message) override { messages.emplace_back(message); }
    std::u16string WideFromAnsi(std::string_view text) override {
        return std::u16string(text.begin(), text.end());
    }
};

class Lookup : public ::testing::Test {
  protected:
    Lookup()
        : lookup_(
              system_, pane_, [this] { return selected_; }, [this] { ++localPages_; }) {
        FirstLookupPending = true;
        system_.pages = {PageAddress("explorer.exe"), PageAddress("notepad.exe")};
    }

    std::u16string Wide(const std::string& text) { return system_.WideFromAnsi(text); }

    FakeLookupSystem system_;
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
    EXPECT_FALSE(FirstLookupPending);

    selected_ = &notepad_;
    lookup_.LookupProcess();
    EXPECT_EQ(system_.fetched.size(), 1u) << "at most once per run";
    EXPECT_EQ(system_.status.back(), PageAddress("notepad.exe"));
}

TEST_F(Lookup, NoPageShowsTheLocalPageWithoutNoticeOrStatus) {
    selected_ = &unknown_;
    lookup_.LookupProcess();
    EXPECT_EQ(localPages_, 1);
    EXPECT_TRUE(pane_.calls.empty());
    EXPECT_FALSE(pane_.handler);
    EXPECT_TRUE(system_.fetched.empty());
    EXPECT_TRUE(system_.status.empty());
    EXPECT_TRUE(FirstLookupPending) << "only a found page sends the notice";
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
