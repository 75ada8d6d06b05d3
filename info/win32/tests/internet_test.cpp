#include "info/win32/win32_internet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/win32/reference_site.h"

namespace runlens {
namespace {

constexpr char kAgent[] = "runlens_win_tests.exe/1 (Windows  NT 6.1, 0409 English/United States)";

class Internet : public testing::ReferenceSite {};

TEST_F(Internet, UrlExistsOnlyForAnAnswerOf200) {
    EXPECT_TRUE(UrlExists(Local("/fairu/explorer.exe.html"), kAgent));
    EXPECT_FALSE(UrlExists(Local("/fairu/no-such.exe.html"), kAgent));
    // Redirects are followed to the page they lead to.
    EXPECT_TRUE(UrlExists(Local("/fairu/moved.exe.html"), kAgent));
    // Nothing listens on port 1; the .invalid name never resolves.
    EXPECT_FALSE(UrlExists("http://127.0.0.1:1/fairu/x.exe.html", kAgent));
    // Name resolution is tried only where no packet can leave the machine.
    if (!std::getenv("RUNLENS_NO_NETNS")) {
        EXPECT_FALSE(UrlExists("http://runlens-no-such-host.invalid/fairu/x.exe.html", kAgent));
    }
}

TEST_F(Internet, FetchReadsTheWholeBodyUpToTheCap) {
    const std::string body = FetchUrlText(Local("/bytes/5000"), kAgent);
    ASSERT_EQ(body.size(), 5000u);
    EXPECT_EQ(body.substr(4990), "0123456789");
    EXPECT_EQ(FetchUrlText(Local("/bytes/200000"), kAgent).size(), kFetchCap);
    EXPECT_EQ(FetchUrlText("http://127.0.0.1:1/x", kAgent), "");
}

TEST_F(Internet, EveryRequestCarriesTheUserAgent) {
    UrlExists(Local("/fairu/agent-check.exe.html"), kAgent);
    FetchUrlText(Local("/bytes/3"), kAgent);
    const auto requests = Requests();
    for (const char* path : {"/fairu/agent-check.exe.html", "/bytes/3"}) {
        EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [&](const std::string& line) {
            return line.starts_with(RequestLine(path, kAgent));
        })) << path;
    }
}

TEST(NoticeMessage, DecodedAsUtf8OrCodePage932) {
    EXPECT_EQ(DecodeNoticeMessage("\xE3\x81\x8A\xE7\x9F\xA5"), L"\u304A\u77E5");
    EXPECT_EQ(DecodeNoticeMessage("\x82\xA8\x92\x6D"), L"\u304A\u77E5");
    EXPECT_EQ(DecodeNoticeMessage("plain"), L"plain");
}

}  // namespace
}  // namespace runlens
