// What Tracewick and conspawn.exe agree on: the stop request, the
// spawner's exit codes and the code page of the output. Shared by the
// spawner, the runner, lookup.exe and the tests.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "framework/wide_text.h"

namespace tracewick {

// Thread message posted to the spawner's main thread: end the command and
// everything it started, then exit.
inline constexpr UINT kStopRequest = WM_USER + 1100;

// The spawner's exit codes of its own; otherwise it exits with the command's.
inline constexpr DWORD kSpawnerStopped = 1;       // after a stop request, or ended by Tracewick
inline constexpr DWORD kSpawnerUsage = 2;         // no command given
inline constexpr DWORD kSpawnerCannotStart = 3;   // the command could not be started

// The code page every command's output is written in: the system's OEM code
// page. The spawner gives its console this code page, so the commands it
// starts write in it whatever a user set for consoles, and Tracewick decodes
// with it. Read where the system keeps it rather than asked of this
// process, whose own code pages a manifest may set to UTF-8.
inline UINT OutputCodePage() {
    // It changes only with a restart of the system.
    static const UINT page = [] {
        wchar_t value[16] = {};
        DWORD size = sizeof value;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", L"OEMCP",
                           RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS) {
            const auto oem = static_cast<UINT>(std::wcstoul(value, nullptr, 10));
            if (oem != 0 && ::IsValidCodePage(oem)) return oem;
        }
        return ::GetOEMCP();
    }();
    return page;
}

// `text` of this program's ANSI code page as it stands among a command's
// output: in the console's output code page, or without a console (as
// Tracewick has none) in the output code page. A character the code page
// lacks becomes the nearest it has.
inline std::string ToOutputText(std::string_view text) {
    if (text.empty()) return {};
    UINT page = ::GetConsoleOutputCP();
    if (page == 0) page = OutputCodePage();
    return page == ::GetACP() ? std::string(text) : Encode(Decode(text, CP_ACP), page);
}

}  // namespace tracewick
