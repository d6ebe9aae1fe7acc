// A page's output pane: a read-only rich edit in a fixed-pitch font that
// receives the run header, the command's output and the end lines, and
// keeps the newest text in view. It holds text, not bytes: the output is
// decoded from the code page the commands write in, our own lines from the
// program's. UI thread only.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <ctime>
#include <string>
#include <string_view>

#include "core/output_characters.h"
#include "core/pane_text.h"
#include "framework/handles.h"

namespace tracewick {

class OutputPane {
public:
    // A margin that leaves the pane where it is (a page that does not
    // scroll after its header).
    static constexpr int kNoScroll = -1;

    // Takes the pane control of a page: its font, and no limit on its text,
    // so long or cumulative output is never cut.
    void Attach(HWND pane);

    // Clears the pane (or, with cumulative output, goes to its end) and
    // writes the time stamp of a new run, started `at`; returns that line as
    // RunHeader makes it, without the blank lines that may stand before it.
    std::wstring WriteHeader(bool cumulative, int margin, std::time_t at);
    // What the pane holds from the last header on: read from where it was
    // written, so that a long cumulative pane is not copied whole each run.
    [[nodiscard]] std::wstring SinceHeader() const;
    // Appends a chunk of command output (bytes of the output code page) at
    // the end of the pane; a character split over two chunks shows once
    // whole. When the pane has no room for it (PaneRoom), the chunk and all
    // further output until the next header are dropped; true for the chunk
    // that found the pane full, so the caller can stop the run and say why.
    bool AppendOutput(std::string_view chunk, int margin);
    // Appends a line of our own (end lines, the repeat countdown), in the
    // program's code page, after what the output left unfinished.
    void AppendText(std::string_view text, int margin);

private:
    // The font, the default character format and the text limit, on pane_.
    void Dress();
    // Puts an empty pane in pane_'s place: same id, class, styles, place,
    // tab position and focus. Emptying a full rich edit takes far longer
    // than filling it did; a fresh one takes milliseconds.
    void Renew();
    // Scrolls down so the last line is at most `margin` lines below the
    // first visible one.
    void ScrollToTail(int margin);
    // Inserts `text` at the end and keeps the tail in view, drawing once.
    void Show(std::wstring_view text, int margin);
    void InsertAtEnd(std::wstring_view text);
    [[nodiscard]] LONG TextLength() const;

    HWND pane_ = nullptr;
    // The styles the dialog template gave the pane, for its renewals.
    DWORD style_ = 0;
    DWORD ex_style_ = 0;
    UniqueFont font_;
    CHARFORMATA format_{};  // the font again, for the rich edit's own font
    LineEndRepair repair_;
    UINT code_page_ = CP_ACP;  // the output's
    WholeCharacters characters_{CharacterForm{}};
    bool full_ = false;  // output is dropped until the next header
    LONG header_at_ = 0;  // where the last header's blank lines or line begin
    // Where the tail was last kept: the first visible line then, and the
    // scroll bar's position with it (first -1: not known).
    struct Tail {
        int first = -1;
        int position = 0;
    } tail_;
};

// The rich-edit library the panes need; loaded once for the program's life.
bool LoadPaneLibrary();

// The text of `pane` (any rich edit of this program) as it holds it, or of
// its selection alone. Whatever the program's code page, nothing is lost.
[[nodiscard]] std::wstring PaneText(HWND pane, bool selection_only = false);

}  // namespace tracewick
