// What a user does with an output pane's text: the context menu with Copy,
// Select All and Save As..., and Ctrl+C and Ctrl+A. UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

// The menu's commands, also taken as WM_COMMAND by the pane.
inline constexpr UINT kPaneCopy = 0xE122;
inline constexpr UINT kPaneSelectAll = 0xE12A;
inline constexpr UINT kPaneSaveAs = 0xE103;

// Gives `pane` the menu and the keys; they go with the window.
bool AddPaneMenu(HWND pane);

}  // namespace tracewick
