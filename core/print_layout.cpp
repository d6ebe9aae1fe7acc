#include "core/print_layout.h"

#include <algorithm>
#include <utility>

namespace tracewick {

bool HasPrintableLines(long line_count) { return line_count >= 2; }

int RowHeightFor(int printable_height) { return std::max(1, printable_height / kLinesPerSheet); }

SheetGrid GridFor(int width, int height, int cell_width, int cell_height) {
    const int columns = cell_width > 0 ? width / cell_width : 0;
    const int rows = cell_height > 0 ? height / cell_height : 0;
    return {std::max(1, columns), std::clamp(rows, 1, kLinesPerSheet)};
}

std::vector<std::u16string> PaneLines(std::u16string_view text) {
    std::vector<std::u16string> lines;
    std::u16string line;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r') {
            while (at + 1 < text.size() && text[at + 1] == '\r') ++at;
            if (at + 1 < text.size() && text[at + 1] == '\n') ++at;
        }
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

int ColumnsOf(char16_t unit) noexcept {
    // The wide blocks: Hangul Jamo, CJK radicals to Yi, Hangul syllables, CJK
    // compatibility ideographs and forms, full-width forms, and (by their
    // first half) the supplementary ideographs.
    constexpr std::pair<char16_t, char16_t> kWide[] = {
        {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0xA4CF}, {0xAC00, 0xD7A3}, {0xD840, 0xD87F},
        {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6},
    };
    for (const auto& [first, last] : kWide) {
        if (unit >= first && unit <= last) return 2;
    }
    return 1;
}

std::vector<Sheet> LayOutSheets(const std::vector<std::u16string>& lines, SheetGrid grid) {
    const int columns = std::max(1, grid.columns);
    const std::size_t rows = static_cast<std::size_t>(std::clamp(grid.rows, 1, kLinesPerSheet));
    std::vector<Sheet> sheets;
    const auto new_row = [&] {
        if (sheets.empty() || sheets.back().size() == rows) sheets.emplace_back();
        sheets.back().emplace_back();
    };
    for (const std::u16string& line : lines) {
        new_row();  // an empty line still takes its row
        int used = 0;
        for (std::size_t at = 0; at < line.size();) {
            // A surrogate pair goes whole.
            const bool pair = at + 1 < line.size() && line[at] >= 0xD800 && line[at] <= 0xDBFF &&
                              line[at + 1] >= 0xDC00 && line[at + 1] <= 0xDFFF;
            const std::size_t units = pair ? 2 : 1;
            const int width = ColumnsOf(line[at]);
            // A row holds at least one character, however narrow the grid.
            if (used > 0 && used + width > columns) {
                new_row();
                used = 0;
            }
            sheets.back().back().append(line, at, units);
            used += width;
            at += units;
        }
    }
    return sheets;
}

}  // namespace tracewick
