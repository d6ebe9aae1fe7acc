// No-growth benchmark: many short Ping runs in one session (a command that
// prints one line and exits), with the program's handles, private bytes and
// window objects sampled after run 100, as the baseline, and after the
// others. Whatever a run leaks shows as growth between the samples.
// It fails when a run cannot be driven, when its pane is not the line and
// the end line, or when handles, private bytes or windows grow more than
// 1 % from the baseline run to the last.
//
// Usage: growth_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [RUNS]]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

using tracewick::bench::Milliseconds;

constexpr int kBaselineRun = 100;
constexpr char kOutput[] = "reply\r\n\r\n\r\nEnd of Data";
constexpr DWORD kRunWaitMs = 10000;
// After the last run: its processes gone, the page's messages handled.
constexpr DWORD kSettleMs = 1000;

// One row of the system handle table (SystemExtendedHandleInformation).
struct HandleEntry {
    void* object;
    ULONG_PTR process_id;
    ULONG_PTR handle;
    ULONG access;
    USHORT creator_back_trace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// The process's handles by object type, from the system handle table:
// Wine's GetProcessHandleCount succeeds with 0.
std::map<USHORT, int> HandlesByType(DWORD pid) {
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::map<USHORT, int> types;
    if (!query) return types;
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    LONG status;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &length)) == kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return types;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    for (ULONG_PTR i = 0; i < table->count; ++i)
        if (table->entries[i].process_id == pid) ++types[table->entries[i].type];
    return types;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lparam) {
    auto* count = reinterpret_cast<std::pair<DWORD, int>*>(lparam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == count->first) {
        ++count->second;
        EnumChildWindows(hwnd, CountWindow, lparam);
    }
    return TRUE;
}

struct Sample {
    int run = 0;
    int handles = 0;
    bool handles_from_table = false;
    std::map<USHORT, int> handle_types;
    std::size_t private_bytes = 0;
    DWORD gdi = 0, user = 0;
    int windows = 0;  // top-level and child: Wine gives no USER object count
};

Sample Take(HANDLE process, DWORD pid, int run) {
    Sample sample;
    sample.run = run;
    DWORD count = 0;
    // A live process always holds handles: 0 means the count is not kept.
    if (GetProcessHandleCount(process, &count) && count > 0) {
        sample.handles = static_cast<int>(count);
    } else {
        sample.handles_from_table = true;
        sample.handle_types = HandlesByType(pid);
        for (const auto& [type, n] : sample.handle_types) sample.handles += n;
    }
    sample.private_bytes = tracewick::bench::PrivateBytes(process);
    sample.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    sample.user = GetGuiResources(process, GR_USEROBJECTS);
    std::pair<DWORD, int> windows{pid, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
    sample.windows = windows.second;
    return sample;
}

double Growth(double from, double to) { return from > 0 ? 100.0 * (to - from) / from : 0; }

std::string Percent(double from, double to) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.2f %%", Growth(from, to));
    return text;
}

std::string Describe(const Sample& s) {
    char line[256];
    std::snprintf(line, sizeof line, "after run %d: %d handles, %.2f MB private, %d windows", s.run, s.handles,
                  tracewick::bench::Megabytes(static_cast<double>(s.private_bytes)), s.windows);
    std::string text = line;
    if (s.gdi || s.user) text += ", " + std::to_string(s.gdi) + " GDI and " + std::to_string(s.user) + " USER objects";
    return text + "\n";
}

// Which kinds of handle grew, to point at what a run leaves behind.
std::string HandleTypesGrown(const Sample& from, const Sample& to) {
    std::string text;
    for (const auto& [type, n] : to.handle_types) {
        const auto was = from.handle_types.find(type);
        const int before = was == from.handle_types.end() ? 0 : was->second;
        if (n != before)
            text += " type " + std::to_string(type) + ": " + std::to_string(before) + " -> " + std::to_string(n) + ";";
    }
    return text.empty() ? "" : "handle kinds that changed:" + text + "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: growth_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [RUNS]]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::max(2 * kBaselineRun, std::atoi(argv[4])) : 1000;
    const double start = Milliseconds();

    tracewick::ui::BinFolder bin;
    bin.fake_exe = argv[2];
    bin.commands = {{"ping", "out reply\n"}};
    tracewick::bench::PingSheet ping;
    if (!tracewick::bench::OpenPingSheet(ping, argv[1], bin, "x")) return 1;
    const HANDLE process = ping.app.process();
    const DWORD pid = GetProcessId(process);

    // Samples after the baseline run, twice its number (where growth shows
    // first) and the last.
    std::vector<Sample> samples;
    double runs_ms = 0;
    std::string failure;
    int done = 0;
    for (int run = 1; run <= runs && failure.empty(); ++run) {
        const double run_start = Milliseconds();
        if (!tracewick::ui::Click(ping.run)) {
            std::fprintf(stderr, "run %d: Run cannot be clicked\n", run);
            return 1;
        }
        const HWND pane = ping.Pane();
        std::string text;
        if (!tracewick::ui::WaitUntil(
                [&] {
                    return IsWindowEnabled(ping.run) &&
                           tracewick::bench::EndsWith(text = tracewick::ui::TextOf(pane), kOutput);
                },
                kRunWaitMs, process) ||
            tracewick::bench::AfterHeader(text) != kOutput) {
            // What the program holds when a run goes wrong may be why.
            failure = "FAILED: run " + std::to_string(run) + " did not end with its line and the end line: " +
                      tracewick::ui::Visible(text) + "\n";
        } else {
            runs_ms += Milliseconds() - run_start;
            done = run;
        }
        if (!failure.empty() || run == kBaselineRun || run == 2 * kBaselineRun || run == runs) {
            tracewick::ui::WaitUntil([&] { return ping.app.BinProcesses().empty(); }, kRunWaitMs, process);
            Sleep(kSettleMs);
            samples.push_back(Take(process, pid, run));
        }
    }

    if (samples.size() < 2) {
        std::fputs(failure.c_str(), stderr);
        return 1;
    }
    const Sample& base = samples.front();
    const Sample& last = samples.back();
    // What a run leaves behind adds up over a day of repeats: more than 1 %
    // from the baseline run to the last is a leak, not noise.
    constexpr double kMaxGrowthPercent = 1.0;
    const double growths[] = {Growth(base.handles, last.handles),
                              Growth(static_cast<double>(base.private_bytes), static_cast<double>(last.private_bytes)),
                              Growth(base.windows, last.windows)};
    if (failure.empty() && samples.size() >= 3 &&
        *std::max_element(std::begin(growths), std::end(growths)) > kMaxGrowthPercent) {
        failure = "FAILED: handles, memory or windows grew more than 1 %\n";
    }
    std::string summary = "no growth over " + std::to_string(runs) + " Ping runs (goal: within 1 % from run " +
                          std::to_string(kBaselineRun) + " to run " + std::to_string(runs) + ")\n";
    for (const Sample& sample : samples) summary += Describe(sample);
    char line[400];
    std::snprintf(line, sizeof line,
                  "growth from run %d to run %d: handles %+.2f %%, private bytes %+.2f %%, windows %+.2f %%%s\n"
                  "%s"
                  "%d runs took %.1f s (%.0f ms a run), the bench %.1f s\n",
                  base.run, last.run, growths[0], growths[1], growths[2],
                  base.gdi || base.user
                      ? (", GDI objects " + Percent(base.gdi, last.gdi) + ", USER objects " + Percent(base.user, last.user)).c_str()
                      : " (no GDI or USER object counts: GetGuiResources gives 0 here)",
                  base.handles_from_table ? "handles counted in the system handle table "
                                            "(GetProcessHandleCount gives 0 here)\n"
                                          : "",
                  done, runs_ms / 1000, runs_ms / std::max(1, done), (Milliseconds() - start) / 1000);
    summary += line + HandleTypesGrown(base, last) + failure;
    tracewick::bench::PublishSummary(summary, argc > 3 ? argv[3] : nullptr);
    return failure.empty() ? 0 : 1;
}
