#include "inventory/win32/win32_inventory.h"

#include <tlhelp32.h>

#include <cstring>

#include "core/win32/handles.h"
#include "core/win32/text.h"

namespace runlens {
namespace {

// Both query methods fill a buffer of this many wide characters.
constexpr DWORD kImageNameBuffer = 260;
constexpr DWORD kMessageBuffer = 256;

// The ANSI process entry: 296 bytes on 32-bit Windows, wider where pointers are.
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296);

using CreateToolhelp32SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using Process32Fn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

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
        entry.exeFile.assign(entry_.szExeFile, ::strnlen(entry_.szExeFile, MAX_PATH));
        return true;
    }

  private:
    UniqueSnapshot snapshot_;
    Process32Fn first_;
    Process32Fn next_;
    PROCESSENTRY32 entry_{};
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

}  // namespace

Win32InventorySystem::Win32InventorySystem() {
    const HMODULE kernel32 = ::LoadLibraryA("kernel32.dll");
    queryFullProcessImageName_ =
        LookUpFunction<QueryFullProcessImageNameWFn>(kernel32, "QueryFullProcessImageNameW");
    if (!queryFullProcessImageName_)
        queryFullProcessImageNameMissing_ = ::GetLastError();

    getModuleFileNameEx_ = LookUpFunction<GetModuleFileNameExWFn>(kernel32, "GetModuleFileNameExW");
    if (!getModuleFileNameEx_) {
        getModuleFileNameEx_ = LookUpFunction<GetModuleFileNameExWFn>(::LoadLibraryA("psapi.dll"),
                                                                      "GetModuleFileNameExW");
    }
    if (!getModuleFileNameEx_)
        getModuleFileNameExMissing_ = ::GetLastError();

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (::GetVersionExA(&version))
        ntFamily_ = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
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
    wchar_t buffer[kImageNameBuffer];
    DWORD size = kImageNameBuffer;
    if (!queryFullProcessImageName_(process.get(), 0, buffer, &size))
        return LastError();
    return {AnsiFromWide({buffer, size}), 0};
}

ImageQuery Win32InventorySystem::QueryModuleFileName(std::uint32_t processId) {
    if (!getModuleFileNameEx_)
        return {{}, getModuleFileNameExMissing_};
    const UniqueHandle process = AdoptProcessHandle(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return LastError();
    wchar_t buffer[kImageNameBuffer];
    const DWORD length = getModuleFileNameEx_(process.get(), nullptr, buffer, kImageNameBuffer);
    if (length == 0)
        return LastError();
    return {AnsiFromWide({buffer, std::min(length, kImageNameBuffer)}), 0};
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

std::string Win32InventorySystem::AnsiFromUtf8(std::string_view text) {
    return AnsiFromWide(WideFromUtf8(text));
}

std::unique_ptr<ProcessSnapshot> Win32InventorySystem::TakeSnapshot() {
    const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    const auto create =
        LookUpFunction<CreateToolhelp32SnapshotFn>(kernel32, "CreateToolhelp32Snapshot");
    const auto first = LookUpFunction<Process32Fn>(kernel32, "Process32First");
    const auto next = LookUpFunction<Process32Fn>(kernel32, "Process32Next");
    if (!create || !first || !next)
        return nullptr;
    UniqueSnapshot snapshot(create(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return nullptr;
    return std::make_unique<Win32ProcessSnapshot>(std::move(snapshot), first, next);
}

bool Win32InventorySystem::FileExists(std::string_view path) {
    const DWORD attributes = ::GetFileAttributesA(std::string(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::uint64_t Win32InventorySystem::GetFileSizeOf(std::string_view path) {
    WIN32_FIND_DATAA found;
    const UniqueFind find(::FindFirstFileA(std::string(path).c_str(), &found));
    if (!find)
        return 0;
    return (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

std::string Win32InventorySystem::LocaleUpper(std::string_view text) {
    return AnsiLocaleUpper(text);
}

}  // namespace runlens
