// Starting the console spawner with the command's output and error going to
// one pipe that we read. Any thread.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace tracewick {

// The stop request the spawner obeys: end the command and everything it
// started, then exit.
inline constexpr UINT kStopRequest = WM_USER + 1100;

struct SpawnedCommand {
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
    DWORD thread_id = 0;
    UniqueKernelHandle our_output_read;  // what the command prints
    UniqueKernelHandle our_input_read;   // the other end of the command's input, never used
    DWORD error = 0;                     // why the start failed; 0 when it started

    [[nodiscard]] bool Started() const noexcept { return process.Valid(); }
};

// Starts `command_line` (at most 119 characters) with its window hidden,
// its output and error on one pipe and its input on the write end of a
// second one. Only its own pipe ends are handed to it, so a run never holds
// another run's pipe open. `creation_flags` are added to the start.
[[nodiscard]] SpawnedCommand StartSpawner(const std::string& command_line, DWORD creation_flags);

// Posts the stop request to the spawner's main thread. The spawner may not
// have its message queue yet just after it started: a post that fails for
// that reason is retried for a short, bounded time.
bool PostStopRequest(DWORD thread_id);

// The line the pane shows when the spawner could not be started.
[[nodiscard]] std::string SpawnFailureText(DWORD error);

// Reads the next chunk of at most 1000 bytes; false at end of data.
bool ReadChunk(HANDLE pipe, std::string& chunk);

}  // namespace tracewick
