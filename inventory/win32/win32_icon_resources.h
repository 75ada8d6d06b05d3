// A file's icon resources as the system finds them, for the check before the system's icon
// extraction.
#pragma once

#include <windows.h>

#include <string>

#include "inventory/icon_guard.h"

namespace runlens {

// The file mapped as resources only: none of its code is run or even mapped to run.
class Win32IconResources final : public IconResources {
  public:
    // `path` as the wide file calls take it.
    explicit Win32IconResources(const std::wstring& path);
    Win32IconResources(const Win32IconResources&) = delete;
    Win32IconResources& operator=(const Win32IconResources&) = delete;
    ~Win32IconResources() override;

    // False when the file cannot be mapped as resources.
    bool Opened() const { return module_ != nullptr; }

    std::vector<ResourceBytes> Groups() override;
    std::optional<ResourceBytes> Icon(std::uint16_t id) override;

  private:
    HMODULE module_ = nullptr;
};

// True when the file's icons may go to the system's extraction: it maps as resources and its
// icon resources hold together.
bool FileIconsAreSound(const std::wstring& path);

}  // namespace runlens
