#include "app/win32/program.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/win32/main_window.h"
#include "core/win32/dynamic_functions.h"

namespace runlens {

int RunProgram(HINSTANCE instance, int showCommand,
               const std::function<void(const TForm1&)>& afterMessage) {
    // Before any library is loaded: none is ever taken from the folder the program was saved in
    // or started from.
    SearchLibrariesInSystemFolderOnly();

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    // The browser pane is an OLE control: the thread is a single-threaded apartment.
    if (FAILED(::OleInitialize(nullptr)))
        return 1;
    struct OleScope {
        ~OleScope() { ::OleUninitialize(); }
    } oleScope;

    TForm1 form1(instance);
    if (!form1.Create())
        return 1;
    form1.Show(showCommand);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        form1.HandleLoopMessage(message);
        if (afterMessage)
            afterMessage(form1);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace runlens
