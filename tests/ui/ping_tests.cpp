// UI tests of the Ping page: runs against the stand-in command from a private
// bin folder, the host field's rules, the options dialog, repeat and cancel,
// the pane's text, and the page's settings file.
#include "tests/ui/program_test.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/fake/bulk_text.h"

namespace tracewick::ui {
namespace {

// Ping page controls.
constexpr int kHostCombo = 1026;
constexpr int kCumulative = 1083;
constexpr int kOptions = 1030;
constexpr int kCancel = 1100;
constexpr int kRun = 1042;
constexpr int kPane = 1031;
// Ping Options dialog.
constexpr int kCountField = 1032;
constexpr int kTimeoutField = 1033;
constexpr int kRepeatField = 1063;
constexpr int kPacketSizeField = 1096;
constexpr int kDefaults = 1034;
constexpr int kOptionsHelp = 1051;

constexpr int kPingLogical = 0;
constexpr DWORD kRunTimeoutMs = 10000;
constexpr char kEndOfData[] = "\r\n\r\nEnd of Data";
constexpr char kPingCancelled[] = "\r\n\r\nPing cancelled";
constexpr char kHeader[] = "<header>";

std::string SettingsLine(const std::string& value) { return value + "\r\r\n"; }

std::string PingFile(int count, int timeout, int repeat, int packet_size, bool cumulative) {
    return SettingsLine(std::to_string(count)) + SettingsLine(std::to_string(timeout)) +
           SettingsLine(std::to_string(repeat)) + SettingsLine(std::to_string(packet_size)) +
           SettingsLine(cumulative ? "TRUE" : "FALSE");
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const std::regex& HeaderPattern() {
    static const std::regex pattern(
        "(Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday), "
        "(January|February|March|April|May|June|July|August|September|October|November|December) "
        "[0-3][0-9], [0-9]{4} at [0-2][0-9]:[0-5][0-9]:[0-5][0-9]");
    return pattern;
}

// The pane text with every line in the run header's format replaced by
// "<header>", so that whole panes compare exactly; the headers themselves
// go to `headers`.
std::string MaskHeaders(const std::string& text, std::vector<std::string>* headers = nullptr) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (std::regex_match(line, HeaderPattern())) {
            out += kHeader;
            if (headers) headers->push_back(line);
        } else {
            out += line;
        }
        if (end == std::string::npos) return out;
        out += "\r\n";
        start = end + 2;
    }
}

// The header a run started at `time` writes.
std::string HeaderAt(const SYSTEMTIME& time) {
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    char text[96];
    std::snprintf(text, sizeof text, "%s, %s %02u, %u at %02u:%02u:%02u", kDays[time.wDayOfWeek % 7],
                  kMonths[(time.wMonth + 11) % 12], time.wDay, time.wYear, time.wHour, time.wMinute, time.wSecond);
    return text;
}

// Milliseconds on a clock that does not wrap within a test.
ULONGLONG Now() { return GetTickCount64(); }

// For a pane that should read `start`, then ": " and a reason on the same
// line, then the end line: the reason with its ": ", or nothing when the
// pane reads otherwise.
std::optional<std::string> ReasonLine(const std::string& masked, const std::string& start) {
    const std::string end = std::string("\r\n") + kEndOfData;
    if (masked.compare(0, start.size(), start) != 0 || !EndsWith(masked, end) ||
        masked.size() < start.size() + end.size())
        return std::nullopt;
    const std::string reason = masked.substr(start.size(), masked.size() - start.size() - end.size());
    if (reason.compare(0, 2, ": ") != 0 || reason.find_first_of("\r\n") != std::string::npos) return std::nullopt;
    return reason;
}

BinFolder PingPlays(const std::string& script) {
    BinFolder bin;
    bin.commands = {{"ping", script}};
    return bin;
}

struct PingOptionValues {
    std::string count, timeout, repeat, packet_size;
};

// ---------------------------------------------------------------- fixture

class PingTest : public ProgramTest {
protected:
    // Starts the program on the Ping page with `bin` as its bin folder.
    bool StartPing(const std::optional<BinFolder>& bin, std::vector<SeedFile> files = {}) {
        LaunchOptions options;
        options.args = {"x"};
        options.files = std::move(files);
        options.bin = bin;
        sheet_ = LaunchToSheet(options);
        return FindPage();
    }

    bool FindPage() {
        if (!sheet_) return false;
        const int position = sheet_.PositionOfLogical(kPingLogical);
        if (position < 0 || !sheet_.SelectPosition(position)) {
            ADD_FAILURE() << "no Ping page";
            return false;
        }
        page_ = sheet_.ActivePage();
        return page_ != nullptr;
    }

    HWND Control(int id) const { return GetDlgItem(page_, id); }
    std::string Pane() const { return PaneText(Control(kPane)); }
    bool RunEnabled() const { return IsEnabled(Control(kRun)); }
    bool CancelEnabled() const { return IsEnabled(Control(kCancel)); }
    void Run() const { Click(Control(kRun)); }
    void Cancel() const { Click(Control(kCancel)); }
    bool WaitRunEnd(DWORD timeout_ms = kRunTimeoutMs) const {
        return WaitForRunEnd(page_, timeout_ms, app_->process());
    }
    bool WaitPane(const std::string& needle, DWORD timeout_ms = kRunTimeoutMs) const {
        return WaitForPaneText(Control(kPane), needle, timeout_ms, app_->process());
    }
    bool TypeHost(const std::string& host) const { return TypeIntoCombo(Control(kHostCombo), host); }

    // Runs once to its end; the pane text afterwards.
    std::string RunToEnd() {
        Run();
        EXPECT_TRUE(WaitRunEnd()) << "the run did not end; pane: " << Visible(Pane());
        return Pane();
    }

    // The command line the stand-in received, as conspawn passes it on:
    // the stand-in by its full path, then the arguments as Tracewick wrote them.
    std::string StandInCommandLine(const std::string& arguments) const {
        return "\"" + app_->bin_dir() + "\\ping.exe\" " + arguments;
    }

    HWND OpenOptions() const {
        if (!PostClick(Control(kOptions))) return nullptr;
        return app_->WaitForDialog("Ping Options");
    }

    static PingOptionValues ReadOptions(HWND dialog) {
        return {ControlText(dialog, kCountField), ControlText(dialog, kTimeoutField), ControlText(dialog, kRepeatField),
                ControlText(dialog, kPacketSizeField)};
    }

    static bool FillOptions(HWND dialog, const PingOptionValues& values) {
        return SetText(GetDlgItem(dialog, kCountField), values.count) &&
               SetText(GetDlgItem(dialog, kTimeoutField), values.timeout) &&
               SetText(GetDlgItem(dialog, kRepeatField), values.repeat) &&
               SetText(GetDlgItem(dialog, kPacketSizeField), values.packet_size);
    }

    // Options set through the dialog and accepted with OK.
    bool SetOptions(const PingOptionValues& values) const {
        const HWND dialog = OpenOptions();
        if (!dialog || !FillOptions(dialog, values) || !PostClick(GetDlgItem(dialog, IDOK))) return false;
        return app_->WaitForWindowGone(dialog);
    }

    PingOptionValues OptionsShown() const {
        const HWND dialog = OpenOptions();
        if (!dialog) return {};
        const PingOptionValues values = ReadOptions(dialog);
        PostClick(GetDlgItem(dialog, IDCANCEL));
        EXPECT_TRUE(app_->WaitForWindowGone(dialog));
        return values;
    }

    Sheet sheet_;
    HWND page_ = nullptr;
};

bool operator==(const PingOptionValues& a, const PingOptionValues& b) {
    return a.count == b.count && a.timeout == b.timeout && a.repeat == b.repeat && a.packet_size == b.packet_size;
}

void PrintTo(const PingOptionValues& v, std::ostream* out) {
    *out << "{" << v.count << ", " << v.timeout << ", " << v.repeat << ", " << v.packet_size << "}";
}

// ---------------------------------------------------------------- runs

using PingRunTest = PingTest;

TEST_F(PingRunTest, FullRunStreamsChunksUnderHeaderAndEndsOnce) {
    // Output in several chunks, a line split across two of them, and a line
    // on standard error, which shares the pipe.
    ASSERT_TRUE(StartPing(PingPlays("args\n"
                                    "out Reply 1\n"
                                    "sleep 300\n"
                                    "out Reply 2\n"
                                    "err warning on stderr\n"
                                    "sleep 200\n"
                                    "raw partial line\n"
                                    "sleep 200\n"
                                    "raw  continues\\r\\n\n")));
    EXPECT_TRUE(RunEnabled());
    EXPECT_FALSE(CancelEnabled());
    EXPECT_EQ("", Pane());

    SYSTEMTIME before{}, after{};
    GetLocalTime(&before);
    Run();
    GetLocalTime(&after);
    EXPECT_FALSE(RunEnabled()) << "Run must be disabled while the run lasts";
    EXPECT_TRUE(CancelEnabled());
    ASSERT_TRUE(WaitPane("Reply 1"));
    EXPECT_FALSE(RunEnabled());
    EXPECT_TRUE(CancelEnabled());

    ASSERT_TRUE(WaitRunEnd());
    EXPECT_FALSE(CancelEnabled());
    const std::string pane = Pane();
    std::vector<std::string> headers;
    EXPECT_EQ(std::string(kHeader) + "\r\n" + StandInCommandLine("-w 300 -n 4 -l 32 localhost") +
                  "\r\nReply 1\r\nReply 2\r\nwarning on stderr\r\npartial line continues\r\n" + kEndOfData,
              MaskHeaders(pane, &headers))
        << Visible(pane);
    ASSERT_EQ(1u, headers.size());
    EXPECT_TRUE(headers[0] == HeaderAt(before) || headers[0] == HeaderAt(after))
        << headers[0] << " is not the time of the run, " << HeaderAt(before);
    EXPECT_EQ(0u, pane.find(headers[0])) << "cumulative is off: the header is the first line";
}

TEST_F(PingRunTest, HostLeadingBlanksGoTrailingStayEmptyPingsLocalhost) {
    ASSERT_TRUE(StartPing(PingPlays("args\n")));
    struct Row {
        const char* name;
        std::string typed;
        std::string host_on_command_line;
    };
    const std::vector<Row> rows = {
        {"empty", "", "localhost"},
        {"blanks only", "   ", "localhost"},
        {"leading and trailing blanks", "  example.test  ", "example.test  "},
        {"tab before", "\texample.test", "example.test"},
        {"plain", "example.test", "example.test"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(TypeHost(row.typed));
        const std::string pane = RunToEnd();
        EXPECT_EQ(std::string(kHeader) + "\r\n" + StandInCommandLine("-w 300 -n 4 -l 32 " + row.host_on_command_line) +
                      "\r\n" + kEndOfData,
                  MaskHeaders(pane))
            << Visible(pane);
        if (row.host_on_command_line == "localhost") {
            EXPECT_EQ(row.typed, ControlText(page_, kHostCombo)) << "the combo keeps what was typed";
        }
    }
}

TEST_F(PingRunTest, RefusesHostThatCannotBeRun) {
    ASSERT_TRUE(StartPing(PingPlays("args\n")));
    // With the largest options the command leaves 75 characters for the host.
    ASSERT_TRUE(SetOptions({"25", "10000", "0", "32739"}));
    ASSERT_TRUE(TypeHost("first.test"));
    const std::string earlier = RunToEnd();
    ASSERT_NE(std::string::npos, earlier.find("first.test"));

    struct Row {
        const char* name;
        std::string typed;
        const char* refusal;  // a part of the message box text
    };
    const std::vector<Row> rows = {
        {"double quote", "local\"host", "double quote"},
        {"double quote at the end", "localhost\"", "double quote"},
        {"one character too long", std::string(76, 'h'), "at most 75 characters"},
        {"as long as the combo takes", std::string(78, 'h'), "at most 75 characters"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(TypeHost(row.typed));
        ASSERT_TRUE(PostClick(Control(kRun)));
        const auto text = app().AnswerMessageBox();
        ASSERT_TRUE(text.has_value()) << "no message box";
        EXPECT_NE(std::string::npos, text->find(row.refusal)) << *text;
        EXPECT_TRUE(WaitUntil([&] { return RunEnabled(); }, kWindowTimeoutMs));
        EXPECT_FALSE(CancelEnabled());
        EXPECT_EQ(earlier, Pane()) << "a refused run must leave the pane alone";
        EXPECT_TRUE(app().BinProcesses("ping.exe").empty());
    }

    // Exactly at the limit, and leading blanks that do not count: both run,
    // and the command line is the whole 119 characters.
    for (const std::string& typed : {std::string(75, 'h'), "   " + std::string(75, 'k')}) {
        SCOPED_TRACE(typed);
        ASSERT_TRUE(TypeHost(typed));
        const std::string pane = RunToEnd();
        const std::string host = typed.substr(typed.find_first_not_of(' '));
        EXPECT_EQ(std::string(kHeader) + "\r\n" + StandInCommandLine("-w 10000 -n 25 -l 32739 " + host) + "\r\n" +
                      kEndOfData,
                  MaskHeaders(pane))
            << Visible(pane);
        EXPECT_FALSE(app().FindMessageBox());
    }
}

// ---------------------------------------------------------------- options

using PingOptionsTest = PingTest;

TEST_F(PingOptionsTest, RefusesBadValuesAndFocusesTheField) {
    ASSERT_TRUE(StartPing(std::nullopt));
    const PingOptionValues valid = {"4", "300", "0", "32"};
    struct Row {
        const char* name;
        PingOptionValues typed;
        int bad_field;          // 0 when the values are taken
        const char* refusal;
    };
    const char* const kInteger = "Please enter an integer.";
    const std::vector<Row> rows = {
        {"count not a number", {"abc", "300", "0", "32"}, kCountField, kInteger},
        {"count empty", {"", "300", "0", "32"}, kCountField, kInteger},
        {"count below", {"0", "300", "0", "32"}, kCountField, "Please enter an integer between 1 and 25."},
        {"count above", {"26", "300", "0", "32"}, kCountField, "Please enter an integer between 1 and 25."},
        {"count edges", {"1", "300", "0", "32"}, 0, nullptr},
        {"count edges", {"25", "300", "0", "32"}, 0, nullptr},
        {"timeout trailing letters", {"4", "12x", "0", "32"}, kTimeoutField, kInteger},
        {"timeout below", {"4", "9", "0", "32"}, kTimeoutField, "Please enter an integer between 10 and 10000."},
        {"timeout above", {"4", "10001", "0", "32"}, kTimeoutField, "Please enter an integer between 10 and 10000."},
        {"timeout edges", {"4", "10", "0", "32"}, 0, nullptr},
        {"timeout edges", {"4", "10000", "0", "32"}, 0, nullptr},
        {"repeat fraction", {"4", "300", "1.5", "32"}, kRepeatField, kInteger},
        {"repeat negative", {"4", "300", "-1", "32"}, kRepeatField, "Please enter an integer between 0 and 3600."},
        {"repeat above", {"4", "300", "3601", "32"}, kRepeatField, "Please enter an integer between 0 and 3600."},
        {"repeat edges", {"4", "300", "3600", "32"}, 0, nullptr},
        {"size beyond int", {"4", "300", "0", "99999999999"}, kPacketSizeField, kInteger},
        {"size negative", {"4", "300", "0", "-1"}, kPacketSizeField, "Please enter an integer between 0 and 32739."},
        {"size above", {"4", "300", "0", "32740"}, kPacketSizeField, "Please enter an integer between 0 and 32739."},
        {"size edges", {"4", "300", "0", "0"}, 0, nullptr},
        {"size edges", {"4", "300", "0", "32739"}, 0, nullptr},
        // Checked in order: the first bad field is the one reported.
        {"two bad fields", {"4", "300", "x", "-5"}, kRepeatField, kInteger},
    };
    PingOptionValues accepted = valid;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const HWND dialog = OpenOptions();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(accepted, ReadOptions(dialog)) << "the dialog shows the page's values";
        ASSERT_TRUE(FillOptions(dialog, row.typed));
        ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDOK)));
        if (row.bad_field == 0) {
            ASSERT_TRUE(app().WaitForWindowGone(dialog)) << "good values must close the dialog";
            accepted = row.typed;
            continue;
        }
        const auto text = app().AnswerMessageBox();
        ASSERT_TRUE(text.has_value()) << "no message box";
        EXPECT_EQ(row.refusal, *text);
        const HWND field = GetDlgItem(dialog, row.bad_field);
        EXPECT_TRUE(WaitUntil([&] { return app().FocusedWindow() == field; }, kWindowTimeoutMs))
            << "the focus is on id " << GetDlgCtrlID(app().FocusedWindow());
        EXPECT_TRUE(IsVisible(dialog)) << "a refused value keeps the dialog open";
        ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDCANCEL)));
        ASSERT_TRUE(app().WaitForWindowGone(dialog));
    }
    EXPECT_EQ(accepted, OptionsShown()) << "refused values never reach the page";
}

TEST_F(PingOptionsTest, DefaultsCancelAndHelp) {
    ASSERT_TRUE(StartPing(PingPlays("args\n")));
    const PingOptionValues changed = {"7", "1500", "0", "100"};
    ASSERT_TRUE(SetOptions(changed));

    // Defaults fills the fields; Cancel then keeps the values the page had.
    HWND dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(changed, ReadOptions(dialog));
    Click(GetDlgItem(dialog, kDefaults));
    EXPECT_EQ((PingOptionValues{"4", "300", "0", "32"}), ReadOptions(dialog));
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(app().WaitForWindowGone(dialog));
    EXPECT_EQ(changed, OptionsShown());

    // Cancel checks nothing: a bad value typed and cancelled is simply gone.
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SetText(GetDlgItem(dialog, kCountField), "abc"));
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(app().WaitForWindowGone(dialog));
    EXPECT_FALSE(app().FindMessageBox());
    EXPECT_EQ(changed, OptionsShown());

    // The next run uses the values.
    const std::string pane = RunToEnd();
    EXPECT_NE(std::string::npos, pane.find(StandInCommandLine("-w 1500 -n 7 -l 100 localhost"))) << Visible(pane);

    // Help opens the help window at the Ping page's topic.
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, kOptionsHelp)));
    const HWND help = app().WaitForWindow([](HWND hwnd) { return TextOf(hwnd) == "Tracewick Help"; });
    ASSERT_TRUE(help);
    const HWND text = GetDlgItem(help, 1000);
    const auto first_visible_line = [&] {
        const std::string whole = PaneText(text);
        const LRESULT line = SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0);
        const LRESULT start = SendMessageA(text, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        if (start < 0 || static_cast<std::size_t>(start) > whole.size()) return std::string();
        return whole.substr(static_cast<std::size_t>(start), whole.find("\r\n", static_cast<std::size_t>(start)) -
                                                                 static_cast<std::size_t>(start));
    };
    EXPECT_TRUE(WaitUntil([&] { return first_visible_line() == "Ping page"; }, kWindowTimeoutMs))
        << "first visible line: " << first_visible_line();
    EXPECT_TRUE(IsVisible(dialog));
}

// ---------------------------------------------------------------- repeat

using PingRepeatTest = PingTest;

TEST_F(PingRepeatTest, RepeatsAfterIntervalUntilCancelled) {
    ASSERT_TRUE(StartPing(PingPlays("out reply\n")));
    ASSERT_TRUE(SetOptions({"4", "300", "1", "32"}));
    Click(Control(kCumulative));
    ASSERT_TRUE(IsChecked(Control(kCumulative)));
    const std::string countdown = "\r\nPing repeats in 1 seconds";
    const std::string one_run = std::string(kHeader) + "\r\nreply\r\n" + kEndOfData + countdown;

    Run();
    ASSERT_TRUE(WaitPane(countdown));
    const ULONGLONG first_countdown = Now();
    EXPECT_FALSE(RunEnabled()) << "waiting to repeat";
    EXPECT_TRUE(CancelEnabled()) << "the repeat can be cancelled";
    // The second run, a second later, piles up under its own header.
    ASSERT_TRUE(WaitUntil([&] { return CountOf(Pane(), countdown) == 2; }, kRunTimeoutMs, app().process()));
    const ULONGLONG interval = Now() - first_countdown;
    EXPECT_GE(interval, 900u);
    EXPECT_LE(interval, 3000u);
    // Cancel while the second countdown runs.
    Cancel();
    EXPECT_TRUE(WaitUntil([&] { return RunEnabled(); }, kWindowTimeoutMs));
    EXPECT_FALSE(CancelEnabled());
    const std::string expected = one_run + "\r\n\r\n" + one_run + "\r\nRepeat Ping cancelled\r\n";
    EXPECT_EQ(expected, MaskHeaders(Pane())) << Visible(Pane());
    // No third run comes.
    const std::string settled = Pane();
    EXPECT_FALSE(WaitUntil([&] { return Pane() != settled; }, 1500, app().process()))
        << "a cancelled repeat ran: " << Visible(Pane());
}

TEST_F(PingRepeatTest, CancelDuringRepeatedRunAndRepeatSetToZero) {
    ASSERT_TRUE(StartPing(PingPlays("out reply\nsleep 1500\nout late\n")));
    ASSERT_TRUE(SetOptions({"4", "300", "1", "32"}));
    const std::string countdown = "\r\nPing repeats in 1 seconds";

    // Cumulative off: the repeat clears the pane for its run. Cancelled
    // while it prints, that run ends with the cancelled line and no repeat.
    Run();
    ASSERT_TRUE(WaitPane(countdown));
    ASSERT_TRUE(WaitUntil([&] { return Pane().find(countdown) == std::string::npos; }, kRunTimeoutMs,
                          app().process()))
        << "the repeat did not start";
    ASSERT_TRUE(WaitPane("reply"));
    Cancel();
    ASSERT_TRUE(WaitRunEnd());
    EXPECT_EQ(std::string(kHeader) + "\r\nreply\r\n" + kPingCancelled, MaskHeaders(Pane())) << Visible(Pane());
    const std::string settled = Pane();
    EXPECT_FALSE(WaitUntil([&] { return Pane() != settled; }, 1500, app().process()))
        << "a cancelled run repeated: " << Visible(Pane());

    // Repeat set to 0 during the countdown ends the waiting at once.
    ASSERT_TRUE(SetOptions({"4", "300", "5", "32"}));
    Run();
    ASSERT_TRUE(WaitPane("\r\nPing repeats in 5 seconds"));
    ASSERT_TRUE(SetOptions({"4", "300", "0", "32"}));
    // The page goes on with it once the dialog has gone.
    ASSERT_TRUE(WaitPane("Repeat Ping cancelled"));
    EXPECT_TRUE(WaitUntil([&] { return RunEnabled(); }, kWindowTimeoutMs));
    EXPECT_FALSE(CancelEnabled());
    EXPECT_EQ(std::string(kHeader) + "\r\nreply\r\nlate\r\n" + kEndOfData +
                  "\r\nPing repeats in 5 seconds\r\nRepeat Ping cancelled\r\n",
              MaskHeaders(Pane()))
        << Visible(Pane());
}

// ---------------------------------------------------------------- cancel

using PingCancelTest = PingTest;

TEST_F(PingCancelTest, CancelWhileCommandPrintsEndsItAtOnce) {
    ASSERT_TRUE(StartPing(PingPlays("out first\nsleep 10000\nout never\n")));
    Run();
    ASSERT_TRUE(WaitPane("first"));
    ASSERT_FALSE(app().BinProcesses("ping.exe").empty());
    const ULONGLONG cancelled = Now();
    Cancel();
    // Run comes back only with the end line, which may already be in.
    EXPECT_FALSE(CancelEnabled()) << "Cancel is pressed once";
    ASSERT_TRUE(WaitRunEnd());
    EXPECT_LT(Now() - cancelled, 2500u) << "the spawner obeys: no need for the time-out";
    EXPECT_EQ(std::string(kHeader) + "\r\nfirst\r\n" + kPingCancelled, MaskHeaders(Pane())) << Visible(Pane());
    EXPECT_TRUE(WaitUntil([&] { return app().BinProcesses("ping.exe").empty(); }, 3000))
        << "the command must end with the run";
}

TEST_F(PingCancelTest, CancelRightAfterRunEndsEachRunOnce) {
    ASSERT_TRUE(StartPing(PingPlays("out hello\nsleep 8000\n")));
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 50; ++i) {
        SCOPED_TRACE("run " + std::to_string(i));
        Run();
        // Staggered by 0 to 4 ms, to meet the spawner before, while and
        // after it starts.
        LARGE_INTEGER start{}, now{};
        QueryPerformanceCounter(&start);
        const LONGLONG wait = frequency.QuadPart * (i % 5) / 1000;
        do QueryPerformanceCounter(&now);
        while (now.QuadPart - start.QuadPart < wait);
        Cancel();
        ASSERT_TRUE(WaitRunEnd(6000)) << Visible(Pane());
        const std::string pane = Pane();
        EXPECT_TRUE(EndsWith(pane, kPingCancelled)) << Visible(pane);
        EXPECT_EQ(1u, CountOf(pane, kPingCancelled)) << Visible(pane);
        EXPECT_EQ(0u, CountOf(pane, "End of Data")) << Visible(pane);
        EXPECT_FALSE(CancelEnabled());
        if (HasFailure()) break;
    }
    // A late time-out or a late end line of any of those runs would show now.
    const std::string settled = Pane();
    EXPECT_FALSE(WaitUntil([&] { return Pane() != settled || !RunEnabled(); }, 3500, app().process()))
        << Visible(Pane());
    EXPECT_TRUE(WaitUntil([&] { return app().BinProcesses("ping.exe").empty(); }, 3000))
        << "cancelled commands must not survive";
}

TEST_F(PingCancelTest, SpawnerIgnoringStopRequestTimesOut) {
    BinFolder bin;
    bin.spawner = Spawner::kStandIn;
    bin.spawner_script = "out started\nsleep 30000\n";
    ASSERT_TRUE(StartPing(bin));
    Run();
    ASSERT_TRUE(WaitPane("started"));
    const ULONGLONG cancelled = Now();
    Cancel();
    ASSERT_TRUE(WaitRunEnd(8000));
    const ULONGLONG took = Now() - cancelled;
    EXPECT_GE(took, 2500u);
    EXPECT_LE(took, 6000u);
    EXPECT_EQ(std::string(kHeader) + "\r\nstarted\r\n" + kPingCancelled, MaskHeaders(Pane())) << Visible(Pane());
    EXPECT_FALSE(CancelEnabled());
}

// ---------------------------------------------------------------- the pane

using PingPaneTest = PingTest;

TEST_F(PingPaneTest, CumulativeKeepsEarlierRunsAfterBlankLine) {
    // Cumulative saved as on: the first run's header still starts the pane.
    ASSERT_TRUE(StartPing(PingPlays("out reply\n"), {{"ping.dat", PingFile(4, 300, 0, 32, true), FILE_ATTRIBUTE_HIDDEN}}));
    ASSERT_TRUE(IsChecked(Control(kCumulative)));
    const std::string one_run = std::string(kHeader) + "\r\nreply\r\n" + kEndOfData;

    EXPECT_EQ(one_run, MaskHeaders(RunToEnd()));
    EXPECT_EQ(one_run + "\r\n\r\n" + one_run, MaskHeaders(RunToEnd()));
    Click(Control(kCumulative));
    ASSERT_FALSE(IsChecked(Control(kCumulative)));
    EXPECT_EQ(one_run, MaskHeaders(RunToEnd())) << "off: each run starts an empty pane";
    EXPECT_EQ(one_run, MaskHeaders(RunToEnd()));
    Click(Control(kCumulative));
    EXPECT_EQ(one_run + "\r\n\r\n" + one_run, MaskHeaders(RunToEnd()));
}

TEST_F(PingPaneTest, NulDropsRestOfChunkAndCrCrLfIsOneLineEnd) {
    // Pauses between the writes keep each in a chunk of its own.
    ASSERT_TRUE(StartPing(PingPlays("raw abc\\0hidden\\r\\n\n"
                                    "sleep 300\n"
                                    "out next\n"
                                    "raw one\\r\\r\\ntwo\\r\\r\\n\n"
                                    "sleep 300\n"
                                    "raw split\\r\n"
                                    "sleep 300\n"
                                    "raw \\r\\nacross\\r\n"
                                    "sleep 300\n"
                                    "raw \\nchunks\\r\\n\n")));
    const std::string pane = RunToEnd();
    EXPECT_EQ(std::string(kHeader) + "\r\nabcnext\r\none\r\ntwo\r\nsplit\r\nacross\r\nchunks\r\n" + kEndOfData,
              MaskHeaders(pane))
        << Visible(pane);
}

TEST_F(PingPaneTest, OutputEndingInCarriageReturnMeetsEndLine) {
    // The CR held back for a line feed meets the end line's CR LF: together
    // they are one line end, as anywhere else in the output.
    ASSERT_TRUE(StartPing(PingPlays("raw last line\\r\n")));
    const std::string pane = RunToEnd();
    EXPECT_EQ(std::string(kHeader) + "\r\nlast line" + kEndOfData, MaskHeaders(pane)) << Visible(pane);
    EXPECT_EQ(std::string::npos, pane.find("\r\r\n")) << Visible(pane);
}

TEST_F(PingPaneTest, TwoMegabytesArriveWhole) {
    constexpr std::size_t kLength = 2097152;
    ASSERT_TRUE(StartPing(PingPlays("bulk " + std::to_string(kLength) + "\n")));
    const ULONGLONG started = Now();
    Run();
    // Generous: under Wine the pane takes tens of seconds per megabyte.
    ASSERT_TRUE(WaitRunEnd(240000));
    std::printf("[ timing   ] 2 MB through the pane in %llu ms\n", Now() - started);
    const std::string pane = Pane();
    std::vector<std::string> headers;
    MaskHeaders(pane.substr(0, 64), &headers);
    ASSERT_EQ(1u, headers.size()) << Visible(pane.substr(0, 64));
    const std::string expected = headers[0] + "\r\n" + fake::BulkText(kLength) + kEndOfData;
    ASSERT_EQ(expected.size(), pane.size());
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), pane.begin());
    EXPECT_TRUE(mismatch.first == expected.end())
        << "first difference at byte " << (mismatch.first - expected.begin()) << ": expected \""
        << Visible(std::string(mismatch.first, mismatch.first + std::min<std::ptrdiff_t>(40, expected.end() - mismatch.first)))
        << "\"";
}

// ---------------------------------------------------------------- failures

using PingFailureTest = PingTest;

TEST_F(PingFailureTest, MissingSpawnerIsSaidInPane) {
    BinFolder bin;
    bin.spawner = Spawner::kMissing;
    ASSERT_TRUE(StartPing(bin));
    const std::string pane = RunToEnd();
    const auto reason = ReasonLine(MaskHeaders(pane), std::string(kHeader) + "\r\nTracewick could not start conspawn.exe");
    ASSERT_TRUE(reason.has_value()) << Visible(pane);
    EXPECT_GT(reason->size(), 2u) << "the reason is given";
    EXPECT_FALSE(CancelEnabled());
    EXPECT_FALSE(app().FindMessageBox()) << "said in the pane, not in a box";
}

TEST_F(PingFailureTest, CommandThatCannotStartIsSaidInPane) {
    // Wine ships a ping of its own, which a missing stand-in would let run:
    // a ping.exe that is no program stands for a command that cannot start.
    BinFolder bin;
    bin.files = {{"ping.exe", "this is not a program\r\n"}};
    ASSERT_TRUE(StartPing(bin));
    const std::string pane = RunToEnd();
    const auto reason = ReasonLine(MaskHeaders(pane), std::string(kHeader) + "\r\nconspawn: cannot start \"ping\"");
    ASSERT_TRUE(reason.has_value()) << Visible(pane);
    EXPECT_GT(reason->size(), 2u) << "the reason is given";
    EXPECT_FALSE(CancelEnabled());
}

// ---------------------------------------------------------------- settings

using PingSettingsTest = PingTest;

TEST_F(PingSettingsTest, SavedOnLeavingAndReadAtNextStart) {
    enum class Way { Exit, Close };
    struct Row {
        const char* name;
        Way way;
        bool change;
        bool leave_on_about;
    };
    const std::vector<Row> rows = {
        {"defaults, Exit", Way::Exit, false, false},
        {"changed, Exit", Way::Exit, true, false},
        {"changed, Close on the About page", Way::Close, true, true},
    };
    const PingOptionValues changed = {"7", "1500", "12", "100"};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(StartPing(std::nullopt));
        if (row.change) {
            ASSERT_TRUE(SetOptions(changed));
            Click(Control(kCumulative));
        }
        if (row.leave_on_about) {
            ASSERT_TRUE(sheet_.SelectPosition(sheet_.PositionOfLogical(kAboutLogicalIndex)));
        }
        if (row.way == Way::Exit) {
            ASSERT_TRUE(PostClick(sheet_.Button(kExitButtonId)));
        } else {
            ASSERT_TRUE(PostSysCommand(sheet_.hwnd(), SC_CLOSE));
        }
        DWORD code = 1;
        ASSERT_TRUE(app().WaitForExit(kExitTimeoutMs, &code));
        EXPECT_EQ(0u, code);

        const auto ping = app().ReadFile("ping.dat");
        ASSERT_TRUE(ping.has_value());
        const std::string expected = row.change ? PingFile(7, 1500, 12, 100, true) : PingFile(4, 300, 0, 32, false);
        EXPECT_EQ(expected, ping->bytes) << Visible(ping->bytes);
        if (!row.change) {
            EXPECT_EQ(27u, ping->bytes.size());
        }
        EXPECT_TRUE(ping->hidden());
        const auto active = app().ReadFile("actpage.dat");
        ASSERT_TRUE(active.has_value());
        EXPECT_EQ(SettingsLine(row.leave_on_about ? "8" : "0"), active->bytes);
        EXPECT_TRUE(active->hidden());
        EXPECT_FALSE(app().ReadFile("ping.dat.new").has_value()) << "no temporary may stay behind";
        EXPECT_FALSE(app().ReadFile("actpage.dat.new").has_value());

        std::string error;
        ASSERT_TRUE(app().Restart({"x"}, &error)) << error;
        sheet_ = Sheet(app().WaitForSheet());
        ASSERT_TRUE(sheet_);
        EXPECT_EQ(row.leave_on_about ? "About" : "Ping", sheet_.ActiveTabCaption());
        ASSERT_TRUE(FindPage());
        const PingOptionValues defaults = {"4", "300", "0", "32"};
        EXPECT_EQ(row.change ? changed : defaults, OptionsShown());
        EXPECT_EQ(row.change, IsChecked(Control(kCumulative)));
        app().Kill();
    }
}

TEST_F(PingSettingsTest, ReadOnlyFileIsStillReplaced) {
    ASSERT_TRUE(StartPing(std::nullopt, {{"ping.dat", PingFile(9, 400, 0, 64, false),
                                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN}}));
    EXPECT_EQ((PingOptionValues{"9", "400", "0", "64"}), OptionsShown());
    ASSERT_TRUE(SetOptions({"5", "400", "0", "64"}));
    ASSERT_TRUE(PostClick(sheet_.Button(kExitButtonId)));
    DWORD code = 1;
    ASSERT_TRUE(app().WaitForExit(kExitTimeoutMs, &code)) << "a read-only file must not keep the sheet open";
    EXPECT_EQ(0u, code);
    const auto ping = app().ReadFile("ping.dat");
    ASSERT_TRUE(ping.has_value());
    EXPECT_EQ(PingFile(5, 400, 0, 64, false), ping->bytes) << Visible(ping->bytes);
    EXPECT_TRUE(ping->hidden());
    EXPECT_FALSE(ping->attributes & FILE_ATTRIBUTE_READONLY);
}

TEST_F(PingSettingsTest, BlockedTemporaryKeepsOldFileAndStillCloses) {
    const std::string old = PingFile(9, 400, 0, 64, false);
    ASSERT_TRUE(StartPing(std::nullopt, {{"ping.dat", old, FILE_ATTRIBUTE_HIDDEN},
                                         {"ping.dat.new", "", 0, true}}));
    ASSERT_TRUE(SetOptions({"5", "400", "0", "64"}));
    ASSERT_TRUE(PostClick(sheet_.Button(kExitButtonId)));
    DWORD code = 1;
    ASSERT_TRUE(app().WaitForExit(kExitTimeoutMs, &code)) << "the sheet must close all the same";
    EXPECT_EQ(0u, code);
    const auto ping = app().ReadFile("ping.dat");
    ASSERT_TRUE(ping.has_value()) << "the old file must be kept";
    EXPECT_EQ(old, ping->bytes) << Visible(ping->bytes);
    // The other files are still written.
    const auto active = app().ReadFile("actpage.dat");
    ASSERT_TRUE(active.has_value());
    EXPECT_EQ(SettingsLine("0"), active->bytes);
}

// ---------------------------------------------------------------- the host list

using PingHostListTest = PingTest;

TEST_F(PingHostListTest, RunAndCloseCommitTypedHost) {
    ASSERT_TRUE(StartPing(PingPlays("out ok\n")));
    const HWND combo = Control(kHostCombo);
    EXPECT_EQ((std::vector<std::string>{"localhost"}), ComboItems(combo));

    ASSERT_TRUE(TypeHost("zulu.test"));
    RunToEnd();
    EXPECT_EQ((std::vector<std::string>{"localhost", "zulu.test"}), ComboItems(combo));
    // Listed already, ignoring case: nothing is added.
    ASSERT_TRUE(TypeHost("LocalHost"));
    RunToEnd();
    EXPECT_EQ((std::vector<std::string>{"localhost", "zulu.test"}), ComboItems(combo));

    // Typed and left with Close, without the field ever losing the focus.
    ASSERT_TRUE(TypeHost("  Alpha.test"));
    const auto items = CloseAndReadCombo(sheet_.hwnd(), combo);
    ASSERT_TRUE(items.has_value()) << "the probe did not answer";
    EXPECT_EQ((std::vector<std::string>{"Alpha.test", "localhost", "zulu.test"}), *items);
    DWORD code = 1;
    EXPECT_TRUE(app().WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
}

}  // namespace
}  // namespace tracewick::ui
