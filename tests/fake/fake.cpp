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
// TEXT takes the escapes \r \n \t \\ \0 and \xHH (two hex digits). Numbers
// are decimal, or hexadecimal after 0x. A line the program does not
// understand is reported on standard error and ends it with kExitScriptError.
//
// The program also makes a message queue at once: playing conspawn.exe, a
// stop request posted to it then succeeds, and is ignored.
//
// Internal use: "fake.exe --hold MS" is the grandchild.
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "tests/fake/bulk_text.h"

namespace {

constexpr int kExitScriptError = 99;
constexpr std::size_t kBlockLength = 64 * 1024;  // multiple of the bulk line length

void WriteAll(HANDLE handle, const char* data, std::size_t length) {
    while (length > 0) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(length < kBlockLength ? length : kBlockLength);
        if (!WriteFile(handle, data, piece, &written, nullptr) || written == 0) return;  // reader gone
        data += written;
        length -= written;
    }
}

void WriteAll(HANDLE handle, const std::string& text) { WriteAll(handle, text.data(), text.size()); }

HANDLE Out() { return GetStdHandle(STD_OUTPUT_HANDLE); }
HANDLE Err() { return GetStdHandle(STD_ERROR_HANDLE); }

bool Unescape(const std::string& text, std::string* out) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
            case 'r': result += '\r'; break;
            case 'n': result += '\n'; break;
            case 't': result += '\t'; break;
            case '\\': result += '\\'; break;
            case '0': result += '\0'; break;
            case 'x': {
                const std::string digits = text.substr(i + 1, 2);
                char* end = nullptr;
                const long value = std::strtol(digits.c_str(), &end, 16);
                if (digits.size() != 2 || end != digits.c_str() + 2) return false;
                result += static_cast<char>(value);
                i += 2;
                break;
            }
            default: return false;
        }
    }
    *out = std::move(result);
    return true;
}

// Decimal, or hexadecimal after 0x (a leading 0 alone is still decimal).
bool ParseNumber(const std::string& text, unsigned long long* value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    *value = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) && end == text.c_str() + text.size();
}

std::string OwnPath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string result;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0) result.append(buffer, got);
    CloseHandle(file);
    if (ok) *text = std::move(result);
    return ok;
}

// The script for this copy (our path ends in ".exe"); false when there is none.
bool LoadScript(const std::string& own_path, std::string* script) {
    return own_path.size() > 4 && ReadWholeFile(own_path.substr(0, own_path.size() - 4) + ".script", script);
}

// The milliseconds of "--hold MS", which only our own grandchild is given.
bool HoldArgument(const std::string& line, unsigned long long* ms) {
    const std::size_t flag = line.find("\" --hold ");
    return flag != std::string::npos && ParseNumber(line.substr(flag + 9), ms);
}

bool StartGrandchild(const std::string& own_path, unsigned long long ms) {
    std::string command_line = "\"" + own_path + "\" --hold " + std::to_string(ms);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = Out();
    startup.hStdError = Err();
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(own_path.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

int ScriptError(std::size_t line_number, const std::string& line, const char* problem) {
    WriteAll(Err(), "fake: script line " + std::to_string(line_number) + ": " + problem + ": " + line + "\r\n");
    return kExitScriptError;
}

int Play(const std::string& own_path, const std::string& script) {
    std::size_t line_number = 0;
    for (std::size_t start = 0; start < script.size();) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        std::string line = script.substr(start, end - start);
        start = end + 1;
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;

        const std::size_t blank = line.find(' ');
        const std::string keyword = line.substr(0, blank);
        const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        std::string text;
        unsigned long long number = 0;
        const bool wants_text = keyword == "out" || keyword == "raw" || keyword == "err";
        const bool wants_number = keyword == "sleep" || keyword == "bulk" || keyword == "grandchild" || keyword == "exit";
        if (wants_text && !Unescape(argument, &text)) return ScriptError(line_number, line, "bad escape");
        if (wants_number && !ParseNumber(argument, &number)) return ScriptError(line_number, line, "bad number");

        if (keyword == "out") {
            WriteAll(Out(), text + "\r\n");
        } else if (keyword == "raw") {
            WriteAll(Out(), text);
        } else if (keyword == "err") {
            WriteAll(Err(), text + "\r\n");
        } else if (keyword == "args") {
            WriteAll(Out(), std::string(GetCommandLineA()) + "\r\n");
        } else if (keyword == "sleep") {
            Sleep(static_cast<DWORD>(number));
        } else if (keyword == "bulk") {
            for (std::size_t done = 0; done < number;) {
                const std::size_t piece = number - done < kBlockLength ? number - done : kBlockLength;
                WriteAll(Out(), tracewick::fake::BulkTextAt(done, piece));
                done += piece;
            }
        } else if (keyword == "grandchild") {
            if (!StartGrandchild(own_path, number)) return ScriptError(line_number, line, "cannot start the copy");
        } else if (keyword == "exit") {
            return static_cast<int>(number);
        } else {
            return ScriptError(line_number, line, "unknown statement");
        }
    }
    return 0;
}

}  // namespace

int main() {
    MSG message;
    PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    unsigned long long hold_ms = 0;
    if (HoldArgument(GetCommandLineA(), &hold_ms)) {
        Sleep(static_cast<DWORD>(hold_ms));
        return 0;
    }
    const std::string own_path = OwnPath();
    std::string script;
    if (!LoadScript(own_path, &script)) return 0;
    return Play(own_path, script);
}
