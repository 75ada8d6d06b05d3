// The local page's view of Windows: the program's resources, the temporary file, the ANSI code
// page and the version functions.
#pragma once

#include "info/local_page.h"

namespace runlens {

class Win32LocalPageSystem final : public LocalPageSystem {
  public:
    std::string LoadTextResource(std::string_view name) override;
    std::string ProgramPathUtf8() override;
    std::string Utf8FromAnsi(std::string_view text) override;
    bool ReadVersionStrings(std::string_view fileName, VersionStrings& strings) override;
    const LocaleRules& Rules() override;
    std::string WriteTemporaryPage(std::string_view page) override;
    std::u16string WideFromAnsi(std::string_view text) override;
};

}  // namespace runlens
