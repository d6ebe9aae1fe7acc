#include "core/print_layout.h"

#include <algorithm>

namespace tracewick {

bool HasPrintableLines(long line_count) { return line_count >= 2; }

int RowHeightFor(int printable_height) { return std::max(1, printable_height / kLinesPerSheet); }

SheetGrid GridFor(int width, int height, int cell_width, int cell_height) {
    const int columns = cell_width > 0 ? width / cell_width : 0;
    const int rows = cell_height > 0 ? height / cell_height : 0;
    return {std::max(1, columns), std::clamp(rows, 1, kLinesPerSheet)};
}

std::vector<std::string> PaneLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
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

std::vector<Sheet> LayOutSheets(const std::vector<std::string>& lines, SheetGrid grid) {
    const std::size_t columns = static_cast<std::size_t>(std::max(1, grid.columns));
    const std::size_t rows = static_cast<std::size_t>(std::clamp(grid.rows, 1, kLinesPerSheet));
    std::vector<Sheet> sheets;
    for (const std::string& line : lines) {
        // An empty line still takes its row.
        std::size_t at = 0;
        do {
            if (sheets.empty() || sheets.back().size() == rows) sheets.emplace_back();
            sheets.back().push_back(line.substr(at, columns));
            at += columns;
        } while (at < line.size());
    }
    return sheets;
}

}  // namespace tracewick
