#include "core/print_layout.h"

#include <gtest/gtest.h>

namespace tracewick {
namespace {

TEST(PaneLines, SplitsAtEachLineEndAndKeepsNoLineEndCharacter) {
    const std::pair<const char16_t*, std::vector<std::u16string>> rows[] = {
        {u"one\r\r\ntwo\r\n", {u"one", u"two"}},  // CR CR LF is one line end, and so is CR LF
        {u"a\r\rb\r\r\r\nc", {u"a", u"b", u"c"}},
        {u"a\n\nb\rc", {u"a", u"", u"b", u"c"}},
        {u"\u041F\u0440\r\n\u2500", {u"\u041F\u0440", u"\u2500"}},
        {u"", {}},
    };
    for (const auto& [text, lines] : rows) EXPECT_EQ(PaneLines(text), lines) << lines.size();
}

TEST(LayOutSheets, SixtyRowsASheetLongLinesWrappedWholeOntoTheNext) {
    using Lines = std::vector<std::u16string>;
    const struct { Lines lines; SheetGrid grid; std::vector<std::size_t> rows; /* on each sheet */ } cases[] = {
        {Lines(130, u""), {80, 60}, {60, 60, 10}},
        {Lines(60, std::u16string(120, u'x')), {120, 60}, {60}},
        {Lines(60, std::u16string(120, u'x')), {100, 90}, {60, 60}},  // never more than 60 rows
        {Lines(3, u"abcdefg"), {3, 2}, {2, 2, 2, 2, 1}},  // a line's rows go on where its sheet ends
        // Wide characters take two columns; a pair of halves is never parted.
        {Lines(2, u"\u65E5\u672C\u8A9E"), {5, 60}, {4}},
        {Lines(1, u"a\U0002000B\U0002000Bb"), {2, 60}, {4}},
        {Lines(1, u"\u65E5\u672C"), {1, 60}, {2}},  // a row narrower than a character still takes one
    };
    for (const auto& [lines, grid, rows] : cases) {
        SCOPED_TRACE(std::to_string(lines.size()) + " lines of " + std::to_string(lines.back().size()));
        std::vector<std::size_t> counts;
        std::u16string printed, pane;
        for (const Sheet& sheet : LayOutSheets(lines, grid)) {
            counts.push_back(sheet.size());
            for (const std::u16string& row : sheet) {
                int columns = 0;
                for (const char16_t unit : row) columns += unit >= 0xDC00 && unit <= 0xDFFF ? 0 : ColumnsOf(unit);
                printed += columns <= std::max(grid.columns, 2) ? row : u"(too long)";
            }
        }
        for (const std::u16string& line : lines) pane += line;
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
