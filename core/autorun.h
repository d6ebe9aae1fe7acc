// The auto-run letter: which page a command-line argument opens and runs,
// and the switches of a run nobody watches. Portable: no <windows.h>.
#pragma once

#include <string>
#include <vector>

namespace tracewick {

inline constexpr char kNoAutoRunLetter = ' ';

// First character of the first argument that is not a switch (a switch
// begins with '-' or '/'); a blank when there is none or it is empty.
// `args` excludes the program name.
[[nodiscard]] char AutoRunLetterFromArgs(const std::vector<std::string>& args) noexcept;

// Page index that a letter selects and runs, in either case, or -1.
[[nodiscard]] int PageIndexForLetter(char letter) noexcept;

// What the command line asks for: the letter, and for a run nobody watches
// (a scheduled task) where to keep its record and whether to leave after it.
struct AutoRunRequest {
    char letter = kNoAutoRunLetter;
    std::string log_file;  // /log:FILE; empty when none
    bool exit = false;     // /exit
    // /report:FILE: every page that needs nothing typed runs once, into
    // FILE, and the program leaves. Empty when none.
    std::string report_file;
    // No message box may wait for a user.
    [[nodiscard]] bool Unattended() const noexcept { return exit || !log_file.empty() || !report_file.empty(); }
};

// The letter as AutoRunLetterFromArgs finds it, wherever the switches stand.
// /log:FILE and /exit (also with -, in any letter case) count only beside a
// letter that selects a page; an empty FILE and every other switch are
// ignored, and of several /log: the last counts. /report:FILE counts with or
// without a letter and then takes the place of all of them: no letter, log
// or exit.
[[nodiscard]] AutoRunRequest AutoRunRequestFromArgs(const std::vector<std::string>& args);

// The exit code of a run nobody watches: that of its first run once it has
// ended, 1 while none has, and 1 after a failure of the program's own (a
// refusal, a log or settings file that could not be written), which the
// scheduler must see even when the commands succeeded.
class UnattendedOutcome {
public:
    void FirstRunEnded(unsigned long exit_code) noexcept { run_code_ = exit_code; }
    void Failed() noexcept { failed_ = true; }
    [[nodiscard]] bool HasFailed() const noexcept { return failed_; }
    [[nodiscard]] unsigned long ExitCode() const noexcept { return failed_ ? 1 : run_code_; }

private:
    bool failed_ = false;
    unsigned long run_code_ = 1;
};

}  // namespace tracewick
