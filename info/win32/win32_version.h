// The version functions of Windows, the ANSI code page, and files found by the library search.
#pragma once

#include "info/version_block.h"
#include "info/version_strings.h"

namespace runlens {

class Win32VersionApi final : public VersionApi {
  public:
    std::uint32_t VersionInfoSize(std::string_view fileName) override;
    bool ReadVersionInfo(std::string_view fileName, std::span<std::uint8_t> block) override;
    std::optional<std::string> QueryString(std::span<std::uint8_t> block,
                                           std::string_view subBlock) override;
    std::optional<std::uint32_t> QueryTranslation(std::span<std::uint8_t> block) override;
    std::uint16_t UserDefaultLangId() override;
};

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
