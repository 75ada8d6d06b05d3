// A click on a process row, through the real window, WinInet and Wine's proxy route to the
// reference site.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/win32/main_window.h"
#include "core/site.h"
#include "info/online_lookup.h"
#include "info/win32/win32_internet.h"
#include "tests/win32/main_window_access.h"
#include "tests/win32/reference_site.h"

namespace runlens {
namespace {

class LookupEndToEnd : public testing::ReferenceSite {
  protected:
    // Clicks the row as the user does, and waits for its lookup to end.
    static void ClickRow(TForm1& form, const ProcessRow& row) {
        Inside(form).ClickRow(row);
        ASSERT_TRUE(Inside(form).WaitForLookup());
    }

    // Requests since the test began that start with prefix (and name the host, if given).
    long Count(const std::string& prefix, const std::string& host = {}) const {
        const auto lines = Requests();
        return std::count_if(lines.begin() + static_cast<long>(std::min(before_, lines.size())),
                             lines.end(), [&](const std::string& line) {
                                 return line.starts_with(prefix) &&
                                        line.find("\"host\": \"" + host) != std::string::npos;
                             });
    }

    void SetUp() override {
        ReferenceSite::SetUp();
        before_ = Requests().size();
    }

    std::size_t before_ = 0;
};

TEST_F(LookupEndToEnd, ClickFindsThePageAndSendsTheNoticeOncePerRun) {
    TrustSiteAuthority();
    TForm1 form(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.Create());
    std::vector<std::wstring> notices;
    Inside(form).SetNoticeBox(
        [&notices](const std::wstring& message) { notices.push_back(message); });
    std::vector<std::string> errors;
    Inside(form).SetErrorBox([&errors](const std::string& message) { errors.push_back(message); });

    ClickRow(form, {"Explorer.EXE", "C:\\windows\\explorer.exe", "", 1});
    ClickRow(form, {"notepad.exe", "C:\\windows\\notepad.exe", "", 1});

    const std::string host(kSiteHost);
    const std::string code = MakeInstallCode(::GetUserDefaultLangID(), GetVolumeSerial());
    const std::string agentString = Inside(form).AgentString();
    EXPECT_EQ(Count(RequestLine("/fairu/explorer.exe.html", agentString), host), 1)
        << "the page is asked for in lower case, with the program's user agent, on the site";
    EXPECT_EQ(Count(RequestLine("/cgi-bin/runlens.pl?" + code, agentString), host), 1);
    EXPECT_EQ(Count("{\"path\": \"/cgi-bin/runlens.pl?"), 1) << "once per run";
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(L"\u304A\u77E5\u3089\u305B"), std::wstring::npos) << "お知らせ";
    EXPECT_EQ(Inside(form).StatusText(), std::wstring(L"http://") +
                                             std::wstring(kSiteHost.begin(), kSiteHost.end()) +
                                             L"/fairu/notepad.exe.html");
    EXPECT_TRUE(Inside(form).Browser().HasTitleChangeHandler());
    EXPECT_TRUE(errors.empty());
}

TEST_F(LookupEndToEnd, NoPageShowsTheLocalPageAndKeepsTheStatusLine) {
    TForm1 form(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.Create());
    const std::wstring status = Inside(form).StatusText();
    ClickRow(form, {"no-page-here.exe", "C:\\windows\\system32\\no-page-here.exe", "", 1});
    EXPECT_EQ(Count("{\"path\": \"/fairu/no-page-here.exe.html\""), 1);
    EXPECT_EQ(Inside(form).StatusText(), status);
    EXPECT_FALSE(Inside(form).Browser().HasTitleChangeHandler());
}

}  // namespace
}  // namespace runlens
