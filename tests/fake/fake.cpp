// The stand-in command of the tests. Copied beside Tracewick.exe and
// conspawn.exe under a command's name (ping.exe, tracert.exe, ..., even
// conspawn.exe to play a spawner that ignores the stop request), it plays a
// script that the test chose, so no test touches the network.
// Single-threaded; every write goes straight to the standard handle with
// WriteFile, so nothing waits in a buffer.
//
// Which script: "<own base name>.script" in the program's own directory
// (ping.exe reads ping.script); without one it prints nothing and exits 0.
//
// Script language: one statement per line, a keyword, one blank, then its
// argument (the rest of the line, taken as is). A trailing CR is dropped, so
// scripts may have either line end. Empty lines and lines starting with '#'
// are skipped.
//   out TEXT         TEXT then CR LF to standard output
//   raw TEXT         TEXT alone to standard output
//   err TEXT         TEXT then CR LF to standard error
//   args             the program's whole command line, then CR LF, to
//                    standard output
//   sleep MS         waits MS milliseconds
//   bulk BYTES       BYTES bytes of the text in tests/fake/bulk_text.h
//   grandchild MS    starts a copy of this program that inherits the standard
//                    handles, holds them open for MS milliseconds and exits;
//                    the script goes on at once
//   exit CODE        ends at once with CODE (0 when the script runs out)
//   when RUNS STMT   STMT only in the runs listed, by number from 1 with
//                    commas between ("when 2,3 exit 1"); each start of the
//                    program counts one run, in "<own base name>.runs"
// TEXT takes the escapes \r \n \t \\ \0 and \xHH (two hex digits). Numbers
// are decimal, or hexadecimal after 0x. A line the program does not
// understand is reported on standard error and ends it with exit code 99.
//
// The program also makes a message queue at once: playing conspawn.exe, a
// stop request posted to it then succeeds, and is ignored.
//
// Internal use: "fake.exe --hold MS" is the grandchild.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "framework/process_start.h"
#include "tests/fake/bulk_text.h"

namespace {

// In pieces of 64 KB, as a reader of a pipe would take them; stops when the reader is gone.
void Write(DWORD which, const std::string& text) {
    for (DWORD written = 0, at = 0; at < text.size(); at += written) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size() - at, 65536));
        if (!WriteFile(GetStdHandle(which), text.data() + at, piece, &written, nullptr) || written == 0) return;
    }
}

bool Unescape(const std::string& text, std::string& out) {
    static const std::string kLetters = "rnt\\0", kMeanings("\r\n\t\\\0", 5), kHex = "0123456789abcdefABCDEF";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (++i < text.size() && kLetters.find(text[i]) != std::string::npos) {
            out += kMeanings[kLetters.find(text[i])];
        } else if (i + 2 < text.size() && text[i] == 'x' && text.find_first_not_of(kHex, i + 1) > i + 2) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            return false;
        }
    }
    return true;
}

// Decimal, or hexadecimal after 0x (a leading 0 alone is still decimal).
bool ParseNumber(const std::string& text, unsigned long long* value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    *value = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) && end == text.c_str() + text.size();
}

// A copy of us holding our standard handles for `ms`; the script goes on at once.
bool StartGrandchild(const std::string& own_path, unsigned long long ms) {
    std::string command_line = "\"" + own_path + "\" --hold " + std::to_string(ms);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    if (!tracewick::StartProcessRetrying([&] {
            return CreateProcessA(own_path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &info) != FALSE;
        }))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

// Whether this run's `number` is in the comma-separated `runs`.
bool IsListed(const std::string& runs, unsigned long long number) {
    std::istringstream list(runs);
    for (std::string item; std::getline(list, item, ',');) {
        unsigned long long listed = 0;
        if (ParseNumber(item, &listed) && listed == number) return true;
    }
    return false;
}

int Play(const std::string& own_path, const std::string& script, unsigned long long run) {
    std::istringstream lines(script);
    std::size_t number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        const auto fail = [&](const std::string& problem) {
            Write(STD_ERROR_HANDLE, "fake: line " + std::to_string(number) + ": " + problem + ": " + line + "\r\n");
            return 99;
        };
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("when ", 0) == 0) {
            const std::size_t runs_end = line.find(' ', 5);
            if (runs_end == std::string::npos) return fail("no statement");
            if (!IsListed(line.substr(5, runs_end - 5), run)) continue;
            line = line.substr(runs_end + 1);
        }
        const std::string keyword = line.substr(0, line.find(' '));
        const std::string argument = line.substr(std::min(line.size(), keyword.size() + 1));
        if (std::string(" out raw err args sleep bulk grandchild exit ").find(" " + keyword + " ") == std::string::npos)
            return fail("unknown statement");
        const bool writes = keyword == "out" || keyword == "raw" || keyword == "err";
        std::string text;
        unsigned long long value = 0;
        if (writes && !Unescape(argument, text)) return fail("bad escape");
        if (!writes && keyword != "args" && !ParseNumber(argument, &value)) return fail("bad number");

        const std::string line_end = keyword == "raw" ? "" : "\r\n";
        if (writes) Write(keyword == "err" ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text + line_end);
        if (keyword == "args") Write(STD_OUTPUT_HANDLE, std::string(GetCommandLineA()) + "\r\n");
        if (keyword == "sleep") Sleep(static_cast<DWORD>(value));
        if (keyword == "bulk") Write(STD_OUTPUT_HANDLE, tracewick::fake::BulkText(value));
        if (keyword == "grandchild" && !StartGrandchild(own_path, value)) return fail("cannot start the copy");
        if (keyword == "exit") return static_cast<int>(value);
    }
    return 0;
}

}  // namespace

int main() {
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    // Only our own grandchild is given "--hold MS".
    const std::string command_line = GetCommandLineA();
    const std::size_t hold = command_line.find("\" --hold ");
    unsigned long long hold_ms = 0;
    if (hold != std::string::npos && ParseNumber(command_line.substr(hold + 9), &hold_ms)) {
        Sleep(static_cast<DWORD>(hold_ms));
        return 0;
    }
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length <= 4 || length >= MAX_PATH) return 0;
    // Our path ends in ".exe".
    const std::string base(path, length - 4);
    unsigned long long run = 0;
    std::ifstream(base + ".runs") >> run;
    std::ofstream(base + ".runs", std::ios::trunc) << ++run;
    std::ifstream file(base + ".script", std::ios::binary);
    return file ? Play(std::string(path, length), std::string(std::istreambuf_iterator<char>(file), {}), run) : 0;
}
