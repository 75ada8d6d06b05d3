#include "info/online_lookup.h"

#include "core/site.h"
#include "core/text_rules.h"

namespace runlens {

namespace {

constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr int kDigitCount = 62;

}  // namespace

char Base62Digit(long long n) {
    // |n| mod 62 without overflowing on the most negative value.
    const int m = static_cast<int>(n % kDigitCount < 0 ? -(n % kDigitCount) : n % kDigitCount);
    if (m < 10)
        return static_cast<char>('0' + m);
    if (m < 36)
        return static_cast<char>('A' + m - 10);
    return static_cast<char>('a' + m - 36);
}

std::string MakeInstallCode(std::uint16_t languageId, std::uint32_t volumeSerial) {
    const int primary = languageId & kPrimaryLanguageMask;
    std::string code;
    code += Base62Digit(primary < kDigitCount ? primary : 0);
    code += Base62Digit(1);
    code += Base62Digit(volumeSerial >> 16);
    code += Base62Digit(volumeSerial & 0xFFFF);
    int sum = 0;
    for (const char c : code)
        sum += static_cast<unsigned char>(c);
    code += Base62Digit(sum);
    return code;
}

std::string PageAddress(std::string_view executableName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string address = SitePageFolderAddress();
    for (const char c : LowerBytes(executableName)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F ||
            std::string_view("%#?/\\ ").find(c) != std::string_view::npos) {
            address += '%';
            address += kHex[byte >> 4];
            address += kHex[byte & 0xF];
        } else {
            address += c;
        }
    }
    return address + ".html";
}

namespace {

// The parts of an absolute address that say where a request goes.
struct Origin {
    std::string scheme;     // lower case
    std::string authority;  // lower case, with the scheme's own port made explicit
    std::string_view rest;  // the path, query and fragment
};

std::optional<Origin> SplitOrigin(std::string_view address) {
    const std::size_t colon = address.find("://");
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    Origin origin;
    origin.scheme = LowerBytes(address.substr(0, colon));
    for (const char c : origin.scheme) {
        if (!(c >= 'a' && c <= 'z') && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return std::nullopt;
    }
    const std::string_view after = address.substr(colon + 3);
    const std::size_t end = after.find_first_of("/?#");
    const std::string_view authority = after.substr(0, end);
    // A user name in front of the host is never what the site sends, nor a backslash, which
    // readers of addresses take differently.
    if (authority.empty() || authority.find_first_of("@\\") != std::string_view::npos)
        return std::nullopt;
    origin.authority = LowerBytes(authority);
    if (origin.authority.find(':') == std::string::npos) {
        if (origin.scheme == "http")
            origin.authority += ":80";
        else if (origin.scheme == "https")
            origin.authority += ":443";
    }
    origin.rest = end == std::string_view::npos ? std::string_view() : after.substr(end);
    return origin;
}

}  // namespace

std::u16string DecodeNoticeMessage(std::string_view message, const CodePage& ansi) {
    message = message.substr(0, kFetchCap);
    // Behind the marker byte, a message that filled the cap may end inside a character.
    const std::string_view whole = message.size() + 1 >= kFetchCap
                                       ? message.substr(0, WithoutCutUtf8Character(message))
                                       : message;
    return IsUtf8(whole) ? Utf16FromUtf8(whole) : ansi.ToUtf16(message);
}

std::optional<std::string> RedirectTarget(std::string_view from, std::string_view location) {
    const auto source = SplitOrigin(from);
    if (!source || location.empty())  // a redirect that says nowhere leads nowhere
        return std::nullopt;
    std::string target;
    if (location.find("://") != std::string_view::npos) {
        target = location;
    } else if (location.starts_with("//")) {
        target = source->scheme + ":" + std::string(location);
    } else {
        const std::string_view origin = from.substr(0, from.size() - source->rest.size());
        if (location.starts_with("/")) {
            target = std::string(origin) + std::string(location);
        } else {
            // Relative to the folder of the address it came from.
            const std::string_view path = source->rest.substr(0, source->rest.find_first_of("?#"));
            const std::size_t slash = path.rfind('/');
            target =
                std::string(origin) +
                std::string(slash == std::string_view::npos ? "/" : path.substr(0, slash + 1)) +
                std::string(location);
        }
    }
    const auto destination = SplitOrigin(target);
    if (!destination || destination->scheme != source->scheme ||
        destination->authority != source->authority) {
        return std::nullopt;
    }
    return target;
}

std::string NoticeAddress(std::uint16_t languageId, std::uint32_t volumeSerial) {
    return SiteNoticeScriptAddress() + MakeInstallCode(languageId, volumeSerial);
}

std::optional<std::string_view> NoticeMessage(std::string_view reply) {
    if (reply.empty() || reply == "OK" || reply.front() != kNoticeMessageMarker)
        return std::nullopt;
    return reply.substr(1);
}

}  // namespace runlens
