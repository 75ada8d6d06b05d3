// The browser pane: the system's WebBrowser control, hosted in a window of the main window
// by a small OLE container (client site, in-place site and frame) with an event sink that
// reports title changes.
#pragma once

#include <windows.h>

#include <functional>

#include "core/browser_pane.h"
#include "core/win32/com_ptr.h"

struct IOleObject;
struct IOleInPlaceActiveObject;
struct IWebBrowser2;
struct IConnectionPoint;

namespace runlens {

class WebBrowser final : public BrowserPane {
  public:
    // Shows an error that escaped the title-change handler; the program goes on.
    using ErrorReporter = std::function<void(const char* what)>;

    // Creates the control inside host. Without the control (a system that lacks it) the pane
    // stays empty and every operation does nothing.
    WebBrowser(HWND host, ErrorReporter reportError);
    ~WebBrowser() override;
    WebBrowser(const WebBrowser&) = delete;
    WebBrowser& operator=(const WebBrowser&) = delete;

    void Navigate(std::u16string_view address) override;
    void Update() override;
    void SetTitleChangeHandler(TitleChangeHandler handler) override;
    void Focus() override;
    bool OfferKey(const KeyMessage& key) override;

    bool HasControl() const { return static_cast<bool>(browser_); }
    bool HasTitleChangeHandler() const { return static_cast<bool>(titleChangeHandler_); }
    // Fits the control to its host's client area.
    void Resize();
    // The address the control shows, empty when it has none.
    std::u16string LocationUrl() const;
    // The event sink as the control sees it (DWebBrowserEvents2).
    IDispatch* EventSink() const;

  private:
    class Site;
    friend class Site;
    void OnTitleChange(std::u16string_view title) noexcept;

    HWND host_;
    ErrorReporter reportError_;
    TitleChangeHandler titleChangeHandler_;
    ComPtr<Site> site_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;
    ComPtr<IConnectionPoint> events_;
    DWORD eventsCookie_ = 0;
};

}  // namespace runlens
