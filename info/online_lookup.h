// A click on a process row: the information site's page for its executable when the site has
// one, the local page otherwise; a site page whose title shows it is blank or "not found" is
// replaced by the local page; the first found page of a run sends a one-time notice.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/browser_pane.h"
#include "core/code_page.h"
#include "core/process_row.h"

namespace runlens {

// The reply byte that marks a message for the user.
inline constexpr char kNoticeMessageMarker = '\xA7';

// The most of a response body that is read, counted in bytes received; a notice reply is a few
// bytes.
inline constexpr std::size_t kFetchCap = 64 * 1024;

// The notice message as the site sends it: UTF-8 when it is valid UTF-8 (a character the cap
// cut off at its end dropped), else the ANSI code page.
std::u16string DecodeNoticeMessage(std::string_view message, const CodePage& ansi);

// One of the 62 digits 0-9, A-Z, a-z for |n| mod 62.
char Base62Digit(long long n);

// Five digits: the primary language (0 when it is 62 or more), "1", the high and the low 16
// bits of the volume serial, and a check digit over the four.
std::string MakeInstallCode(std::uint16_t languageId, std::uint32_t volumeSerial);

// The page address of an executable: the page folder, the name lower-cased byte by byte, and
// ".html". The bytes that would change the address's structure ("%", "#", "?", "/", "\\", space
// and the control characters) are percent-escaped; every other byte goes as it is.
std::string PageAddress(std::string_view executableName);

// The moment by which a piece of network work gives up, whatever the server does.
using Deadline = std::chrono::steady_clock::time_point;

// One click's whole network work, the page probe and the notice together, ends within this.
inline constexpr std::chrono::seconds kLookupTimeLimit{10};

// The most redirects one request follows.
inline constexpr int kMostRedirects = 5;

// The address a redirect from `from` to `location` leads to, when it stays with the same
// scheme, host and port; nothing for a redirect anywhere else.
std::optional<std::string> RedirectTarget(std::string_view from, std::string_view location);

// The system's side of a lookup: the Internet, the status line and the notice dialog.
class LookupSystem {
  public:
    virtual ~LookupSystem() = default;
    // True when a request for the address ends with status 200 before the deadline.
    virtual bool PageExists(std::string_view address, Deadline deadline) = 0;
    // The body of the response; empty on any failure and when the deadline passes first.
    virtual std::string FetchText(std::string_view address, Deadline deadline) = 0;
    virtual std::uint16_t UserDefaultLangId() = 0;
    // The serial number of the volume that holds the program file; 0 when it cannot be read.
    virtual std::uint32_t VolumeSerial() = 0;
    virtual void ShowStatusLine(std::string_view text) = 0;
    // A modal message box with the site's message: no icon, one OK button.
    virtual void ShowNoticeMessage(std::string_view message) = 0;
};

class OnlineLookup {
  public:
    OnlineLookup(LookupSystem& system, const CodePage& ansi, BrowserPane& pane,
                 std::function<const ProcessRow*()> selectedRow,
                 std::function<void()> showLocalInfoPage)
        : system_(system),
          ansi_(ansi),
          pane_(pane),
          selectedRow_(std::move(selectedRow)),
          showLocalInfoPage_(std::move(showLocalInfoPage)) {}

    // The list's left click, on a row or on empty space.
    void LookupProcess();
    // The pane's title change while the handler is attached.
    void WebBrowserTitleChange(std::u16string_view title);

    // Set until the first found page sends the notice; never set again, so that a notice that
    // fails in transit is not repeated.
    bool FirstLookupPending() const { return firstLookupPending_; }

  private:
    void SendNotice(Deadline deadline);

    LookupSystem& system_;
    const CodePage& ansi_;
    BrowserPane& pane_;
    std::function<const ProcessRow*()> selectedRow_;
    std::function<void()> showLocalInfoPage_;
    bool firstLookupPending_ = true;
};

}  // namespace runlens
