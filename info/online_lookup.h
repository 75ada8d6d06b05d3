// The rules of a click's lookup on the information site: the page address of an executable,
// the redirects a request follows, the notice's install code and the reading of its reply. The
// window's controller runs the lookup; SiteClient is the network.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"

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

// The notice script's address for an installation: the script and its install code.
std::string NoticeAddress(std::uint16_t languageId, std::uint32_t volumeSerial);

// The message a notice reply carries for the user: what follows the marker byte of a reply
// that begins with it; nothing for "OK", an empty reply or any other one.
std::optional<std::string_view> NoticeMessage(std::string_view reply);

// The information site, over the network and nothing else. Each call blocks until its answer,
// its deadline, or the moment its caller sets `givenUp`, and may run on any thread.
class SiteClient {
  public:
    virtual ~SiteClient() = default;
    // True when a request for the address ends with status 200 before the deadline.
    virtual bool PageExists(std::string_view address, Deadline deadline,
                            const std::atomic<bool>& givenUp) = 0;
    // The body of the response; empty on any failure and when the deadline passes first.
    virtual std::string FetchText(std::string_view address, Deadline deadline,
                                  const std::atomic<bool>& givenUp) = 0;
};

}  // namespace runlens
