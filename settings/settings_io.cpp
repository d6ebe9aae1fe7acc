#include "settings/settings_io.h"

#include <windows.h>

#include "framework/handles.h"

namespace tracewick {

std::optional<std::string> ReadSettingsFile(const char* name) {
    UniqueFile file(::CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

void ClearSettingsFileAttributes(const char* name) {
    ::SetFileAttributesA(name, FILE_ATTRIBUTE_NORMAL);
}

namespace {

UniqueFile OpenForWriting(const char* name, DWORD disposition) {
    return UniqueFile(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

// Written aside and moved into place, so that a failed write leaves the old
// file as it was. Where no file can be made beside it, over the old one,
// which is cut to the new length only once everything is written.
SettingsWrite WriteSettingsFile(const char* name, std::string_view bytes) {
    const std::string temporary = std::string(name) + ".new";
    UniqueFile file = OpenForWriting(temporary.c_str(), CREATE_ALWAYS);
    const bool in_place = !file;
    if (in_place) file = OpenForWriting(name, OPEN_ALWAYS);
    if (!file) return SettingsWrite::kPassedOver;
    DWORD written = 0;
    // On disk before it replaces the old file, so a power loss cannot leave
    // an empty one in its place.
    const bool whole = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size() && (!in_place || ::SetEndOfFile(file.Get())) &&
                       ::FlushFileBuffers(file.Get());
    file.Reset();
    if (!whole) {
        if (!in_place) ::DeleteFileA(temporary.c_str());
        return SettingsWrite::kFailed;
    }
    if (!in_place && !::MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(temporary.c_str());
        return SettingsWrite::kPassedOver;
    }
    ::SetFileAttributesA(name, FILE_ATTRIBUTE_HIDDEN);
    return SettingsWrite::kWritten;
}

}  // namespace tracewick
