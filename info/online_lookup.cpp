#include "info/online_lookup.h"

#include "core/site.h"
#include "core/text_rules.h"

namespace runlens {

bool FirstLookupPending = true;

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
    return SitePageFolderAddress() + LowerBytes(executableName) + ".html";
}

void OnlineLookup::LookupProcess() {
    const ProcessRow* row = selectedRow_();
    if (!row)
        return;
    const std::string address = PageAddress(row->caption);
    if (!system_.UrlExists(address)) {
        showLocalInfoPage_();
        return;
    }
    pane_.SetTitleChangeHandler(
        [this](std::u16string_view title) { WebBrowserTitleChange(title); });
    pane_.Navigate(system_.WideFromAnsi(address));
    system_.ShowStatus(address);
    if (FirstLookupPending) {
        FirstLookupPending = false;
        SendNotice();
    }
}

void OnlineLookup::SendNotice() {
    const std::string reply = system_.FetchUrlText(
        SiteNoticeScriptAddress() +
        MakeInstallCode(system_.UserDefaultLangId(), system_.GetVolumeSerial()));
    if (!reply.empty() && reply != "OK" && reply.front() == kNoticeMessageMarker) {
        system_.ShowNoticeMessage(std::string_view(reply).substr(1));
    }
}

void OnlineLookup::WebBrowserTitleChange(std::u16string_view title) {
    const ProcessRow* row = selectedRow_();
    if (!row)
        return;  // the handler stays attached
    pane_.SetTitleChangeHandler({});
    const std::u16string name = system_.WideFromAnsi(LowerBytes(row->caption));
    if (title.find(name) != std::u16string_view::npos)
        return;
    if (title == u"about:blank" || title.find(u"404") != std::u16string_view::npos) {
        showLocalInfoPage_();
    }
}

}  // namespace runlens
