#include "info/version_strings.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

#include "core/text_rules.h"

namespace runlens {
namespace {

constexpr std::uint16_t kCodePageLatin1 = 0x04E4;   // 1252
constexpr std::uint16_t kCodePageUnicode = 0x04B0;  // 1200
constexpr std::uint16_t kUnitedStatesEnglish = 0x0409;

// What the 256-byte value buffer keeps of a found value.
std::string ValueBufferText(std::string_view value) {
    value = value.substr(0, value.find('\0'));
    return std::string(value.substr(0, kMaxValueLength));
}

}  // namespace

std::string StringPath(std::uint16_t language, std::uint16_t codePage, std::string_view name) {
    char key[9];
    std::snprintf(key, sizeof(key), "%04X%04X", static_cast<unsigned>(language),
                  static_cast<unsigned>(codePage));
    std::string path = "StringFileInfo\\";
    path += key;
    path += '\\';
    path += name;
    path += '\\';
    return path;
}

std::string ScanVersionBlock(std::string_view key, std::span<const std::uint8_t> block) {
    if (block.size() <= 10)
        return {};
    // Built back to front; the byte at index 0 is only ever a neighbour.
    std::string text;
    for (std::size_t i = block.size() - 1; i >= 1; --i) {
        const std::uint8_t byte = block[i];
        if (byte >= 0x20) {
            text.push_back(static_cast<char>(byte));
        } else if (byte == 0 && block[i - 1] == 0 && !text.empty()) {
            text.push_back(kGapMarker);
        }
    }
    std::reverse(text.begin(), text.end());

    std::size_t at = text.find(key);
    if (at == std::string::npos) {
        at = LowerBytes(text).find(LowerBytes(key));
        if (at == std::string::npos)
            return {};
    }
    // The key and the one character after it go.
    const std::size_t cut = at + key.size() + 1;
    if (cut >= text.size())
        return {};
    std::string_view value = std::string_view(text).substr(cut);
    value.remove_prefix(std::min(value.find_first_not_of(kGapMarker), value.size()));
    return std::string(value.substr(0, value.find(kGapMarker)));
}

std::string QueryVersionString(std::span<std::uint8_t> block, std::string_view name,
                               VersionApi& api) {
    const std::uint16_t language = api.UserDefaultLangId();
    for (const std::string& path :
         {StringPath(language, kCodePageLatin1, name), StringPath(language, kCodePageUnicode, name),
          StringPath(kUnitedStatesEnglish, kCodePageLatin1, name)}) {
        if (const auto value = api.QueryString(block, path))
            return ValueBufferText(*value);
    }
    if (const auto translation = api.QueryTranslation(block)) {
        // Only the first entry counts, and no scan follows it.
        const auto path = StringPath(static_cast<std::uint16_t>(*translation & 0xFFFF),
                                     static_cast<std::uint16_t>(*translation >> 16), name);
        const auto value = api.QueryString(block, path);
        return value ? ValueBufferText(*value) : std::string();
    }
    return ValueBufferText(ScanVersionBlock(name, block));
}

bool GetVersionStrings(std::string_view fileName, VersionApi& api, VersionStrings& strings) {
    strings = {};
    try {
        const std::uint32_t size = api.VersionInfoSize(fileName);
        if (size == 0)
            return false;
        std::vector<std::uint8_t> block(size, 0);
        if (!api.ReadVersionInfo(fileName, block))
            return false;
        strings.description = QueryVersionString(block, "FileDescription", api);
        strings.product = QueryVersionString(block, "ProductName", api);
        strings.company = QueryVersionString(block, "CompanyName", api);
        strings.comments = QueryVersionString(block, "Comments", api);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace runlens
