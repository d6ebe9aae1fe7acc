// The system's Print and Save As dialogs, loaded at their first use: the
// library and the ones it pulls in cost start-up time that only Print and
// Save As need. UI thread only.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace tracewick {

// As GetSaveFileNameA and PrintDlgA; FALSE, with CommonDialogError() saying
// why, also when the library cannot be loaded.
BOOL ShowSaveFileDialog(OPENFILENAMEA& dialog);
BOOL ShowPrintDialog(PRINTDLGA& dialog);
// As CommDlgExtendedError: 0 after a cancel.
DWORD CommonDialogError();

}  // namespace tracewick
