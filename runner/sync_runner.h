// The synchronous command runner: runs a command to its end on the calling
// thread (the user-interface thread of the pages that have no Cancel).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tracewick {

// Starts `command_line`, hands `on_chunk` the text of every chunk read (its
// NUL bytes dropped), and returns once the command has ended. A spawner that
// cannot be started gives one chunk that says why.
void RunToEnd(const std::string& command_line, const std::function<void(std::string_view)>& on_chunk);

}  // namespace tracewick
