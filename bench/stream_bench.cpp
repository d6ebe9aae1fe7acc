// Streaming benchmark: a command's 8 MB of output through the real spawner,
// runner and Ping page pane, against the same bytes read straight from the
// spawner's pipe in the same run, so the ratio does not depend on the
// machine. A second baseline is the floor a pane cannot beat: a bare rich
// edit of the pane's class and font, in this process, taking the same bytes
// in the pane's batches with its drawing off. It also compares the time the pane takes for the last 1,000,000
// bytes with the first 1,000,000, which shows whether appending slows down as
// the pane fills. Informational: it fails only when a program cannot be
// started or the text does not arrive whole (within a budget of time).
//
// Usage: stream_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [BYTES]]
// Tracewick runs from a private bin folder with the stand-in as ping.exe;
// the summary also goes to SUMMARY_FILE, for scripts that run ctest without
// showing the output of passing tests.
#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "tests/fake/bulk_text.h"

namespace {

using tracewick::bench::BareSpawner;
using tracewick::bench::Milliseconds;
using tracewick::ui::BinFolder;

constexpr std::size_t kDefaultBytes = 8388608;
constexpr std::size_t kCostSpan = 1000000;  // bytes at each end whose time is compared
constexpr int kBaselineRuns = 3;
// How long the pane may take. Under Wine it takes from half a minute to
// minutes per megabyte for now; past the budget the figures come from what arrived, and the bench
// fails, since the text did not arrive whole. Below the ctest time limit.
constexpr double kPaneBudgetMs = 600000;
// Each look at the pane is a message its busy thread must answer: looking
// every 1 or 10 ms slowed the stream by a third or more. Every 100 ms costs
// little and is fine enough for spans of seconds. The look counts lines:
// the text's length is no measure to take while it streams, since asking
// another program's pane for it copies the whole text each time.
constexpr DWORD kPollMs = 100;
constexpr std::size_t kBulkLineBytes = 64;  // every line of the bulk text
constexpr char kEndLine[] = "\r\n\r\nEnd of Data";

// Milliseconds from the first byte to the end of the pipe when conspawn.exe
// runs the stand-in straight into a pipe of ours, with no window, read 1000
// bytes at a time as the runner reads; negative when the bytes differ.
double TimeBarePipe(const std::string& bin_dir, const std::string& expected) {
    BareSpawner spawner;
    if (!StartBareSpawner(bin_dir, "ping", spawner)) return -1;
    std::string text;
    text.reserve(expected.size());
    double first = -1;
    char buffer[1000];
    DWORD read = 0;
    while (ReadFile(spawner.output.Get(), buffer, sizeof buffer, &read, nullptr)) {
        if (read == 0) continue;
        if (first < 0) first = Milliseconds();
        text.append(buffer, read);
    }
    const double last = Milliseconds();
    WaitForSingleObject(spawner.process.Get(), 10000);
    if (text != expected) {
        std::fprintf(stderr, "bare pipe: %zu bytes, not the %zu expected\n", text.size(), expected.size());
        return -1;
    }
    return last - first;
}

// The pane's largest insertion.
constexpr std::size_t kBatchBytes = 64 * 1024;

// Milliseconds a bare rich edit of `class_name` in Courier takes for `text`,
// inserted and scrolled to in batches as the pane does, drawing once after
// each; negative when the control cannot be made or drops text.
double TimeBareRichEdit(const std::string& class_name, const std::string& text) {
    static const HMODULE library = LoadLibraryA(class_name == "RICHEDIT" ? "riched32.dll" : "riched20.dll");
    const bool wide = !class_name.empty() && class_name.back() == 'W';
    const HWND edit = wide ? CreateWindowExW(0, std::wstring(class_name.begin(), class_name.end()).c_str(), L"",
                                             WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                             0, 0, 680, 260, nullptr, nullptr, nullptr, nullptr)
                           : CreateWindowExA(0, class_name.c_str(), "",
                                             WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                             0, 0, 680, 260, nullptr, nullptr, nullptr, nullptr);
    if (!library || !edit) return -1;
    LOGFONTA description{};
    description.lfHeight = 10;
    description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynA(description.lfFaceName, "Courier", LF_FACESIZE);
    const HFONT font = CreateFontIndirectA(&description);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageA(edit, EM_SETUNDOLIMIT, 0, 0);
    const double start = Milliseconds();
    for (std::size_t at = 0; at < text.size(); at += kBatchBytes) {
        const std::string batch = text.substr(at, kBatchBytes);
        SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
        CHARRANGE end{-1, -1};
        SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
        if (wide) {
            const std::wstring converted(batch.begin(), batch.end());  // the bulk text is ASCII
            SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(converted.c_str()));
        } else {
            SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(batch.c_str()));
        }
        SendMessageA(edit, EM_LINESCROLL, 0, SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
        SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(edit, nullptr, FALSE);
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
    }
    const double took = Milliseconds() - start;
    const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    DestroyWindow(edit);
    DeleteObject(font);
    return length >= static_cast<LRESULT>(text.size()) ? took : -1;
}

struct Sample {
    double ms;
    LRESULT lines;
};

// The time of the first sample with at least `lines` lines.
double TimeReaching(const std::vector<Sample>& samples, LRESULT lines) {
    for (const Sample& sample : samples)
        if (sample.lines >= lines) return sample.ms;
    return samples.empty() ? 0 : samples.back().ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: stream_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [BYTES]]\n");
        return 2;
    }
    const std::size_t bytes =
        argc > 4 ? static_cast<std::size_t>(std::max(3 * kCostSpan, std::strtoull(argv[4], nullptr, 10)))
                 : kDefaultBytes;
    const std::string bulk = tracewick::fake::BulkText(bytes);

    // The letter "p" opens the Ping page and runs it at once.
    BinFolder bin;
    bin.fake_exe = argv[2];
    bin.commands = {{"ping", "bulk " + std::to_string(bytes) + "\n"}};
    tracewick::bench::PingSheet ping;
    if (!tracewick::bench::OpenPingSheet(ping, argv[1], bin, "p")) return 1;
    tracewick::ui::AppProcess& app = ping.app;
    const HWND run = ping.run;
    // A run gets a fresh pane window before it disables Run.
    tracewick::ui::WaitUntil([&] { return !IsWindowEnabled(run); }, tracewick::bench::kSheetTimeoutMs, app.process());
    const HWND pane = ping.Pane();

    // Poll the pane's line count: each change with its time. The run is
    // over once Run is enabled again; past the budget the figures are taken
    // from what has arrived.
    std::vector<Sample> samples;
    const double deadline = Milliseconds() + kPaneBudgetMs;
    const auto bulk_lines = static_cast<LRESULT>((bytes + kBulkLineBytes - 1) / kBulkLineBytes);
    bool ended = false;
    for (;;) {
        DWORD_PTR lines = 0;
        if (!SendMessageTimeoutA(pane, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &lines)) break;
        const double now = Milliseconds();
        if (samples.empty() || samples.back().lines != static_cast<LRESULT>(lines))
            samples.push_back({now, static_cast<LRESULT>(lines)});
        if (static_cast<LRESULT>(lines) > bulk_lines && IsWindowEnabled(run)) {
            ended = true;
            break;
        }
        if (now > deadline || WaitForSingleObject(app.process(), kPollMs) == WAIT_OBJECT_0) break;
    }
    const std::string text = tracewick::ui::TextOf(pane);
    const std::string pane_class = tracewick::ui::ClassOf(pane);
    app.Kill();
    app.KillBinProcesses();

    // What arrived must be the header, the output's first bytes unchanged,
    // and after all of them the end line.
    const std::size_t header_end = text.find("\r\n");
    if (samples.empty() || header_end == std::string::npos) {
        std::fprintf(stderr, "no run header in the pane\n");
        return 1;
    }
    const std::size_t header_bytes = header_end + 2;
    const bool whole = text == text.substr(0, header_bytes) + bulk + kEndLine;
    const std::size_t arrived = whole ? bytes : std::min(text.size() - header_bytes, bytes);
    if (ended && !whole) {
        std::fprintf(stderr, "the run ended, but the pane does not hold the %zu bytes and the end line\n", bytes);
        return 1;
    }
    if (text.compare(header_bytes, arrived, bulk, 0, arrived) != 0) {
        std::fprintf(stderr, "the first %zu bytes of the output arrived changed\n", arrived);
        return 1;
    }

    // Output byte b has arrived once the line it is on is followed by a new
    // one; before the output the pane has the header's lines and an empty one.
    const auto header_lines =
        static_cast<LRESULT>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(header_bytes), '\n') + 1);
    const auto reaching = [&](std::size_t byte) {
        return TimeReaching(samples, header_lines + static_cast<LRESULT>((byte + kBulkLineBytes - 1) / kBulkLineBytes));
    };
    const double first_growth = reaching(1);
    const double output_done = reaching(arrived);
    const double pane_ms = output_done - first_growth;
    const bool costs = arrived >= 2 * kCostSpan;
    const double early_ms = costs ? reaching(kCostSpan) - first_growth : 0;
    const double late_ms = costs ? output_done - reaching(arrived - kCostSpan) : 0;

    std::vector<double> bare_ms;
    for (int i = 0; i < kBaselineRuns; ++i) {
        const double ms = TimeBarePipe(app.bin_dir(), bulk);
        if (ms < 0) return 1;
        bare_ms.push_back(ms);
    }
    const double bare = tracewick::bench::Median(bare_ms);
    const double floor = TimeBareRichEdit(pane_class, bulk.substr(0, arrived));
    if (floor <= 0) {
        std::fprintf(stderr, "a bare %s could not take the text\n", pane_class.c_str());
        return 1;
    }

    // Per byte, so that a stream cut short by the budget still compares.
    const double pane_per_byte = arrived > 0 ? pane_ms / static_cast<double>(arrived) : 0;
    const double bare_per_byte = bare / static_cast<double>(bytes);
    char summary[1024];
    std::snprintf(summary, sizeof summary,
                  "stream of %zu bytes: %s through pane %.0f ms, bare pipe %.0f ms (median of %d); "
                  "first %zu bytes %.0f ms, last %zu bytes %.0f ms\n"
                  "stream ratio (through pane / bare pipe): %.2f\n"
                  "floor: a bare %s took the same bytes in %.0f ms; pane / floor: %.2f (goal: at most 1.15)\n"
                  "late/early chunk cost ratio: %.2f\n",
                  bytes, whole ? "all" : ("only " + std::to_string(arrived) + " within the budget,").c_str(),
                  pane_ms, bare, kBaselineRuns, kCostSpan, early_ms, kCostSpan, late_ms,
                  bare_per_byte > 0 ? pane_per_byte / bare_per_byte : 0.0, pane_class.c_str(), floor,
                  tracewick::bench::Ratio(pane_ms, floor), early_ms > 0 ? late_ms / early_ms : 0.0);
    tracewick::bench::PublishSummary(summary, argc > 3 ? argv[3] : nullptr);
    if (!whole) {
        std::fprintf(stderr, "the text did not arrive whole within %.0f s\n", kPaneBudgetMs / 1000.0);
        return 1;
    }
    return 0;
}
