// The version functions of Windows.
#pragma once

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

}  // namespace runlens
