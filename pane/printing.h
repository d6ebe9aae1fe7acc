// Printing a page's output pane on a printer the user picks: its lines in a
// fixed-pitch face, at most 60 to a sheet, long lines wrapped, never cut.
// UI thread only.
#pragma once

#include <windows.h>

namespace tracewick {

// Prints the lines of `pane` as the document `document_name`, after the
// system's print dialog owned by `owner`. A pane with no output opens no
// dialog; a cancelled dialog prints nothing; a failure is told to the user.
void PrintPane(HWND owner, HWND pane, const char* document_name);

}  // namespace tracewick
