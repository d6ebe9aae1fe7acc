// What the benchmarks share: a clock, medians, the summary they print and
// leave for scripts/test, a look at a process's memory, the spawner started
// bare, and Tracewick opened on its Ping page from a private bin folder.
// Benchmark thread only, but for Milliseconds.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/process_start.h"
#include "res/resource.h"
#include "tests/ui/harness.h"

namespace tracewick::bench {

inline double Milliseconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double Worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

inline double Ratio(double value, double baseline) { return baseline > 0 ? value / baseline : 0; }

// To standard output, and to `path` (a Unix path, or none): ctest shows a
// passing test's output only with --verbose, and scripts/test prints the files.
inline void PublishSummary(const std::string& summary, const char* path) {
    std::fputs(summary.c_str(), stdout);
    std::fflush(stdout);
    if (!path) return;
    if (FILE* out = std::fopen(ui::ToWindowsPath(path).c_str(), "w")) {
        std::fputs(summary.c_str(), out);
        std::fclose(out);
    }
}

// A process's private bytes. Wine reports PrivateUsage as 0 but keeps the
// commit charge in PagefileUsage, which Windows gives the same value.
inline std::size_t PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

inline double Megabytes(double bytes) { return bytes / 1048576.0; }

// conspawn.exe from the bin folder running `command` straight into a pipe of
// ours, with no window, as Tracewick starts it but for the job and the input.
struct BareSpawner {
    UniqueKernelHandle process, thread, output;
    DWORD thread_id = 0;
};
inline bool StartBareSpawner(const std::string& bin_dir, const std::string& command, BareSpawner& spawner) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE our_read = nullptr, child_write = nullptr;
    if (!CreatePipe(&our_read, &child_write, &inheritable, 0)) return false;
    spawner.output.Reset(our_read);
    const UniqueKernelHandle child_end(child_write);
    SetHandleInformation(our_read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = child_write;
    startup.hStdError = child_write;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    const std::string path = bin_dir + "\\conspawn.exe";
    std::string command_line = "conspawn.exe \"" + command + "\"";
    PROCESS_INFORMATION info{};
    if (!tracewick::StartProcessRetrying([&] {
            return CreateProcessA(path.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                  CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, nullptr, bin_dir.c_str(), &startup,
                                  &info) != FALSE;
        })) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", path.c_str(), GetLastError());
        return false;
    }
    spawner.process.Reset(info.hProcess);
    spawner.thread.Reset(info.hThread);
    spawner.thread_id = info.dwThreadId;
    return true;
}

// Tracewick from a private bin folder, its sheet open and its Ping page found.
struct PingSheet {
    ui::AppProcess app;
    HWND sheet = nullptr, page = nullptr, run = nullptr, cancel = nullptr;
    // A run puts a fresh pane in the old one's place: look it up each time.
    HWND Pane() const { return GetDlgItem(page, IDC_PANE); }
};
inline constexpr DWORD kSheetTimeoutMs = 20000;
inline bool OpenPingSheet(PingSheet& ping, const char* exe, const ui::BinFolder& bin, const char* letter) {
    ui::LaunchOptions options;
    options.args = {letter};
    options.exe = exe;
    options.bin = bin;
    std::string error;
    if (!ping.app.Start(options, &error)) {
        std::fprintf(stderr, "cannot start Tracewick: %s\n", error.c_str());
        return false;
    }
    ping.sheet = ping.app.WaitForSheet(kSheetTimeoutMs);
    ping.page = ui::PageAt(ping.sheet, 0);
    ping.run = GetDlgItem(ping.page, IDC_RUN);
    ping.cancel = GetDlgItem(ping.page, IDC_CANCEL_RUN);
    if (!ping.run || !ping.cancel || !ping.Pane()) {
        std::fprintf(stderr, "no Ping page\n");
        return false;
    }
    return true;
}

inline bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The pane of a run with its header line taken off; empty when it has none.
inline std::string AfterHeader(const std::string& pane) {
    const std::size_t header_end = pane.find("\r\n");
    return header_end == std::string::npos ? std::string() : pane.substr(header_end + 2);
}

}  // namespace tracewick::bench
