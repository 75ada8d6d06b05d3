// A scripted operating system for the process inventory, and a recording process list.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "inventory/inventory_system.h"

namespace runlens::testing {

struct FakeProcess {
    std::uint32_t id = 0;
    std::string exeFile;
    ImageQuery fullImageName;   // method 1's answer
    ImageQuery moduleFileName;  // method 2's answer
    bool exactName = true;      // the snapshot's name fits the code page
};

class FakeInventory : public InventorySystem {
  public:
    std::vector<FakeProcess> processes;
    bool snapshotFails = false;
    std::string systemDirectory = "C:\\WINDOWS\\system32";
    std::string windowsDirectory = "C:\\WINDOWS";
    std::map<std::string, std::string> environment;  // name -> value
    std::map<std::uint32_t, std::string> messages;   // error -> system message
    std::map<std::string, std::uint64_t> files;      // existing files and their sizes
    std::set<std::string> vanishing;  // there for the existence test, gone for the size search
    bool ntFamily = true;
    std::vector<std::string> existenceTests;  // every path handed to the file test
    std::vector<std::string> sizeSearches;    // every path handed to the size search
    ServiceManagerOpen serviceManager{true, 0};
    int serviceManagerOpens = 0;

    std::optional<std::string> ExpandEnvironment(std::string_view text) override;
    std::string SystemDirectory() override { return systemDirectory; }
    std::string WindowsDirectory() override { return windowsDirectory; }
    ImageQuery QueryFullImageName(std::uint32_t processId) override;
    ImageQuery QueryModuleFileName(std::uint32_t processId) override;
    std::string SystemMessage(std::uint32_t error) override;
    bool IsNtFamily() override { return ntFamily; }
    ServiceManagerOpen OpenServiceManager() override;
    std::unique_ptr<ProcessSnapshot> TakeSnapshot() override;
    bool FileExists(std::string_view path) override;
    std::uint64_t GetFileSizeOf(std::string_view path) override;

  private:
    const FakeProcess* Find(std::uint32_t processId) const;
};

// Records the rows in list order; files listed in `icons` have an icon, which CompleteIcons
// gives the rows waiting for it, as the window's icon work does.
class RecordingListView : public ProcessListView {
  public:
    std::vector<ProcessRow> rows;
    std::set<std::string> icons;
    std::vector<std::string> iconsAdded;  // in the order they went into the image lists
    std::vector<std::string> iconsAsked;  // every path an icon was asked of

    void InsertRow(std::size_t position, ProcessRow row) override;
    void AppendRow(ProcessRow row) override { rows.push_back(std::move(row)); }
    void CompleteIcons();

    std::vector<std::string> Captions() const;
};

}  // namespace runlens::testing
