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

// All of `bytes` into the open `file`, on disk before the call returns.
bool WriteAll(const UniqueFile& file, std::string_view bytes) {
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && ::FlushFileBuffers(file.Get());
}

UniqueFile CreateForWriting(const char* name) {
    return UniqueFile(::CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

SettingsWrite WriteSettingsFile(const char* name, std::string_view bytes) {
    const std::string temporary = std::string(name) + ".new";
    {
        UniqueFile file = CreateForWriting(temporary.c_str());
        if (!file) {
            file = CreateForWriting(name);
            if (!file) return SettingsWrite::kPassedOver;
            if (!WriteAll(file, bytes)) return SettingsWrite::kFailed;
            file.Reset();
            ::SetFileAttributesA(name, FILE_ATTRIBUTE_HIDDEN);
            return SettingsWrite::kWritten;
        }
        // On disk before it replaces the old file, so a power loss cannot
        // leave an empty one in its place.
        if (!WriteAll(file, bytes)) {
            file.Reset();
            ::DeleteFileA(temporary.c_str());
            return SettingsWrite::kFailed;
        }
    }
    if (!::MoveFileExA(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(temporary.c_str());
        return SettingsWrite::kPassedOver;
    }
    ::SetFileAttributesA(name, FILE_ATTRIBUTE_HIDDEN);
    return SettingsWrite::kWritten;
}

}  // namespace tracewick
