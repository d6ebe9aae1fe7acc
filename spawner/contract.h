// What Tracewick and conspawn.exe agree on: the stop request and the
// spawner's exit codes. Shared by the spawner, the runner and the tests.
#pragma once

#include <windows.h>

namespace tracewick {

// Thread message posted to the spawner's main thread: end the command and
// everything it started, then exit.
inline constexpr UINT kStopRequest = WM_USER + 1100;

// The spawner's exit codes of its own; otherwise it exits with the command's.
inline constexpr DWORD kSpawnerStopped = 1;       // after a stop request, or ended by Tracewick
inline constexpr DWORD kSpawnerUsage = 2;         // no command given
inline constexpr DWORD kSpawnerCannotStart = 3;   // the command could not be started

}  // namespace tracewick
