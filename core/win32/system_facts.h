// What the system says of itself: its version and the user's language. The inventory asks for
// the platform family; the program's user agent names them all.
#pragma once

#include <windows.h>

#include <string>

namespace runlens {

// As GetVersionExA reports it: a program whose manifest names no later system sees Windows 8
// and everything after it as 6.2.
struct SystemVersion {
    bool known = false;  // false when the system would not say
    DWORD platformId = 0;
    DWORD majorVersion = 0;
    DWORD minorVersion = 0;
};
SystemVersion ReadSystemVersion();

// The user's default language, with the English names of the language and of its country;
// a name the system cannot give is empty.
struct UserLanguage {
    LANGID id = 0;
    std::string languageName;
    std::string countryName;
};
UserLanguage ReadUserLanguage();

}  // namespace runlens
