// Printing a pane: its text taken apart into lines, and the lines laid out
// in rows of a fixed-pitch face on as many sheets as they need. Portable:
// no <windows.h>.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tracewick {

// Pane lines on one sheet at most. The printer's face is sized so that this
// many rows fill the printable height.
inline constexpr int kLinesPerSheet = 60;

// Whether a pane of `line_count` lines, as the pane counts them, has output
// to print. An empty pane counts one line: no print dialog is offered.
[[nodiscard]] bool HasPrintableLines(long line_count);

// The height of a row that puts kLinesPerSheet rows on `printable_height`.
[[nodiscard]] int RowHeightFor(int printable_height);

struct SheetGrid {
    int columns;  // characters in a row
    int rows;     // rows on a sheet
};

// The grid of a printable area in a face of cells `cell_width` by
// `cell_height` (all in device units): at least one column and one row, at
// most kLinesPerSheet rows, so a row never runs off the area.
[[nodiscard]] SheetGrid GridFor(int width, int height, int cell_width, int cell_height);

// The pane's lines: its text (UTF-16, as the pane holds it) split at each
// line end (CR LF, LF, or a CR on its own, as the pane shows them), a CR
// straight after a CR taken as one, and no line-end character kept. Nothing
// after the last line end is no line.
[[nodiscard]] std::vector<std::u16string> PaneLines(std::u16string_view text);

// The columns a character takes in a fixed-pitch face: two for the wide
// characters of East Asian scripts, as a console shows them, else one.
// A surrogate pair counts as one character, given by its first half.
[[nodiscard]] int ColumnsOf(char16_t unit) noexcept;

using Sheet = std::vector<std::u16string>;  // its rows, top to bottom

// `lines` laid out on sheets of `grid`. A line longer than a row is printed
// whole, wrapped onto as many rows as it needs, never inside a character; a
// sheet holds at most grid.rows rows (and so at most kLinesPerSheet lines),
// and the rows that do not fit go on to the next sheet.
[[nodiscard]] std::vector<Sheet> LayOutSheets(const std::vector<std::u16string>& lines, SheetGrid grid);

}  // namespace tracewick
