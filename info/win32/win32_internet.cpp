#include "info/win32/win32_internet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>

#include "core/win32/handles.h"
#include "core/win32/text.h"

namespace runlens {
namespace {

using UniqueInternet = Unique<HINTERNET, &::InternetCloseHandle>;

constexpr DWORD kReadChunk = 1024;
constexpr DWORD kHttpOk = 200;
constexpr DWORD kVolumeNameBuffer = 255;

UniqueInternet OpenRoot(std::string_view agent) {
    return UniqueInternet(::InternetOpenA(std::string(agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                          nullptr, nullptr, 0));
}

}  // namespace

bool UrlExists(std::string_view address, std::string_view agent) {
    const UniqueInternet root = OpenRoot(agent);
    if (!root)
        return false;
    const UniqueInternet request(
        ::InternetOpenUrlA(root.get(), std::string(address).c_str(), nullptr, 0, 0, 0));
    if (!request)
        return false;
    DWORD status = 0;
    DWORD length = sizeof(status);
    return ::HttpQueryInfoA(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                            &length, nullptr) &&
           status == kHttpOk;
}

std::string FetchUrlText(std::string_view address, std::string_view agent) {
    std::string text;
    const UniqueInternet root = OpenRoot(agent);
    if (!root)
        return text;
    const UniqueInternet request(::InternetOpenUrlA(root.get(), std::string(address).c_str(),
                                                    nullptr, 0, INTERNET_FLAG_EXISTING_CONNECT, 0));
    if (!request)
        return text;
    char buffer[kReadChunk + 1];
    DWORD read = 0;
    // A remote party decides how long the body is: reading stops at the cap.
    while (text.size() < kFetchCap &&
           ::InternetReadFile(request.get(), buffer, kReadChunk, &read) && read > 0) {
        buffer[read] = '\0';
        text.append(buffer, ::strnlen(buffer, read));
    }
    if (text.size() > kFetchCap)
        text.resize(kFetchCap);
    return text;
}

std::uint32_t GetVolumeSerial() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    // The drive part of the path and a backslash: "C:\" or "\\server\share\".
    std::string_view full(path, length);
    std::string root;
    if (full.size() >= 2 && full[1] == ':') {
        root = std::string(full.substr(0, 2)) + "\\";
    } else if (full.starts_with("\\\\")) {
        const std::size_t share = full.find('\\', 2);
        const std::size_t end =
            share == std::string_view::npos ? share : full.find('\\', share + 1);
        root = std::string(full.substr(0, end)) + "\\";
    } else {
        return 0;
    }
    char name[kVolumeNameBuffer];
    char fileSystem[kVolumeNameBuffer];
    DWORD serial = 0;
    if (!::GetVolumeInformationA(root.c_str(), name, kVolumeNameBuffer, &serial, nullptr, nullptr,
                                 fileSystem, kVolumeNameBuffer)) {
        return 0;
    }
    return serial;
}

std::wstring DecodeNoticeMessage(std::string_view message) {
    if (message.empty())
        return {};
    const int length = static_cast<int>(std::min<std::size_t>(message.size(), kFetchCap));
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, message.data(), length, nullptr, 0) >
        0) {
        return ToWide(CP_UTF8, message);
    }
    return ToWide(932, message);
}

}  // namespace runlens
