// The process inventory's view of Windows: process queries, the ToolHelp snapshot, file tests,
// and the system's texts.
#pragma once

#include <windows.h>

#include "core/win32/dynamic_functions.h"
#include "inventory/inventory_system.h"

namespace runlens {

class Win32InventorySystem final : public InventorySystem {
  public:
    using QueryFullProcessImageNameWFn = DynamicFunctions::QueryFullProcessImageNameWFn;
    using GetModuleFileNameExWFn = DynamicFunctions::GetModuleFileNameExWFn;

    // The two image-name queries, looked up at run time: older systems lack them.
    struct ImageNameFunctions {
        QueryFullProcessImageNameWFn queryFullProcessImageName = nullptr;
        GetModuleFileNameExWFn getModuleFileNameEx = nullptr;
    };

    Win32InventorySystem();
    // With other image-name queries in place of the system's.
    explicit Win32InventorySystem(ImageNameFunctions functions);

    std::optional<std::string> ExpandEnvironment(std::string_view text) override;
    std::string SystemDirectory() override;
    std::string WindowsDirectory() override;

    ImageQuery QueryFullImageName(std::uint32_t processId) override;
    ImageQuery QueryModuleFileName(std::uint32_t processId) override;
    std::string SystemMessage(std::uint32_t error) override;
    bool IsNtFamily() override { return ntFamily_; }
    ServiceManagerOpen OpenServiceManager() override;

    std::unique_ptr<ProcessSnapshot> TakeSnapshot() override;
    bool FileExists(std::string_view path) override;
    std::uint64_t GetFileSizeOf(std::string_view path) override;

  private:
    QueryFullProcessImageNameWFn queryFullProcessImageName_ = nullptr;
    DWORD queryFullProcessImageNameMissing_ = ERROR_PROC_NOT_FOUND;
    GetModuleFileNameExWFn getModuleFileNameEx_ = nullptr;
    DWORD getModuleFileNameExMissing_ = ERROR_PROC_NOT_FOUND;
    bool ntFamily_ = true;
};

}  // namespace runlens
