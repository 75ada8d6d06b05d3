#include "app/win32/web_browser.h"

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/controls.h"

namespace runlens {
namespace {

class BrowserHost : public ::testing::Test {
  protected:
    void SetUp() override {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterControlClasses(instance));
        host_ = ::CreateWindowExW(0, kBrowserHostClass, L"", WS_POPUP, 0, 0, 400, 300, nullptr,
                                  nullptr, instance, nullptr);
        ASSERT_NE(host_, nullptr);
        browser_ = std::make_unique<WebBrowser>(
            host_, [this](const char* what) { errors_.emplace_back(what); });
    }
    void TearDown() override {
        browser_.reset();
        ::DestroyWindow(host_);
    }

    // Lets the control work for a while.
    static void Pump(int milliseconds) {
        const DWORD end = ::GetTickCount() + milliseconds;
        MSG message;
        while (static_cast<int>(end - ::GetTickCount()) > 0) {
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            ::Sleep(10);
        }
    }

    // Calls the event sink as the control does when a document's title changes.
    HRESULT RaiseTitleChange(const wchar_t* title, DISPID member = DISPID_TITLECHANGE) {
        VARIANT argument;
        ::VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = ::SysAllocString(title);
        DISPPARAMS parameters{&argument, nullptr, 1, 0};
        const HRESULT result =
            browser_->EventSink()->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                          &parameters, nullptr, nullptr, nullptr);
        ::VariantClear(&argument);
        return result;
    }

    HWND host_ = nullptr;
    std::unique_ptr<WebBrowser> browser_;
    std::vector<std::string> errors_;
};

TEST_F(BrowserHost, CreatesTheControlAndNavigatesToBlank) {
    ASSERT_TRUE(browser_->HasControl());
    browser_->Navigate(u"about:blank");
    browser_->Update();
    Pump(500);
    EXPECT_EQ(browser_->LocationUrl(), u"about:blank");
    ::SetWindowPos(host_, nullptr, 0, 0, 200, 100, SWP_NOZORDER);
    browser_->Resize();
}

TEST_F(BrowserHost, DeliversTitleChangesOnlyWhileAHandlerIsSet) {
    std::vector<std::u16string> titles;
    EXPECT_EQ(RaiseTitleChange(L"ignored"), S_OK);
    browser_->SetTitleChangeHandler(
        [&titles](std::u16string_view title) { titles.emplace_back(title); });
    EXPECT_EQ(RaiseTitleChange(L"svchost.exe \u60c5\u5831"), S_OK);
    browser_->SetTitleChangeHandler({});
    EXPECT_EQ(RaiseTitleChange(L"after"), S_OK);
    EXPECT_EQ(titles, std::vector<std::u16string>{u"svchost.exe \u60c5\u5831"});
}

TEST_F(BrowserHost, HandlerMayDetachItself) {
    int calls = 0;
    browser_->SetTitleChangeHandler([&](std::u16string_view) {
        ++calls;
        browser_->SetTitleChangeHandler({});
    });
    RaiseTitleChange(L"first");
    RaiseTitleChange(L"second");
    EXPECT_EQ(calls, 1);
}

TEST_F(BrowserHost, ErrorInTheHandlerIsReportedNotThrown) {
    browser_->SetTitleChangeHandler(
        [](std::u16string_view) { throw std::runtime_error("cannot write the page"); });
    EXPECT_EQ(RaiseTitleChange(L"404"), S_OK);
    EXPECT_EQ(errors_, std::vector<std::string>{"cannot write the page"});
}

TEST_F(BrowserHost, OtherEventsAreNotHandled) {
    EXPECT_EQ(RaiseTitleChange(L"x", DISPID_DOCUMENTCOMPLETE), DISP_E_MEMBERNOTFOUND);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(browser_->EventSink()->Invoke(DISPID_TITLECHANGE, IID_NULL, 0, DISPATCH_METHOD, &none,
                                            nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
}

TEST_F(BrowserHost, SinkAnswersAsAnEventInterface) {
    IDispatch* events = nullptr;
    ASSERT_EQ(browser_->EventSink()->QueryInterface(DIID_DWebBrowserEvents2,
                                                    reinterpret_cast<void**>(&events)),
              S_OK);
    events->Release();
    IUnknown* unknown = nullptr;
    EXPECT_EQ(
        browser_->EventSink()->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&unknown)),
        E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
}

}  // namespace
}  // namespace runlens
