#include "app/win32/win32_shell.h"

#include <shellapi.h>

#include <string>

namespace runlens {

std::intptr_t Win32Shell::Execute(ShellOwner owner, std::string_view verb, std::string_view file,
                                  std::string_view parameters, std::string_view directory,
                                  int showCommand) {
    const std::string verbText(verb), fileText(file), parametersText(parameters),
        directoryText(directory);
    auto orNull = [](const std::string& text) { return text.empty() ? nullptr : text.c_str(); };
    const HINSTANCE result = ::ShellExecuteA(
        owner == ShellOwner::kMainWindow ? mainWindow_ : nullptr, orNull(verbText),
        fileText.c_str(), orNull(parametersText), orNull(directoryText), showCommand);
    return reinterpret_cast<std::intptr_t>(result);
}

void Win32Shell::Beep() {
    ::MessageBeep(MB_OK);
}

}  // namespace runlens
