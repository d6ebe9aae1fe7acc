#include "pane/printing.h"

#include "pane/common_dialogs.h"

#include <cderr.h>
#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/print_layout.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "pane/output_pane.h"

namespace tracewick {

namespace {

// The pane's fixed-pitch face in its scalable form: a printer sizes it to
// the row height, where the bitmap Courier has one screen size.
constexpr char kPrintFace[] = "Courier New";

// Says why nothing, or not everything, was printed: `what` failed, for the
// system's reason `error` when there is one.
void TellFailure(HWND owner, const std::string& what, DWORD error) {
    const std::string reason = SystemErrorText(error);
    std::string text = "Tracewick could not print: " + what;
    if (!reason.empty()) {
        text += " (" + reason + ").";
    } else if (error != 0) {
        text += " (error " + std::to_string(error) + ").";
    } else {
        text += ".";
    }
    AppMessageBox(owner, text);
}

// Keeps `object` selected into `dc` for its life, then puts back what was there.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Prints `lines` on `printer` as one document; a failure is told to the user.
void PrintLines(HWND owner, HDC printer, const std::vector<std::u16string>& lines, const char* document_name) {
    const int width = ::GetDeviceCaps(printer, HORZRES);
    const int height = ::GetDeviceCaps(printer, VERTRES);
    LOGFONTA description{};
    description.lfHeight = RowHeightFor(height);  // positive: the whole cell, so the rows fill the height
    description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(description.lfFaceName, kPrintFace, LF_FACESIZE);
    const UniqueFont font(::CreateFontIndirectA(&description));
    const Selection selection(printer, font.Get());
    TEXTMETRICA metrics{};
    if (!font || !::GetTextMetricsA(printer, &metrics)) {
        TellFailure(owner, "the printer has no font for the output", ::GetLastError());
        return;
    }
    // The face as the printer made it may be a little taller than asked:
    // then fewer rows fit, and none runs off the sheet.
    const std::vector<Sheet> sheets = LayOutSheets(lines, GridFor(width, height, metrics.tmAveCharWidth, metrics.tmHeight));
    if (sheets.empty()) return;

    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = document_name;
    if (::StartDocA(printer, &document) <= 0) {
        TellFailure(owner, "the printer did not take the document", ::GetLastError());
        return;
    }
    for (std::size_t sheet = 0; sheet < sheets.size(); ++sheet) {
        bool printed = ::StartPage(printer) > 0;
        for (std::size_t row = 0; printed && row < sheets[sheet].size(); ++row) {
            // The pane's own characters, not its code page's.
            const std::u16string& text = sheets[sheet][row];
            ::TextOutW(printer, 0, static_cast<int>(row) * metrics.tmHeight, reinterpret_cast<const wchar_t*>(text.data()),
                       static_cast<int>(text.size()));
        }
        if (!printed || ::EndPage(printer) <= 0) {
            const DWORD error = ::GetLastError();
            ::AbortDoc(printer);
            TellFailure(owner, "the printer failed on sheet " + std::to_string(sheet + 1) + " of " +
                                   std::to_string(sheets.size()) + "; the document was withdrawn", error);
            return;
        }
    }
    if (::EndDoc(printer) <= 0) TellFailure(owner, "the printer did not finish the document", ::GetLastError());
}

}  // namespace

void PrintPane(HWND owner, HWND pane, const char* document_name) {
    if (!HasPrintableLines(static_cast<long>(::SendMessageA(pane, EM_GETLINECOUNT, 0, 0)))) return;
    // Taken now: while the dialog is open a repeat may give the page a fresh pane.
    const std::wstring text = PaneText(pane);
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "the pane's text is UTF-16");
    const std::vector<std::u16string> lines =
        PaneLines(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE;
    const BOOL chosen = ShowPrintDialog(dialog);
    // Ours to free whatever the dialog returned, the printer's context after
    // the job or its failure.
    const UniqueGlobal device_mode(dialog.hDevMode);
    const UniqueGlobal device_names(dialog.hDevNames);
    const UniqueCreatedDC printer(dialog.hDC);
    if (!chosen) {
        // A cancel leaves no error: the user changed their mind. Where no
        // printer is installed, the dialog has said so itself.
        const DWORD error = CommonDialogError();
        if (error != 0 && error != PDERR_NODEFAULTPRN) {
            TellFailure(owner, "the print dialog failed (error " + std::to_string(error) + ")", 0);
        }
        return;
    }
    if (!printer) {
        TellFailure(owner, "the printer gave no device context", 0);
        return;
    }
    PrintLines(owner, printer.Get(), lines, document_name);
}

}  // namespace tracewick
