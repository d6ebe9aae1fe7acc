// Startup benchmark: time from CreateProcess to a visible sheet, Tracewick
// against two baselines started the same way in the same run, so the ratios
// do not depend on the machine: a bare two-page sheet, and a bare sheet with
// Tracewick's nine pages and a rich edit on each (`bare_sheet nine`), the
// least a window like Tracewick's costs. Informational: it always succeeds
// unless a program cannot be started or its sheet never shows.
//
// Usage: startup_bench TRACEWICK_EXE BARE_SHEET_EXE [RUNS [SUMMARY_FILE]]
// The summary also goes to SUMMARY_FILE, for scripts that run ctest without
// showing the output of passing tests.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"

namespace {

using tracewick::bench::kSheetTimeoutMs;
using tracewick::bench::Median;
using tracewick::ui::ToWindowsPath;

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleSheet(HWND hwnd, LPARAM lparam) {
    auto* search = reinterpret_cast<Search*>(lparam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char name[32] = {};
    if (pid != search->pid || !IsWindowVisible(hwnd) || !GetClassNameA(hwnd, name, sizeof name) ||
        std::string(name) != "#32770" || !FindWindowExA(hwnd, nullptr, "SysTabControl32", nullptr))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// A scratch working directory: closing Tracewick writes its settings there.
std::string MakeWorkDir() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    for (unsigned i = 0; i < 1000; ++i) {
        const std::string dir = std::string(temp) + "tw-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(i);
        if (CreateDirectoryA(dir.c_str(), nullptr)) return dir;
    }
    return {};
}

void RemoveWorkDir(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string path = dir + "\\" + data.cFileName;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

// Milliseconds from CreateProcess to the visible sheet, or a negative value
// on failure. The program is closed and awaited before returning.
double TimeStartup(const std::string& exe, const std::string& args, const std::string& work_dir) {
    std::string command_line = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!tracewick::StartProcessRetrying([&] {
            return CreateProcessA(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  work_dir.c_str(), &startup, &info) != FALSE;
        })) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", exe.c_str(), GetLastError());
        return -1;
    }
    CloseHandle(info.hThread);
    Search search{info.dwProcessId, nullptr};
    double elapsed = -1;
    for (;;) {
        EnumWindows(FindVisibleSheet, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        if (search.found) {
            elapsed = ms;
            break;
        }
        // The short wait is on the process: one that dies ends the run.
        if (ms > kSheetTimeoutMs || WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s: no visible sheet\n", exe.c_str());
            break;
        }
    }
    if (search.found) PostMessageA(search.found, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 10000);
    }
    CloseHandle(info.hProcess);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench TRACEWICK_EXE BARE_SHEET_EXE [RUNS [SUMMARY_FILE]]\n");
        return 2;
    }
    const std::string tracewick = ToWindowsPath(argv[1]);
    const std::string bare = ToWindowsPath(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    const std::string work_dir = MakeWorkDir();
    if (work_dir.empty()) {
        std::fprintf(stderr, "cannot create a working directory\n");
        return 1;
    }

    // The letter "x" opens the sheet without the splash and runs nothing.
    struct Program {
        std::string exe;
        const char* args;
        std::vector<double> ms;
    };
    Program programs[] = {{tracewick, "x", {}}, {bare, "nine", {}}, {bare, "", {}}};
    bool ok = true;
    for (Program& program : programs) ok = ok && TimeStartup(program.exe, program.args, work_dir) >= 0;  // warm-up
    for (int i = 0; ok && i < runs; ++i) {
        // Alternating spreads any drift of the machine over all programs.
        for (Program& program : programs) {
            program.ms.push_back(TimeStartup(program.exe, program.args, work_dir));
            ok = ok && program.ms.back() >= 0;
        }
    }
    RemoveWorkDir(work_dir);
    if (!ok) return 1;

    const double t = Median(programs[0].ms);
    const double n = Median(programs[1].ms);
    const double b = Median(programs[2].ms);
    char summary[512];
    std::snprintf(summary, sizeof summary,
                  "startup median over %d runs: Tracewick %.1f ms, bare nine-page sheet with rich edits %.1f ms, "
                  "bare two-page sheet %.1f ms\n"
                  "startup ratio (Tracewick / bare nine-page sheet with rich edits): %.2f (goal: at most 1.3)\n"
                  "startup ratio (Tracewick / bare two-page sheet): %.2f\n",
                  runs, t, n, b, n > 0 ? t / n : 0.0, b > 0 ? t / b : 0.0);
    tracewick::bench::PublishSummary(summary, argc > 4 ? argv[4] : nullptr);
    return 0;
}
