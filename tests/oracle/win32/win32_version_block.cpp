#include "tests/oracle/win32/win32_version_block.h"

#include <windows.h>

#include "core/win32/handles.h"

namespace runlens {
namespace {

// Larger files are not read whole: no program file is that big.
constexpr ULONGLONG kLargestFile = 512ull << 20;

}  // namespace

std::optional<std::vector<std::uint8_t>> Win32FileReader::ReadFile(std::string_view fileName) {
    const std::string name(fileName);
    char path[MAX_PATH];
    const DWORD found = ::SearchPathA(nullptr, name.c_str(), nullptr, MAX_PATH, path, nullptr);
    if (found == 0 || found >= MAX_PATH)
        return std::nullopt;
    const UniqueFileHandle file(::CreateFileA(path, GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) ||
        static_cast<ULONGLONG>(size.QuadPart) > kLargestFile) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace runlens
