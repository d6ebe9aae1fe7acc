// Starting the console spawner with the command's output and error going to
// one pipe that we read. Any thread.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handles.h"
#include "spawner/contract.h"

namespace tracewick {

struct SpawnedCommand {
    UniqueKernelHandle process;
    UniqueKernelHandle thread;
    DWORD thread_id = 0;
    UniqueFile our_output_read;          // what the command prints; read it with ReadChunk
    UniqueKernelHandle read_done;        // signalled when a read of our_output_read completes
    UniqueKernelHandle our_input_read;   // the other end of the command's input, never used
    DWORD error = 0;                     // why the start failed; 0 when it started

    [[nodiscard]] bool Started() const noexcept { return process.Valid(); }
};

// Starts `command_line` (at most 119 characters) with its window hidden,
// its output and error on one pipe and its input on the write end of a
// second one. Only its own pipe ends are handed to it, so a run never holds
// another run's pipe open. `creation_flags` are added to the start.
[[nodiscard]] SpawnedCommand StartSpawner(const std::string& command_line, DWORD creation_flags);

// Posts the stop request to the spawner's main thread once; false when the
// spawner has no message queue yet (just after it started) or is gone.
bool TryPostStopRequest(DWORD thread_id);
// Posts the stop request, trying again while the spawner has no queue yet,
// until it takes it or `process` has ended. For a worker, never the
// user-interface thread.
bool PostStopRequest(DWORD thread_id, HANDLE process);

// The line the pane shows when the spawner could not be started.
[[nodiscard]] std::string SpawnFailureText(DWORD error);

// Reads the next chunk of at most 1000 bytes of `child`'s output; false at
// end of data, or as soon as `cancel` (an event, when given) is set.
[[nodiscard]] bool ReadChunk(const SpawnedCommand& child, std::string& chunk, HANDLE cancel = nullptr);

}  // namespace tracewick
