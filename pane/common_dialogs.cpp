#include "pane/common_dialogs.h"

#include <cderr.h>

#include "framework/handles.h"

namespace tracewick {

namespace {

// The entry `name` of the common-dialog library, loaded once for the
// program's life; null when either is missing.
template <class Function>
Function Entry(const char* name) {
    static const UniqueModule library(::LoadLibraryA("comdlg32.dll"));
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library.Get(), name)))
                   : nullptr;
}

}  // namespace

BOOL ShowSaveFileDialog(OPENFILENAMEA& dialog) {
    const auto show = Entry<BOOL(WINAPI*)(OPENFILENAMEA*)>("GetSaveFileNameA");
    return show ? show(&dialog) : FALSE;
}

BOOL ShowPrintDialog(PRINTDLGA& dialog) {
    const auto show = Entry<BOOL(WINAPI*)(PRINTDLGA*)>("PrintDlgA");
    return show ? show(&dialog) : FALSE;
}

DWORD CommonDialogError() {
    const auto error = Entry<DWORD(WINAPI*)()>("CommDlgExtendedError");
    return error ? error() : CDERR_INITIALIZATION;
}

}  // namespace tracewick
