#include "core/print_layout.h"

#include <gtest/gtest.h>

namespace tracewick {
namespace {

TEST(PaneLines, SplitsAtEachLineEndAndKeepsNoLineEndCharacter) {
    const std::pair<const char*, std::vector<std::string>> rows[] = {
        {"one\r\ntwo", {"one", "two"}},
        {"one\r\r\ntwo\r\n", {"one", "two"}},  // CR CR LF is one line end
        {"a\r\rb\r\r\r\nc", {"a", "b", "c"}},
        {"a\n\nb\rc", {"a", "", "b", "c"}},
        {"", {}},
    };
    for (const auto& [text, lines] : rows) EXPECT_EQ(PaneLines(text), lines) << text;
}

TEST(LayOutSheets, SixtyRowsASheetLongLinesWrappedWholeOntoTheNext) {
    using Lines = std::vector<std::string>;
    Lines overflowing(59, "short");
    overflowing.push_back(std::string(250, 'z'));  // its last two rows go on the second sheet
    const struct { Lines lines; SheetGrid grid; std::vector<std::size_t> rows; /* on each sheet */ } cases[] = {
        {Lines(61, "x"), {80, 60}, {60, 1}},
        {Lines(130, ""), {80, 60}, {60, 60, 10}},
        {Lines(60, std::string(120, 'x')), {120, 60}, {60}},
        {Lines(60, std::string(120, 'x')), {100, 90}, {60, 60}},  // never more than 60 rows
        {overflowing, {100, 60}, {60, 2}},
        {Lines(3, "abcdefg"), {3, 2}, {2, 2, 2, 2, 1}},
    };
    for (const auto& [lines, grid, rows] : cases) {
        SCOPED_TRACE(std::to_string(lines.size()) + " lines of " + std::to_string(lines.back().size()));
        std::vector<std::size_t> counts;
        std::string printed, pane;
        for (const Sheet& sheet : LayOutSheets(lines, grid)) {
            counts.push_back(sheet.size());
            for (const std::string& row : sheet) printed += row.size() <= std::size_t(grid.columns) ? row : "(too long)";
        }
        for (const std::string& line : lines) pane += line;
        EXPECT_EQ(counts, rows);
        EXPECT_EQ(printed, pane) << "every character printed, in order, in rows that fit";
    }
}

TEST(GridFor, RowsThatFitTheSheetAndAtLeastOneOfEach) {
    const int rows[][6] = {  // width, height, cell width, cell height; columns, rows
        {4800, 6600, 40, RowHeightFor(6600), 120, 60},
        {4800, 6600, 40, 111, 120, 59},  // a cell taller than asked: a 60th row would run off
        {30, 50, 0, 0, 1, 1},
    };
    for (const auto [width, height, cell_width, cell_height, columns, lines] : rows) {
        const SheetGrid grid = GridFor(width, height, cell_width, cell_height);
        EXPECT_EQ(std::make_pair(columns, lines), std::make_pair(grid.columns, grid.rows)) << cell_width << "x" << cell_height;
    }
}

}  // namespace
}  // namespace tracewick
