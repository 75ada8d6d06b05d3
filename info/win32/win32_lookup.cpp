#include "info/win32/win32_lookup.h"

#include <windows.h>

#include "core/win32/code_page.h"
#include "core/win32/text.h"
#include "info/win32/win32_internet.h"

namespace runlens {

bool Win32LookupSystem::PageExists(std::string_view address, Deadline deadline) {
    return UrlExists(address, agent_, deadline);
}

std::string Win32LookupSystem::FetchText(std::string_view address, Deadline deadline) {
    return FetchUrlText(address, agent_, deadline);
}

std::uint16_t Win32LookupSystem::UserDefaultLangId() {
    return ::GetUserDefaultLangID();
}

std::uint32_t Win32LookupSystem::VolumeSerial() {
    return GetVolumeSerial();
}

void Win32LookupSystem::ShowStatusLine(std::string_view text) {
    sink_.ShowStatusLine(WideFromAnsi(text));
}

void Win32LookupSystem::ShowNoticeMessage(std::string_view message) {
    sink_.ShowNoticeBox(AsWide(DecodeNoticeMessage(message, Win32CodePage())));
}

}  // namespace runlens
