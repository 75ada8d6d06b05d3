// What the tests' model of the version functions takes from Windows besides the ANSI code page
// (core/win32/code_page.h): files found by the library search.
#pragma once

#include "tests/oracle/version_block.h"

namespace runlens {

// Finds a bare name as the version functions do (the program's folder, the system folders,
// the Windows folder, the current folder, the PATH).
class Win32FileReader final : public FileReader {
  public:
    std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view fileName) override;
};

}  // namespace runlens
