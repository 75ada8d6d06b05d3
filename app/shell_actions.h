// Handing a file's location or the information site to the Windows shell.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/code_page.h"
#include "core/process_row.h"

namespace runlens {

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
inline constexpr int kShow = 5;        // SW_SHOW

enum class ShellOwner { kNone, kMainWindow };

class Shell {
  public:
    virtual ~Shell() = default;
    // ShellExecute: a result above 32 means success. An empty text stands for none.
    virtual std::intptr_t Execute(ShellOwner owner, std::string_view verb, std::string_view file,
                                  std::string_view parameters, std::string_view directory,
                                  int showCommand) = 0;
    virtual void Beep() = 0;
};

// Opens the folder of the row's file in the Explorer with the file selected, falling back to
// exploring the folder and then to opening it; nothing without a row, or for a path that the
// ANSI code page could not hold exactly.
void ShowInExplorer(const ProcessRow* row, Shell& shell, const CodePage& ansi);

// Opens the information site in the default browser; beeps when the shell cannot.
void OpenSiteRoot(Shell& shell);

}  // namespace runlens
