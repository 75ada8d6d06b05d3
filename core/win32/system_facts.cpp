#include "core/win32/system_facts.h"

namespace runlens {
namespace {

constexpr int kLocaleNameBuffer = 128;

std::string LocaleText(LCID locale, LCTYPE item) {
    char text[kLocaleNameBuffer] = {};
    if (!::GetLocaleInfoA(locale, item, text, sizeof(text)))
        text[0] = 0;
    return text;
}

}  // namespace

SystemVersion ReadSystemVersion() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version))
        return {};
    return {true, version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion};
}

UserLanguage ReadUserLanguage() {
    UserLanguage language;
    language.id = ::GetUserDefaultLangID();
    const LCID locale = MAKELCID(language.id, SORT_DEFAULT);
    language.languageName = LocaleText(locale, LOCALE_SENGLANGUAGE);
    language.countryName = LocaleText(locale, LOCALE_SENGCOUNTRY);
    return language;
}

}  // namespace runlens
