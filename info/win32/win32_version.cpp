#include "info/win32/win32_version.h"

#include <windows.h>

#include <cstring>

#include "core/win32/dynamic_functions.h"
#include "info/version_guard.h"

namespace runlens {
namespace {

// The value VerQueryValueA points at, if it lies inside the block. A block the check refuses
// never reaches the system, whoever asks.
std::optional<std::size_t> QueryOffset(std::span<std::uint8_t> block, const char* path) {
    const auto query = DynamicFunctions::Version().verQueryValueA;
    if (!query || !IsWellFormedVersionBlock(block))
        return std::nullopt;
    void* value = nullptr;
    UINT length = 0;
    if (!query(block.data(), path, &value, &length) || !value)
        return std::nullopt;
    const auto* at = static_cast<const std::uint8_t*>(value);
    if (at < block.data() || at >= block.data() + block.size())
        return std::nullopt;
    return static_cast<std::size_t>(at - block.data());
}

}  // namespace

std::uint32_t Win32VersionApi::VersionInfoSize(std::string_view fileName) {
    const auto size = DynamicFunctions::Version().getFileVersionInfoSizeA;
    if (!size)
        return 0;
    DWORD handle = 0;
    return size(std::string(fileName).c_str(), &handle);
}

bool Win32VersionApi::ReadVersionInfo(std::string_view fileName, std::span<std::uint8_t> block) {
    // VerQueryValueA believes the block's lengths: a root length past the resource makes it
    // write its converted texts far past this buffer.
    const auto read = DynamicFunctions::Version().getFileVersionInfoA;
    return read &&
           read(std::string(fileName).c_str(), 0, static_cast<DWORD>(block.size()), block.data()) !=
               FALSE &&
           IsWellFormedVersionBlock(block);
}

std::optional<std::string> Win32VersionApi::QueryString(std::span<std::uint8_t> block,
                                                        std::string_view subBlock) {
    const auto offset = QueryOffset(block, std::string(subBlock).c_str());
    if (!offset)
        return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(block.data() + *offset);
    return std::string(text, ::strnlen(text, block.size() - *offset));
}

std::optional<std::uint32_t> Win32VersionApi::QueryTranslation(std::span<std::uint8_t> block) {
    const auto offset = QueryOffset(block, "\\VarFileInfo\\Translation");
    if (!offset || block.size() - *offset < 4)
        return std::nullopt;
    std::uint32_t entry = 0;
    std::memcpy(&entry, block.data() + *offset, sizeof(entry));
    return entry;
}

std::uint16_t Win32VersionApi::UserDefaultLangId() {
    return ::GetUserDefaultLangID();
}

}  // namespace runlens
