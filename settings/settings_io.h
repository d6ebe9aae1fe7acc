// Reading and writing the settings files in the working directory. The
// format lives in core/settings_format.h; this module only moves bytes and
// file attributes. UI thread only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tracewick {

// The whole file, or nothing when it does not open.
[[nodiscard]] std::optional<std::string> ReadSettingsFile(const char* name);

enum class SettingsWrite {
    kWritten,      // in place and hidden
    kPassedOver,   // could not be created or put in place: the old file stands
    kFailed,       // a write error in an open file
};

// Writes `bytes` to a temporary file beside `name` and then puts it in
// place, so a write error never leaves a half-written file; the file is
// given the hidden attribute. Where no temporary file can be made (a folder
// that lets existing files be written but no new one made) the file is
// written in place instead. A file that cannot take the new content (a
// folder of that name, a lock) is passed over: that does not go away by
// trying again.
[[nodiscard]] SettingsWrite WriteSettingsFile(const char* name, std::string_view bytes);

// Gives an existing file the normal attribute, so that it can be replaced.
void ClearSettingsFileAttributes(const char* name);

}  // namespace tracewick
