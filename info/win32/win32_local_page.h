// The local page's view of Windows: the program's resources, the temporary page files and the
// version functions.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/win32/handles.h"
#include "info/local_page.h"

namespace runlens {

// A file this call made, open for writing.
struct NewFile {
    UniqueFileHandle handle;
    std::wstring path;
};

// Makes a new, empty file in folder, named as the system names temporary files: the prefix,
// a hexadecimal number from 1 to FFFF and ".tmp". The numbers are tried from `first` on; a name
// that is taken, by a file or by a link planted there, is passed over and never opened. Throws
// std::runtime_error (an I/O error) when no name is free or the folder refuses.
NewFile CreateNewTemporaryFile(std::wstring_view folder, std::wstring_view prefix, unsigned first);

class Win32LocalPageSystem final : public LocalPageSystem {
  public:
    Win32LocalPageSystem() = default;
    Win32LocalPageSystem(const Win32LocalPageSystem&) = delete;
    Win32LocalPageSystem& operator=(const Win32LocalPageSystem&) = delete;
    // The pages it wrote go with it.
    ~Win32LocalPageSystem() override;

    std::string LoadTextResource(std::string_view name) override;
    std::string ProgramPathUtf8() override;
    bool ReadVersionStrings(std::string_view fileName, VersionStrings& strings) override;
    std::u16string WriteTemporaryPage(std::string_view page) override;

  private:
    // Removes the pages written before the newest; one that cannot go yet is tried again later.
    void RemoveOlderPages();

    std::vector<std::wstring> pages_;  // written and not yet removed, the newest last
};

}  // namespace runlens
