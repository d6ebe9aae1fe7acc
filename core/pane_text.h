// Text rules of the output pane: the run header, the end lines, the
// scroll-to-tail arithmetic and the line-end repair of command output.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tracewick {

// "Monday, February 02, 1998 at 14:05:09" with English names whatever the
// locale. With `blank_lines_before` (cumulative output after earlier text)
// the header starts with two line breaks. Always ends with CR LF.
[[nodiscard]] std::string RunHeader(const std::tm& time, bool blank_lines_before);

// The text of the run whose header line is `header` (as RunHeader makes it
// without blank lines): from the last such line to the end of `pane`; the
// whole pane when the header is not there.
[[nodiscard]] std::wstring_view RunText(std::wstring_view pane, std::wstring_view header) noexcept;

// "Tracewick <page> <yyyy-mm-dd hh-mm-ss>.txt": the name a saved pane is
// offered under. Characters a file name cannot hold become '-'.
[[nodiscard]] std::string SavedOutputName(std::string_view page, const std::tm& time);

// Lines to scroll down so that the last line sits `margin` lines below the
// first visible one; 0 when it is already within reach (never up).
[[nodiscard]] int TailScrollLines(int line_count, int first_visible, int margin) noexcept;

// How much output a pane may hold. The rich edit spends some 70 bytes of
// memory on each character it holds (measured; 100 is reckoned), so without
// a bound a long run would exhaust a 32-bit program's address space near
// 28 MB of output, or the machine's memory, and end the program.
struct PaneRoom {
    std::uint64_t capacity;        // characters at most, whatever the memory
    std::uint64_t free_address;    // bytes of address space still free
    std::uint64_t free_memory;     // bytes the system can still commit
    static constexpr std::uint64_t kBytesPerCharacter = 100;
    // Left free for the window, its other panes and a print or a copy.
    static constexpr std::uint64_t kReserve = 256ull << 20;
    // The capacity of a pane in a program with pointers of `pointer_bytes`:
    // 16 M characters in 32 bits (1.6 GB reckoned), 64 M in 64 bits.
    [[nodiscard]] static constexpr std::uint64_t CapacityFor(std::size_t pointer_bytes) noexcept {
        return pointer_bytes > 4 ? 64ull << 20 : 16ull << 20;
    }
    // Whether a pane of `length` characters can take `adding` more.
    [[nodiscard]] bool Takes(std::uint64_t length, std::uint64_t adding) const noexcept;
};

// A command's NUL bytes are dropped and the rest of its output kept: the
// pane's text cannot hold a NUL, and cutting a chunk at one lost output.
void DropNuls(std::string& chunk);

// Some commands end lines with CR CR LF, which the pane would take as a
// soft break and join the two lines. This turns any run of CRs followed by
// LF into one CR LF, across chunk boundaries: CRs at the end of a chunk wait
// for the next chunk, or for Flush.
class LineEndRepair {
public:
    [[nodiscard]] std::string Feed(std::string_view chunk);
    // What is still held back, as it came.
    [[nodiscard]] std::string Flush();
    void Reset() noexcept { held_crs_ = 0; }

private:
    std::size_t held_crs_ = 0;
};

}  // namespace tracewick
