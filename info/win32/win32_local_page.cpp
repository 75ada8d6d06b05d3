#include "info/win32/win32_local_page.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "core/win32/paths.h"
#include "core/win32/text.h"
#include "info/win32/win32_version.h"

namespace runlens {
namespace {

// Both name buffers of the temporary file hold this many characters.
constexpr DWORD kNameBuffer = 256;
// GetTempFileName adds up to 14 characters to the folder.
constexpr DWORD kTempNameRoom = 14;
// A temporary file's name holds a number from 1 to FFFF.
constexpr unsigned kTemporaryNumbers = 0xFFFF;

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
    const HRSRC found = ::FindResourceA(nullptr, resourceName.c_str(), RT_RCDATA);
    if (!found)
        return {};
    const HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return std::string(static_cast<const char*>(bytes), ::SizeofResource(nullptr, found));
}

std::string Win32LocalPageSystem::ProgramPathUtf8() {
    return ToNarrow(CP_UTF8, ProgramFilePath());
}

bool Win32LocalPageSystem::ReadVersionStrings(std::string_view fileName, VersionStrings& strings) {
    Win32VersionApi api;
    return GetVersionStrings(fileName, api, strings);
}

NewFile CreateNewTemporaryFile(std::wstring_view folder, std::wstring_view prefix, unsigned first) {
    const std::wstring folderText(folder);
    const std::wstring prefixText(prefix);
    for (unsigned tried = 0; tried < kTemporaryNumbers; ++tried) {
        const unsigned number = (first + tried - 1) % kTemporaryNumbers + 1;
        wchar_t name[MAX_PATH];
        // With a number of its own, the system only forms the name.
        if (!::GetTempFileNameW(folderText.c_str(), prefixText.c_str(), number, name))
            ThrowIoError("No temporary file can be made", ::GetLastError());
        // Only a name that nothing holds yet is taken: the file is the program's own from its
        // first moment, and a link planted under the name is never followed.
        UniqueFileHandle file(::CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return {std::move(file), name};
        const DWORD error = ::GetLastError();
        const bool taken =
            error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
            (error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES);
        if (!taken)
            ThrowIoError("No temporary file can be made", error);
    }
    ThrowIoError("No temporary file can be made", ERROR_FILE_EXISTS);
}

Win32LocalPageSystem::~Win32LocalPageSystem() {
    for (const std::wstring& page : pages_)
        ::DeleteFileW(page.c_str());
}

std::u16string Win32LocalPageSystem::WriteTemporaryPage(std::string_view page) {
    wchar_t folder[kNameBuffer];
    const DWORD folderLength = ::GetTempPathW(kNameBuffer, folder);
    if (folderLength == 0)
        ThrowIoError("The temporary folder cannot be found", ::GetLastError());
    if (folderLength >= kNameBuffer - kTempNameRoom) {
        ThrowIoError("The temporary folder's path is too long", ERROR_FILENAME_EXCED_RANGE);
    }
    NewFile file = CreateNewTemporaryFile(folder, L"htm", ::GetTickCount());
    std::string content(page);
    content += "\r\n";
    DWORD written = 0;
    DWORD error = ERROR_SUCCESS;
    if (content.size() > MAXDWORD ||
        !::WriteFile(file.handle.get(), content.data(), static_cast<DWORD>(content.size()),
                     &written, nullptr) ||
        written != content.size()) {
        error = ::GetLastError();
        file.handle.reset();
    } else if (!::CloseHandle(file.handle.release())) {
        error = ::GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        // The file is the program's own: a page that could not be written whole goes.
        ::DeleteFileW(file.path.c_str());
        ThrowIoError("The temporary file cannot be written", error);
    }
    pages_.push_back(file.path);
    RemoveOlderPages();
    return std::u16string(AsUtf16(file.path));
}

void Win32LocalPageSystem::RemoveOlderPages() {
    const auto newest = pages_.end() - 1;
    const auto kept = std::remove_if(pages_.begin(), newest, [](const std::wstring& page) {
        return ::DeleteFileW(page.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    });
    pages_.erase(kept, newest);
}

}  // namespace runlens
