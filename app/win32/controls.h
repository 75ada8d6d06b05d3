// The window classes of the main window's own controls: the top panel, the splitter and the
// browser's host, and the drawing of the flat view buttons.
#pragma once

#include <windows.h>

namespace runlens {

inline constexpr wchar_t kPanelClass[] = L"TPanel";
inline constexpr wchar_t kSplitterClass[] = L"TSplitter";
inline constexpr wchar_t kBrowserHostClass[] = L"TWebBrowser";

// Sent by the splitter to its parent while it is dragged; lParam is the splitter's new top in
// the parent's client coordinates.
inline constexpr UINT kSplitterMoved = WM_APP + 1;

// Registers the three classes once per process; false when the system refuses.
bool RegisterControlClasses(HINSTANCE instance);

// The size of a view button's glyph at 96 dpi.
inline constexpr int kGlyphWidth = 23, kGlyphHeight = 19;

// A flat toggle button with a centred glyph; a pressed one is drawn sunken.
void DrawSpeedButton(const DRAWITEMSTRUCT& item, HICON glyph, int glyphWidth, int glyphHeight,
                     bool pressed);

}  // namespace runlens
