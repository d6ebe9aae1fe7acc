#include "app/unattended.h"

#include <string>
#include <utility>

#include "core/pages.h"
#include "core/pane_text.h"
#include "framework/handles.h"
#include "framework/message_box.h"
#include "framework/wide_text.h"

namespace tracewick {

namespace {

Moment MomentOf(std::time_t at) {
    Moment moment{at, {}};
    localtime_s(&moment.local, &at);
    return moment;
}

}  // namespace

UnattendedRun::UnattendedRun(AutoRunRequest request) : request_(std::move(request)) {
    SetMessageSink([this](std::string_view text) { TakeMessage(text); });
    // A session that logs every run of the Ping page watches its host.
    if (!Reports() && !request_.exit && PageIndexForLetter(request_.letter) == kPingPage) {
        outages_.emplace(MomentOf(std::time(nullptr)));
    }
}

UnattendedRun::~UnattendedRun() { SetMessageSink({}); }

void UnattendedRun::RunEnded(int page, std::wstring_view text, DWORD exit_code, std::time_t started) {
    if (Reports()) {
        report_.PageEnded(page, exit_code);
    } else if (!first_run_ended_) {
        outcome_.FirstRunEnded(exit_code);
    }
    first_run_ended_ = true;
    if (text.empty()) return;
    // The pane's last line has no line end: the next entry starts a line.
    const std::string utf8 = Encode(text, CP_UTF8);
    Log(utf8 + "\r\n");
    if (outages_) {
        if (const std::string change = outages_->RunEnded(MomentOf(started), PingAnswered(utf8, exit_code)); !change.empty()) {
            Log(change);
        }
    }
}

void UnattendedRun::ReportPageStarting(int page) { Log(ReportSectionLine(page)); }

void UnattendedRun::ReportEnded() { Log(report_.FinalLine()); }

void UnattendedRun::Leaving() {
    if (outages_) Log(outages_->Summary(MomentOf(std::time(nullptr))));
}

DWORD UnattendedRun::ExitCode() const noexcept {
    if (!Reports()) return outcome_.ExitCode();
    if (report_.Failed()) return report_.ExitCode();
    return outcome_.HasFailed() ? 1 : 0;
}

// Under the time stamp a run's header has, so that every entry says when.
void UnattendedRun::TakeMessage(std::string_view text) {
    outcome_.Failed();
    Log(RunHeader(MomentOf(std::time(nullptr)).local, false) + Encode(Decode(text, CP_ACP), CP_UTF8) + "\r\n");
}

// Opened for appending only, for each entry: runs of other sessions that
// write to the same log between two entries are never overwritten. An
// empty file gets the byte order mark with its first entry, in one write.
void UnattendedRun::Log(const std::string& entry) {
    const std::string& name = Reports() ? request_.report_file : request_.log_file;
    if (name.empty()) return;
    const UniqueFile file(::CreateFileA(name.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
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
