// The tests' model of the system's version functions, which the program itself never uses: a
// portable reader of version resources that locates the resource in a PE file (32- and 64-bit)
// and answers sub-block queries the way the system's ANSI query does, for the 16-bit-character
// layout that 32- and 64-bit programs carry and for the older 8-bit layout. The host tests and
// the fuzz targets run the version strings against it; under Wine it is checked against the
// system's own functions. Every read is bounded by the block: a malformed block gives
// "not found", never a read outside it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page.h"
#include "info/version_strings.h"

namespace runlens {

// The bytes of a file found by name (a bare name by the system's library search order).
class FileReader {
  public:
    virtual ~FileReader() = default;
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(std::string_view fileName) = 0;
};

// The version resource of a PE file, in the language the system would pick for `language`.
std::optional<std::span<const std::uint8_t>> FindVersionResource(std::span<const std::uint8_t> file,
                                                                 std::uint16_t language);

// The buffer size the system reports for a version resource: room for the converted texts of
// the ANSI query behind a 16-bit-character block.
std::size_t VersionBufferSize(std::span<const std::uint8_t> resource);

// The ANSI query: the node a backslash-separated path names (keys compared without regard to
// ASCII letter case, empty components skipped). For a text node the value is converted to the
// ANSI code page and kept behind the block, where the system keeps it.
std::optional<std::string> QueryVersionText(std::span<std::uint8_t> block,
                                            std::string_view subBlock, const CodePage& ansi);
std::optional<std::uint32_t> QueryVersionTranslation(std::span<std::uint8_t> block,
                                                     const CodePage& ansi);

// The version functions over file bytes.
class PortableVersionApi final : public VersionApi {
  public:
    PortableVersionApi(FileReader& files, const CodePage& ansi, std::uint16_t language)
        : files_(files), ansi_(ansi), language_(language) {}

    std::uint32_t VersionInfoSize(std::string_view fileName) override;
    bool ReadVersionInfo(std::string_view fileName, std::span<std::uint8_t> block) override;
    std::optional<std::string> QueryString(std::span<std::uint8_t> block,
                                           std::string_view subBlock) override {
        return QueryVersionText(block, subBlock, ansi_);
    }
    std::optional<std::uint32_t> QueryTranslation(std::span<std::uint8_t> block) override {
        return QueryVersionTranslation(block, ansi_);
    }
    std::uint16_t UserDefaultLangId() override { return language_; }

  private:
    // The file read by the size call, kept for the call that fills the buffer.
    bool Load(std::string_view fileName);

    FileReader& files_;
    const CodePage& ansi_;
    std::uint16_t language_;
    std::string loadedName_;
    std::vector<std::uint8_t> loadedFile_;
    std::span<const std::uint8_t> resource_;
};

}  // namespace runlens
