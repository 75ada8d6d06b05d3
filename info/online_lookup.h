// A click on a process row: the information site's page for its executable when the site has
// one, the local page otherwise; a site page whose title shows it is blank or "not found" is
// replaced by the local page; the first found page of a run sends a one-time notice.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/browser_pane.h"
#include "core/process_row.h"

namespace runlens {

// Set at program start, cleared when the notice is sent, never set again.
extern bool FirstLookupPending;

// The reply byte that marks a message for the user.
inline constexpr char kNoticeMessageMarker = '\xA7';

// One of the 62 digits 0-9, A-Z, a-z for |n| mod 62.
char Base62Digit(long long n);

// Five digits: the primary language (0 when it is 62 or more), "1", the high and the low 16
// bits of the volume serial, and a check digit over the four.
std::string MakeInstallCode(std::uint16_t languageId, std::uint32_t volumeSerial);

// The page address of an executable: the page folder, the name lower-cased byte by byte, and
// ".html".
std::string PageAddress(std::string_view executableName);

// The system's side of a lookup: the Internet, the status line and the notice dialog.
class LookupSystem {
  public:
    virtual ~LookupSystem() = default;
    // True when a request for the address ends with status 200.
    virtual bool UrlExists(std::string_view address) = 0;
    // The body of the response; empty on any failure.
    virtual std::string FetchUrlText(std::string_view address) = 0;
    virtual std::uint16_t UserDefaultLangId() = 0;
    // The serial number of the volume that holds the program file; 0 when it cannot be read.
    virtual std::uint32_t GetVolumeSerial() = 0;
    virtual void ShowStatus(std::string_view text) = 0;
    // A modal message box with the site's message: no icon, one OK button.
    virtual void ShowNoticeMessage(std::string_view message) = 0;
    virtual std::u16string WideFromAnsi(std::string_view text) = 0;
};

class OnlineLookup {
  public:
    OnlineLookup(LookupSystem& system, BrowserPane& pane,
                 std::function<const ProcessRow*()> selectedRow,
                 std::function<void()> showLocalInfoPage)
        : system_(system),
          pane_(pane),
          selectedRow_(std::move(selectedRow)),
          showLocalInfoPage_(std::move(showLocalInfoPage)) {}

    // The list's left click, on a row or on empty space.
    void LookupProcess();
    // The pane's title change while the handler is attached.
    void WebBrowserTitleChange(std::u16string_view title);

  private:
    void SendNotice();

    LookupSystem& system_;
    BrowserPane& pane_;
    std::function<const ProcessRow*()> selectedRow_;
    std::function<void()> showLocalInfoPage_;
};

}  // namespace runlens
