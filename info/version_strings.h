// Reading the description, product, company and comments strings of a file's version resource.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace runlens {

// The version functions of the system (or the tests' portable model of them) and the user's
// language.
class VersionApi {
  public:
    virtual ~VersionApi() = default;
    // GetFileVersionInfoSize: the size of the buffer the version block needs; 0 when the file
    // has none or is not found.
    virtual std::uint32_t VersionInfoSize(std::string_view fileName) = 0;
    // GetFileVersionInfo: fills the zero-filled buffer with the version block. False, too, for
    // a block that does not hold together (IsWellFormedVersionBlock): no query may see it.
    virtual bool ReadVersionInfo(std::string_view fileName, std::span<std::uint8_t> block) = 0;
    // The string a sub-block path names, in the ANSI code page, up to its terminating zero and
    // never past the block's end; nothing when the path names no entry. The query may write
    // into the block: the system keeps converted texts there.
    virtual std::optional<std::string> QueryString(std::span<std::uint8_t> block,
                                                   std::string_view subBlock) = 0;
    // The first entry of the translation table: language in the low 16 bits, code page in the
    // high 16 bits; nothing when the block has no table.
    virtual std::optional<std::uint32_t> QueryTranslation(std::span<std::uint8_t> block) = 0;
    virtual std::uint16_t UserDefaultLangId() = 0;
};

// As the system's ANSI query gives them: in the ANSI code page.
struct VersionStrings {
    std::string description;
    std::string product;
    std::string company;
    std::string comments;
};

// In the scan's text this byte stands for a pair of adjacent zero bytes of the block.
inline constexpr char kGapMarker = '\xA8';

// A value holds at most this many characters; a longer one is cut.
inline constexpr std::size_t kMaxValueLength = 255;

// True when the version block was read and the four lookups ran. Every error inside becomes
// false; `strings` is then to be taken as empty.
bool GetVersionStrings(std::string_view fileName, VersionApi& api, VersionStrings& strings);

// One string, through the user's language, United States English, the translation table's
// first entry, and, when the block has no translation table, the raw scan.
std::string QueryVersionString(std::span<std::uint8_t> block, std::string_view name,
                               VersionApi& api);

// The value that follows key in the raw block; empty when the key is not there.
std::string ScanVersionBlock(std::string_view key, std::span<const std::uint8_t> block);

// "StringFileInfo\" + language key + "\" + name + "\"; the key is the language and the code
// page in four upper-case hexadecimal digits each.
std::string StringPath(std::uint16_t language, std::uint16_t codePage, std::string_view name);

}  // namespace runlens
