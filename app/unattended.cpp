#include "app/unattended.h"

#include <ctime>
#include <string>
#include <utility>

#include "core/pane_text.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"

namespace tracewick {

UnattendedRun::UnattendedRun(AutoRunRequest request) : request_(std::move(request)) {
    SetMessageSink([this](std::string_view text) { TakeMessage(text); });
}

UnattendedRun::~UnattendedRun() { SetMessageSink({}); }

void UnattendedRun::FirstRunEnded(std::wstring_view pane_text, DWORD exit_code) {
    outcome_.FirstRunEnded(exit_code);
    // The pane's last line has no line end: the next entry starts a line.
    if (!pane_text.empty()) Log(Encode(pane_text, CP_UTF8) + "\r\n");
}

// Under the time stamp a run's header has, so that every entry says when.
void UnattendedRun::TakeMessage(std::string_view text) {
    outcome_.Failed();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    Log(RunHeader(local, false) + Encode(Decode(text, CP_ACP), CP_UTF8) + "\r\n");
}

// Opened for appending only, for each entry: runs of other sessions that
// write to the same log between two entries are never overwritten. An
// empty file gets the byte order mark with its first entry, in one write.
void UnattendedRun::Log(const std::string& entry) {
    if (request_.log_file.empty()) return;
    const UniqueFile file(::CreateFileA(request_.log_file.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
    LARGE_INTEGER size{};
    const std::string bytes = file && ::GetFileSizeEx(file.Get(), &size) && size.QuadPart == 0 ? kUtf8Mark + entry : entry;
    DWORD written = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        outcome_.Failed();
    }
}

}  // namespace tracewick
