// Command output as the text it means: the code page the commands write in
// (spawner/contract.h) and how its characters are made of bytes. Any thread.
#pragma once

#include <windows.h>

#include "core/output_characters.h"
#include "spawner/contract.h"

namespace tracewick {

// How the characters of `code_page` are made of bytes, as the system
// describes it; a code page it does not know is taken byte by byte.
[[nodiscard]] CharacterForm FormOf(UINT code_page);

}  // namespace tracewick
