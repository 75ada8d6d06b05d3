#include "app/shell_actions.h"

#include <string>

#include "core/site.h"
#include "core/text_rules.h"

namespace runlens {
namespace {

constexpr std::intptr_t kShellSuccessAbove = 32;

}  // namespace

void ShowInExplorer(const ProcessRow* row, Shell& shell, const CodePage& ansi) {
    // A path the code page could not hold exactly names no folder (its look-alike might name
    // another one): the command gives up as it does when the shell cannot go there.
    if (!row || (IsPathText(row->path.text) && !row->path.exact))
        return;
    const PathParts parts = SplitPath(row->path.text, ansi);
    const std::string select = "/select, " + std::string(parts.name);
    if (shell.Execute(ShellOwner::kNone, "open", "explorer.exe", select, parts.folder,
                      kShowNormal) > kShellSuccessAbove) {
        return;
    }
    if (shell.Execute(ShellOwner::kMainWindow, "explore", parts.folder, {}, parts.folder, kShow) >
        kShellSuccessAbove) {
        return;
    }
    shell.Execute(ShellOwner::kMainWindow, "open", "explorer.exe", parts.folder, {}, kShow);
}

void OpenSiteRoot(Shell& shell) {
    if (shell.Execute(ShellOwner::kMainWindow, "open", SiteRootAddress(), {}, {}, kShow) <=
        kShellSuccessAbove) {
        shell.Beep();
    }
}

}  // namespace runlens
