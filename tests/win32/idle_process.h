// An idle program started from a file of the test's choosing, for the tests that list
// processes: the test child copied to that file and run, ended when the test is done.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/win32/handles.h"

namespace runlens::testing {

inline std::wstring TempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, length);
}

// Creates every folder on the way to file.
inline void CreateFolders(const std::wstring& file) {
    for (std::size_t at = file.find(L'\\', 3); at != std::wstring::npos;
         at = file.find(L'\\', at + 1)) {
        ::CreateDirectoryW(file.substr(0, at).c_str(), nullptr);
    }
}

// An idle program started from `file`, ended when the test is done.
class IdleProcess {
  public:
    // `child` is the program copied there: the idle test child unless given.
    explicit IdleProcess(const std::wstring& file, std::wstring child = L"" RUNLENS_IDLE_CHILD) {
        std::replace(child.begin(), child.end(), L'/', L'\\');
        CreateFolders(file);
        if (!::CopyFileW(child.c_str(), file.c_str(), FALSE))
            return;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + file + L"\"";
        if (::CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info)) {
            process_.reset(info.hProcess);
            ::CloseHandle(info.hThread);
            id_ = info.dwProcessId;
            // The image name is there once the system has set the process up.
            for (int i = 0; i < 100 && !HasImageName(); ++i)
                ::Sleep(50);
        }
    }
    ~IdleProcess() { End(); }
    IdleProcess(const IdleProcess&) = delete;
    IdleProcess& operator=(const IdleProcess&) = delete;

    std::uint32_t Id() const { return id_; }
    // Ends the program now; it is then gone from every later snapshot.
    void End() {
        if (process_) {
            ::TerminateProcess(process_.get(), 0);
            ::WaitForSingleObject(process_.get(), 5000);
            process_.reset();
        }
    }

  private:
    bool HasImageName() const {
        wchar_t name[MAX_PATH];
        DWORD size = MAX_PATH;
        return ::QueryFullProcessImageNameW(process_.get(), 0, name, &size) && size > 0;
    }

    UniqueHandle process_;
    std::uint32_t id_ = 0;
};

}  // namespace runlens::testing
