#include "info/win32/win32_local_page.h"

#include <windows.h>

#include <stdexcept>

#include "core/win32/handles.h"
#include "core/win32/text.h"
#include "info/win32/win32_version.h"

namespace runlens {
namespace {

// Both name buffers of the temporary file hold this many characters.
constexpr DWORD kNameBuffer = 256;
// GetTempFileNameA adds up to 14 characters to the folder.
constexpr DWORD kTempNameRoom = 14;

// An I/O error with the system's words for it.
[[noreturn]] void ThrowIoError(const char* what, DWORD error) {
    wchar_t message[512];
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, message, 512, nullptr);
    while (length > 0 && (message[length - 1] == L'\r' || message[length - 1] == L'\n')) {
        --length;
    }
    throw std::runtime_error(std::string(what) + " (I/O error " + std::to_string(error) +
                             (length ? ": " + ToNarrow(CP_UTF8, {message, length}) : "") + ")");
}

}  // namespace

std::string Win32LocalPageSystem::LoadTextResource(std::string_view name) {
    const std::string resourceName(name);
    const HRSRC found = ::FindResourceA(nullptr, resourceName.c_str(), MAKEINTRESOURCEA(10));
    if (!found)
        return {};
    const HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return std::string(static_cast<const char*>(bytes), ::SizeofResource(nullptr, found));
}

std::string Win32LocalPageSystem::ProgramPathUtf8() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return ToNarrow(CP_UTF8, path);
        }
        path.resize(path.size() * 2);
    }
}

std::string Win32LocalPageSystem::Utf8FromAnsi(std::string_view text) {
    return ToNarrow(CP_UTF8, ToWide(CP_ACP, text));
}

bool Win32LocalPageSystem::ReadVersionStrings(std::string_view fileName, VersionStrings& strings) {
    Win32VersionApi api;
    return GetVersionStrings(fileName, api, strings);
}

const LocaleRules& Win32LocalPageSystem::Rules() {
    static const LocaleRules rules{&AnsiLocaleUpper, &IsAnsiLeadByte};
    return rules;
}

std::string Win32LocalPageSystem::WriteTemporaryPage(std::string_view page) {
    char folder[kNameBuffer];
    const DWORD folderLength = ::GetTempPathA(kNameBuffer, folder);
    if (folderLength == 0)
        ThrowIoError("The temporary folder cannot be found", ::GetLastError());
    if (folderLength >= kNameBuffer - kTempNameRoom) {
        ThrowIoError("The temporary folder's path is too long", ERROR_FILENAME_EXCED_RANGE);
    }
    char name[kNameBuffer];
    if (!::GetTempFileNameA(folder, "htm", 0, name)) {
        ThrowIoError("No temporary file can be made", ::GetLastError());
    }
    UniqueFileHandle file(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowIoError("The temporary file cannot be opened", ::GetLastError());
    std::string content(page);
    content += "\r\n";
    DWORD written = 0;
    if (content.size() > MAXDWORD ||
        !::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                     nullptr) ||
        written != content.size()) {
        ThrowIoError("The temporary file cannot be written", ::GetLastError());
    }
    if (!::CloseHandle(file.release())) {
        ThrowIoError("The temporary file cannot be closed", ::GetLastError());
    }
    return name;
}

std::u16string Win32LocalPageSystem::WideFromAnsi(std::string_view text) {
    return std::u16string(AsUtf16(runlens::WideFromAnsi(text)));
}

}  // namespace runlens
