#include "inventory/win32/win32_inventory.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "core/win32/handles.h"
#include "core/win32/paths.h"
#include "core/win32/system_facts.h"
#include "core/win32/text.h"

namespace runlens {
namespace {

// Both query methods first fill a buffer of this many wide characters; a longer path is asked
// for once more with room for the longest.
constexpr DWORD kImageNameBuffer = 260;
constexpr DWORD kMessageBuffer = 256;

// The wide process entry: 556 bytes on 32-bit Windows, wider where pointers are. Its name is
// converted here, without the look-alikes the system's ANSI entry would use.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32W) == 556);

using Process32Fn = DynamicFunctions::Process32WFn;

class Win32ProcessSnapshot final : public ProcessSnapshot {
  public:
    Win32ProcessSnapshot(UniqueSnapshot snapshot, Process32Fn first, Process32Fn next)
        : snapshot_(std::move(snapshot)), first_(first), next_(next) {
        entry_.dwSize = sizeof(entry_);
    }

    bool Next(SnapshotEntry& entry) override {
        if (done_)
            return false;
        Process32Fn read = started_ ? next_ : first_;
        started_ = true;
        if (!read(snapshot_.get(), &entry_)) {
            done_ = true;
            return false;
        }
        entry.processId = entry_.th32ProcessID;
        entry.exeFile =
            ExactAnsiFromWide({entry_.szExeFile, ::wcsnlen(entry_.szExeFile, MAX_PATH)});
        return true;
    }

  private:
    UniqueSnapshot snapshot_;
    Process32Fn first_;
    Process32Fn next_;
    PROCESSENTRY32W entry_{};
    bool started_ = false;
    bool done_ = false;
};

// Reads a directory whose length the system reports, growing the buffer when it is too small.
template <typename Read>
std::string ReadSystemText(Read read) {
    std::string text(MAX_PATH, '\0');
    UINT length = read(text.data(), static_cast<UINT>(text.size()));
    if (length >= text.size()) {
        text.assign(length + 1, '\0');
        length = read(text.data(), static_cast<UINT>(text.size()));
        if (length >= text.size())
            length = 0;
    }
    text.resize(length);
    return text;
}

ImageQuery LastError() {
    return {{}, ::GetLastError()};
}

// A path as the queries return it; it ends at its first zero, if it holds one.
ImageQuery ImageFromBuffer(std::wstring_view buffer) {
    return {ExactAnsiFromWide(buffer.substr(0, buffer.find(L'\0'))), 0};
}

// The directory search reads "*", "?" and, in the system's own forms, "<", ">" and the double
// quote as wildcards. No file name holds them, so a path with any of them names no file.
bool HasWildcard(std::wstring_view path) {
    return path.find_first_of(L"*?<>\"") != std::wstring_view::npos;
}

bool SameFileName(const wchar_t* entry, std::wstring_view name) {
    return !name.empty() &&
           ::CompareStringOrdinal(entry, -1, name.data(), static_cast<int>(name.size()), TRUE) ==
               CSTR_EQUAL;
}

}  // namespace

Win32InventorySystem::Win32InventorySystem() : Win32InventorySystem(ImageNameFunctions{}) {
    const auto& fullImageName = DynamicFunctions::QueryFullProcessImageNameW();
    queryFullProcessImageName_ = fullImageName.function;
    queryFullProcessImageNameMissing_ = fullImageName.missing;
    const auto& moduleFileName = DynamicFunctions::GetModuleFileNameExW();
    getModuleFileNameEx_ = moduleFileName.function;
    getModuleFileNameExMissing_ = moduleFileName.missing;
}

Win32InventorySystem::Win32InventorySystem(ImageNameFunctions functions)
    : queryFullProcessImageName_(functions.queryFullProcessImageName),
      getModuleFileNameEx_(functions.getModuleFileNameEx) {
    const SystemVersion version = ReadSystemVersion();
    if (version.known)
        ntFamily_ = version.platformId == VER_PLATFORM_WIN32_NT;
}

std::optional<std::string> Win32InventorySystem::ExpandEnvironment(std::string_view text) {
    const std::string source(text);
    std::string expanded(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD needed = ::ExpandEnvironmentStringsA(source.c_str(), expanded.data(),
                                                         static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return std::nullopt;
        if (needed <= expanded.size()) {
            expanded.resize(::strnlen(expanded.data(), expanded.size()));
            return expanded;
        }
        expanded.assign(needed, '\0');
    }
    return std::nullopt;
}

std::string Win32InventorySystem::SystemDirectory() {
    return ReadSystemText(
        [](char* buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); });
}

std::string Win32InventorySystem::WindowsDirectory() {
    return ReadSystemText(
        [](char* buffer, UINT size) { return ::GetWindowsDirectoryA(buffer, size); });
}

ImageQuery Win32InventorySystem::QueryFullImageName(std::uint32_t processId) {
    if (!queryFullProcessImageName_)
        return {{}, queryFullProcessImageNameMissing_};
    const UniqueHandle process =
        AdoptProcessHandle(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return LastError();
    // A buffer that is too small fails the call, and the error says so.
    for (const DWORD capacity : {kImageNameBuffer, kLongestPath + 1}) {
        std::wstring buffer(capacity, L'\0');
        DWORD size = capacity;
        if (queryFullProcessImageName_(process.get(), 0, buffer.data(), &size))
            return ImageFromBuffer({buffer.data(), std::min(size, capacity)});
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
    }
    return LastError();
}

ImageQuery Win32InventorySystem::QueryModuleFileName(std::uint32_t processId) {
    if (!getModuleFileNameEx_)
        return {{}, getModuleFileNameExMissing_};
    const UniqueHandle process = AdoptProcessHandle(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return LastError();
    // A buffer that is too small cuts the name and fills the buffer: the system then returns
    // its size, or one less with a zero in its last place.
    for (const DWORD capacity : {kImageNameBuffer, kLongestPath + 2}) {
        std::wstring buffer(capacity, L'\0');
        const DWORD length = getModuleFileNameEx_(process.get(), nullptr, buffer.data(), capacity);
        if (length == 0)
            return LastError();
        if (length + 1 < capacity || capacity > kLongestPath + 1)
            return ImageFromBuffer({buffer.data(), std::min(length, capacity)});
    }
    return {};
}

std::string Win32InventorySystem::SystemMessage(std::uint32_t error) {
    char buffer[kMessageBuffer];
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         0, buffer, kMessageBuffer, nullptr);
    return std::string(buffer, std::min(length, kMessageBuffer));
}

ServiceManagerOpen Win32InventorySystem::OpenServiceManager() {
    const UniqueServiceHandle manager = UniqueServiceHandle(
        ::OpenSCManagerA(nullptr, nullptr, GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE));
    if (!manager)
        return {false, ::GetLastError()};
    return {true, 0};
}

std::unique_ptr<ProcessSnapshot> Win32InventorySystem::TakeSnapshot() {
    const auto create = DynamicFunctions::CreateToolhelp32Snapshot();
    const auto first = DynamicFunctions::Process32FirstW();
    const auto next = DynamicFunctions::Process32NextW();
    if (!create || !first || !next)
        return nullptr;
    UniqueSnapshot snapshot(create(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return nullptr;
    return std::make_unique<Win32ProcessSnapshot>(std::move(snapshot), first, next);
}

bool Win32InventorySystem::FileExists(std::string_view path) {
    const std::wstring file = WideFromAnsi(path);
    if (file.empty() || HasWildcard(file))
        return false;
    const DWORD attributes = ::GetFileAttributesW(FileSystemPath(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::uint64_t Win32InventorySystem::GetFileSizeOf(std::string_view path) {
    const std::wstring file = WideFromAnsi(path);
    if (file.empty() || HasWildcard(file))
        return 0;
    WIN32_FIND_DATAW found;
    const UniqueFind find(::FindFirstFileW(FileSystemPath(file).c_str(), &found));
    if (!find)
        return 0;
    // Only the file's own entry counts: its name, or its short name, ends the path.
    const std::wstring_view name = std::wstring_view(file).substr(file.find_last_of(L"\\/") + 1);
    if (!SameFileName(found.cFileName, name) && !SameFileName(found.cAlternateFileName, name))
        return 0;
    return (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

}  // namespace runlens
