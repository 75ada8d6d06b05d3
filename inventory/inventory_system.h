// What the process inventory needs from the operating system. The rules of the inventory are
// plain code over these interfaces; inventory/win32 implements them with the real calls, and
// the tests implement them with fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/process_row.h"

namespace runlens {

inline constexpr std::uint32_t kErrorAccessDenied = 5;

// The outcome of one way of asking for a process's image path: the path, or an empty text and
// the error code that the failing step left.
struct ImageQuery {
    AnsiText path;
    std::uint32_t error = 0;
};

struct ServiceManagerOpen {
    bool opened = false;
    std::uint32_t error = 0;  // the refusal's error code when not opened
};

class PathEnvironment {
  public:
    virtual ~PathEnvironment() = default;
    // Expands %name% references; nothing when the expansion fails.
    virtual std::optional<std::string> ExpandEnvironment(std::string_view text) = 0;
    // Without a trailing backslash.
    virtual std::string SystemDirectory() = 0;
    virtual std::string WindowsDirectory() = 0;
};

class ProcessQueries : public PathEnvironment {
  public:
    // The full image name of the process in Win32 form.
    virtual ImageQuery QueryFullImageName(std::uint32_t processId) = 0;
    // The file name of the process's main module, as the system reports it.
    virtual ImageQuery QueryModuleFileName(std::uint32_t processId) = 0;
    // The system's message for an error code, in the user's language and the ANSI code page,
    // as the system returns it (line breaks and full stop included).
    virtual std::string SystemMessage(std::uint32_t error) = 0;
    virtual bool IsNtFamily() = 0;
    // Opens (and at once closes) the local service control manager with full rights.
    virtual ServiceManagerOpen OpenServiceManager() = 0;
};

struct SnapshotEntry {
    std::uint32_t processId = 0;
    AnsiText exeFile;  // at most 260 characters
};

class ProcessSnapshot {
  public:
    virtual ~ProcessSnapshot() = default;
    // The next entry in snapshot order; false when none is left.
    virtual bool Next(SnapshotEntry& entry) = 0;
};

class InventorySystem : public ProcessQueries {
  public:
    // Nothing when the snapshot cannot be taken.
    virtual std::unique_ptr<ProcessSnapshot> TakeSnapshot() = 0;
    // True when a file (not a directory) exists at path.
    virtual bool FileExists(std::string_view path) = 0;
    // The full size of the directory entry of the file at path; 0 when there is none. Never
    // the size of another file: wildcard characters match nothing.
    virtual std::uint64_t GetFileSizeOf(std::string_view path) = 0;
};

// The list the fill writes into: the main window's list view.
class ProcessListView {
  public:
    virtual ~ProcessListView() = default;
    virtual void InsertRow(std::size_t position, ProcessRow row) = 0;
    virtual void AppendRow(ProcessRow row) = 0;
};

}  // namespace runlens
