// What the tests' model of the version functions takes from Windows: the ANSI code page, and
// files found by the library search.
#pragma once

#include "tests/oracle/version_block.h"

namespace runlens {

class Win32AnsiCodec final : public AnsiCodec {
  public:
    std::string FromUtf16(std::u16string_view text) const override;
    std::u16string ToUtf16(std::string_view text) const override;
};

// Finds a bare name as the version functions do (the program's folder, the system folders,
// the Windows folder, the current folder, the PATH).
class Win32FileReader final : public FileReader {
  public:
    std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view fileName) override;
};

}  // namespace runlens
