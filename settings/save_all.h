// The save of all settings at Exit and Close. UI thread only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tracewick {

struct SettingsFileBytes {
    const char* name;
    std::string bytes;
};

// Clears the attributes of every settings file, then writes `files` in
// their order. A file that cannot be created is passed over. A write error
// stops the save: the old file stands, the user is told which file failed,
// and the result is false so that the caller keeps the sheet open.
[[nodiscard]] bool SaveAllSettings(HWND owner, const std::vector<SettingsFileBytes>& files);

}  // namespace tracewick
