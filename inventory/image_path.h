// Turning a process id into the text of a row's first detail column: the image path in
// ordinary drive-letter form, or a status text that begins with one space and says why not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"
#include "inventory/inventory_system.h"

namespace runlens {

inline constexpr std::string_view kStatusHintGap = "     ";

// Rewrites the forms in which Windows reports some system images (environment references,
// paths relative to the system directory, the system-root form, the object-namespace prefix).
void NormalizeImagePath(std::string& path, PathEnvironment& env);

// Strips trailing control characters, spaces and ASCII full stops from a system message.
std::string_view TrimSystemMessage(std::string_view message);

struct ServiceManagerAccess {
    bool granted = false;
    std::uint32_t error = 0;  // why not, when not granted
};

// Whether the user may open the service control manager with full rights; always on the 9x
// family.
ServiceManagerAccess HasServiceManagerAccess(ProcessQueries& queries);

// Whether status texts carry the administrator hint: the service control manager refused the
// user with access denied. The manager is asked when a status text first needs the answer, and
// not again by the same object, so that one fill asks at most once.
class AdministratorHintRule {
  public:
    AdministratorHintRule(ProcessQueries& queries, const CodePage& ansi)
        : queries_(queries), ansi_(ansi) {}
    bool Applies();
    // The hint in the ANSI code page, as the status texts carry it.
    const std::string& Text();

  private:
    ProcessQueries& queries_;
    const CodePage& ansi_;
    std::optional<bool> applies_;
    std::optional<std::string> text_;
};

// The text of a row's first detail column, whether it names the file exactly, and whether it
// is a status text that ends with the administrator hint.
struct ImagePathText {
    AnsiText text;
    bool administratorHint = false;
};

// " " + the system's message for error, and the administrator hint where the rule says so.
ImagePathText MakeStatusText(std::uint32_t error, ProcessQueries& queries,
                             AdministratorHintRule& hint);

ImagePathText GetProcessImagePath(std::uint32_t processId, ProcessQueries& queries,
                                  AdministratorHintRule& hint);
// The same for a single process: asks the service control manager itself when it needs to.
ImagePathText GetProcessImagePath(std::uint32_t processId, ProcessQueries& queries,
                                  const CodePage& ansi);

}  // namespace runlens
