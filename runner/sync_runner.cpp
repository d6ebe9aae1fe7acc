#include "runner/sync_runner.h"

#include "core/pane_text.h"
#include "runner/spawn.h"

namespace tracewick {

void RunToEnd(const std::string& command_line, const std::function<void(std::string_view)>& on_chunk) {
    SpawnedCommand child = StartSpawner(command_line, 0);
    if (!child.Started()) {
        on_chunk(SpawnFailureText(child.error));
        return;
    }
    std::string chunk;
    while (ReadChunk(child, chunk)) {
        DropNuls(chunk);
        if (!chunk.empty()) on_chunk(chunk);
    }
    ::WaitForSingleObject(child.process.Get(), INFINITE);
}

}  // namespace tracewick
