#include "core/watch_log.h"

#include <iterator>

#include "core/pages.h"
#include "core/pane_text.h"

namespace tracewick {

namespace {

// The time stamp of a run's header, on a line of its own.
std::string Stamp(const Moment& moment) { return RunHeader(moment.local, false); }

// Whether `text` holds four dot-separated numbers of at most three digits.
bool NamesIpv4Address(std::string_view text) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t start = 0; start < text.size(); ++start) {
        if (!digit(text[start]) || (start > 0 && (digit(text[start - 1]) || text[start - 1] == '.'))) continue;
        std::size_t at = start;
        int parts = 0;
        while (parts < 4) {
            std::size_t digits = 0;
            while (at < text.size() && digit(text[at]) && digits < 4) ++at, ++digits;
            if (digits == 0 || digits > 3) break;
            if (++parts == 4 || at >= text.size() || text[at] != '.') break;
            ++at;
        }
        if (parts == 4) return true;
    }
    return false;
}

std::string Plural(std::int64_t count, const char* unit) {
    return std::to_string(count) + " " + unit + (count == 1 ? "" : "s");
}

constexpr std::string_view kPageNames[] = {"Ping",    "Trace Route", "Lookup",      "Routes",
                                           "ARP",     "NetBIOS",     "Connections", "Statistics"};
static_assert(std::size(kPageNames) == static_cast<std::size_t>(kAboutPage), "a name for each page a report runs");

// "2 hours, 5 minutes and 7 seconds".
std::string DurationText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    return Plural(seconds / 3600, "hour") + ", " + Plural(seconds / 60 % 60, "minute") + " and " +
           Plural(seconds % 60, "second");
}

// The page names of a report, by page index.
std::string_view ReportPageName(int index) noexcept {
    return index >= 0 && index < static_cast<int>(std::size(kPageNames)) ? kPageNames[index] : std::string_view();
}

}  // namespace

bool PingAnswered(std::string_view output, unsigned long exit_code) {
    if (exit_code != 0) return false;
    return output.find("TTL=") != std::string_view::npos || !NamesIpv4Address(output);
}

std::string OutageLog::RunEnded(const Moment& started, bool answered) {
    ++runs_;
    if (answered) {
        ++answered_;
        if (!outage_since_) return {};
        const std::int64_t length = static_cast<std::int64_t>(started.at - outage_since_->at);
        outage_seconds_ += length;
        outage_since_.reset();
        return Stamp(started) + "The host answers again after " + DurationText(length) + ".\r\n";
    }
    if (outage_since_) return {};
    outage_since_ = started;
    ++outages_;
    return Stamp(started) + "The host stopped answering.\r\n";
}

std::string OutageLog::Summary(const Moment& end) const {
    std::int64_t total = outage_seconds_;
    if (outage_since_) total += static_cast<std::int64_t>(end.at - outage_since_->at);
    std::string from = Stamp(session_start_), to = Stamp(end);
    from.resize(from.size() - 2);  // without their line ends
    to.resize(to.size() - 2);
    return Stamp(end) + "Session from " + from + " to " + to + ": " + Plural(runs_, "run") + ", " +
           std::to_string(answered_) + " answered, " + Plural(outages_, "outage") + " lasting " +
           DurationText(total) + (outage_since_ ? " (not answering at the end)" : "") + ".\r\n";
}

std::string ReportSectionLine(int index) { return "==== " + std::string(ReportPageName(index)) + " ====\r\n"; }

void ReportOutcome::PageEnded(int index, unsigned long exit_code) noexcept {
    if (exit_code == 0 || page_ >= 0) return;
    page_ = index;
    code_ = exit_code;
}

std::string ReportOutcome::FinalLine() const {
    if (page_ < 0) return "==== Every page ended with code 0. ====\r\n";
    return "==== " + std::string(ReportPageName(page_)) + " was the first page that did not end with code 0: it ended with " +
           std::to_string(code_) + ". ====\r\n";
}

}  // namespace tracewick
