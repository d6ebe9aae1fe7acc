// The program's shell: splash, start page, the sheet's buttons and system
// menu, the help window, and the Modify Host List dialog. Also the driver's
// entry point.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "tests/ui/program_test.h"

namespace tracewick::ui {
namespace {

// The splash: the program's captioned dialog with the start-up pictures.
bool IsSplash(HWND hwnd) { return !IsSheet(hwnd) && GetDlgItem(hwnd, IDC_PICTURE16) && TextOf(hwnd) == "Tracewick"; }

// Without a letter (a switch is none) the splash comes first: OK closes it
// at once, and left alone it closes itself after five seconds.
TEST_F(ProgramTest, SplashOnlyWithoutALetter) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"/x"}, {"x"}, {"/s", "x"}}) {
        SCOPED_TRACE(args.empty() ? "no arguments: left alone" : args.back());
        ASSERT_TRUE(Start({args}, false));
        const HWND first = app_->WaitFor([](HWND hwnd) { return ClassOf(hwnd) == "#32770"; });
        const ULONGLONG shown = GetTickCount64();
        if (args.empty() || args.back() != "x") {
            ASSERT_EQ(app_->Find(IsSplash), first) << "the splash comes first";
            EXPECT_FALSE(app_->Find(IsSheet)) << "the sheet waits for the splash";
            const ULONGLONG clicked = GetTickCount64();
            ASSERT_TRUE((args.empty() || Click(GetDlgItem(first, IDOK))) && app_->WaitGone(first));
            const ULONGLONG took = GetTickCount64() - (args.empty() ? shown : clicked);
            EXPECT_TRUE(args.empty() ? took >= 4500 && took <= 7000 : took < 1000) << took << " ms";
        }
        EXPECT_TRUE(app_->WaitForSheet());
        EXPECT_FALSE(app_->Find(IsSplash));
    }
}

TEST_F(ProgramTest, ActivePageFileChoosesStartPage) {
    // Numbers that name no page, or not the way the program writes them, open the first page.
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"8", "About"}, {"1", "Trace Route"}, {"2", "Lookup"}, {"0", "Ping"}, {"7", "Statistics"},
        {"9", "Ping"},  {"-8", "Ping"},       {"About", "Ping"}, {"", "Ping"}};
    for (const auto& [line, caption] : rows) {
        SCOPED_TRACE("actpage.dat: " + line);
        ASSERT_TRUE(Start({{"x"}, {{"actpage.dat", line.empty() ? "" : SettingsLines({line}), FILE_ATTRIBUTE_HIDDEN}}}));
        EXPECT_EQ(caption, TextOf(ActivePage(sheet_)));
    }
}

TEST_F(ProgramTest, OnlyHelpAndExitShowAndAboutComesFromSystemMenu) {
    ASSERT_TRUE(Start({{"x"}}));
    std::vector<std::string> shown;
    for (HWND button : Children(sheet_, "Button"))
        if (GetParent(button) == sheet_ && IsWindowVisible(button)) shown.push_back(TextOf(button));
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ((std::vector<std::string>{"Exit", "Help"}), shown);
    // No Size and no Maximize in the system menu, Minimize there.
    const LONG_PTR style = GetWindowLongPtrA(sheet_, GWL_STYLE);
    EXPECT_EQ(WS_MINIMIZEBOX, style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));

    // Wine keeps a menu inside its process; its About item is checked by what it does.
    ASSERT_TRUE(PostMessageA(sheet_, WM_SYSCOMMAND, IDM_ABOUTBOX, 0));
    const HWND box = app_->WaitForDialog("About Tracewick");
    ASSERT_TRUE(box);
    EXPECT_EQ(sheet_, GetWindow(box, GW_OWNER));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(sheet_); })) << "the about box is modal";
    ASSERT_TRUE(Click(GetDlgItem(box, IDOK)) && app_->WaitGone(box));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(sheet_) != FALSE; }));
    EXPECT_EQ("Ping", TextOf(ActivePage(sheet_)));
}

TEST_F(ProgramTest, HelpOpensAtActivePageTopicAndClosesWithSheet) {
    ASSERT_TRUE(Start({{"x"}}));
    // Opened first from an options dialog, it still belongs to the sheet.
    const HWND options = Open(GetDlgItem(Page("Ping"), IDC_PING_OPTIONS), "Ping Options");
    HWND help = Open(GetDlgItem(options, IDC_PING_HELP), "Tracewick Help");
    ASSERT_TRUE(options && help);
    EXPECT_EQ(sheet_, GetWindow(help, GW_OWNER));
    ASSERT_TRUE(Press(options, IDCANCEL));
    for (const std::string page : {"Ping", "Trace Route", "Lookup", "About"}) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(Show(page));
        help = Open(GetDlgItem(sheet_, IDC_SHEET_HELP), "Tracewick Help");
        ASSERT_TRUE(help);
        const HWND text = GetDlgItem(help, IDC_HELP_TEXT);
        const auto first_line = [&] {
            const std::string whole = TextOf(text);
            const auto start = static_cast<std::size_t>(Send(text, EM_LINEINDEX, Send(text, EM_GETFIRSTVISIBLELINE)));
            return start < whole.size() ? whole.substr(start, whole.find("\r\n", start) - start) : std::string();
        };
        EXPECT_TRUE(WaitUntil([&] { return first_line() == page + " page"; })) << first_line();
    }
    EXPECT_EQ(help, app_->WaitForDialog("Tracewick Help")) << "one help window, reused";
    Leave("exit");
    EXPECT_FALSE(IsWindow(help));
}

// The screen's dots per inch for the programs started while it lasts.
struct ScreenDpi {
    explicit ScreenDpi(DWORD dpi) { Set(dpi); }
    ~ScreenDpi() { Set(96); }
    static void Set(DWORD dpi) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
};

// Whole labels and a fixed-pitch pane whose text grows with the screen.
TEST_F(ProgramTest, LabelsFitAndThePaneIsFixedPitchAtEveryDpi) {
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        const ScreenDpi screen(static_cast<DWORD>(dpi));
        ASSERT_TRUE(Start({{"p"}, {}, "", BinFolder{Spawner::kReal, "", {{"ping", "out iiiiiiii\nout WWWWWWWW\n"}}}}));
        const HWND page = Page("Ping");
        ASSERT_TRUE(Wait([&] { return CountOf(TextOf(GetDlgItem(page, IDC_PANE)), "End of Data") > 0; }));
        const HWND pane = GetDlgItem(page, IDC_PANE);  // the run's own pane window
        // The dialog font as the program gets it: 8 points of MS Sans Serif.
        const UniqueDC dc(nullptr);
        const UniqueFont font(CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif"));
        const HGDIOBJ previous = SelectObject(dc.Get(), font.Get());
        char face[LF_FACESIZE] = {};
        GetTextFaceA(dc.Get(), sizeof face, face);
        EXPECT_STREQ("MS Sans Serif", face);
        for (HWND label : Children(page, "Static")) {
            const std::string text = TextOf(label);
            SIZE size{};
            RECT room{};
            GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
            GetClientRect(label, &room);
            EXPECT_LE(size.cx, room.right) << "\"" << text << "\" is cut";
        }
        SelectObject(dc.Get(), previous);
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        ASSERT_TRUE(SendPointer(pane, EM_GETCHARFORMAT, {SCF_DEFAULT}, At(0), &format, sizeof format));
        EXPECT_EQ(FIXED_PITCH, format.bPitchAndFamily & 3);
        EXPECT_EQ(MulDiv(10, dpi, 96), MulDiv(format.yHeight, dpi, 1440)) << "character height in pixels";
        // As drawn: the eighth i stands above the eighth W, a line lower by at least the height asked.
        POINTL i{}, w{};
        ASSERT_TRUE(SendPointer(pane, EM_POSFROMCHAR, At(0), {Send(pane, EM_LINEINDEX, 1) + 8}, &i, sizeof i) &&
                    SendPointer(pane, EM_POSFROMCHAR, At(0), {Send(pane, EM_LINEINDEX, 2) + 8}, &w, sizeof w));
        EXPECT_EQ(i.x, w.x) << "not fixed-pitch";
        EXPECT_GE(w.y - i.y, MulDiv(10, dpi, 96));
        Leave("exit");
    }
}

// As a scheduled task runs it: each first run is appended to the log and the program leaves by itself with the
// run's exit code, saving as always; a refused host, a log that cannot be written or a failed save end it with 1.
TEST_F(ProgramTest, UnattendedRunsAppendToTheLogAndEndWithTheirExitCode) {
    // The stand-in ping's script; again: in the folders the session before left; the log with headers masked.
    struct Row { const char* name; std::vector<std::string> args; const char* script; bool again;
                 std::vector<SeedFile> files; DWORD code; std::string log; };
    // A new log starts with the byte order mark of UTF-8.
    const std::string reply = "\xEF\xBB\xBF<header>\r\nreply\r\n\r\n\r\nEnd of Data\r\n";
    const std::string lost = "<header>\r\nlost\r\n\r\n\r\nEnd of Data\r\n";
    const Row rows[] = {
        {"answered", {"p", "/log:ping.log", "/exit"}, "out reply\n", false, {}, 0, reply},
        {"not answered, appended", {"-EXIT", "P", "-Log:ping.log"}, "out lost\nexit 1\n", true, {}, 1, reply + lost},
        {"a repeat interval set", {"p", "/log:ping.log", "/exit"}, "out reply\n", false,
         {{"ping.dat", SettingsLines({"4", "300", "1", "32", "FALSE"})}}, 0, reply},
        {"a refused host", {"p", "/exit", "/log:ping.log"}, "out reply\n", false,
         {{"lookup.dat", SettingsLines({"FALSE", "local\"host", "localhost"})}}, 1,
         "\xEF\xBB\xBF<header>\r\nThe host name cannot contain a double quote (\").\r\n"},
        {"a log that cannot be written", {"p", "/log:ping.log", "/exit"}, "out reply\n", false,
         {{"ping.log", "", 0, SeedFile::kFolder}}, 1, ""},
        {"a failed save", {"p", "/log:ping.log", "/exit"}, "out reply\n", false, {{"ping.dat", "", 0, SeedFile::kFolder}},
         1, reply + "<header>\r\nTracewick could not save its settings to ping.dat. The previous settings in that file "
                    "are kept.\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        if (!row.again) {
            ASSERT_TRUE(Start({row.args, row.files, "", BinFolder{Spawner::kReal, "", {{"ping", row.script}}}}, false));
        } else {
            ASSERT_TRUE((std::ofstream(app_->bin_dir() + "\\ping.script", std::ios::binary) << row.script).good());
            ASSERT_TRUE(app_->Restart(row.args, &error)) << error;
        }
        ASSERT_EQ(row.code, ExitCode()) << "it waits for someone when " << kNoExit;
        ExpectText(row.log, MaskHeaders(Bytes("ping.log")));
        EXPECT_EQ("0\r\r\n", Bytes("actpage.dat"));
    }
}

// The log of a session that watches a host: every run, a line for each
// change of state and a summary at Exit.
TEST_F(ProgramTest, AWatchedHostsLogHoldsEveryRunAndItsOutages) {
    const std::string answer = "Reply from 10.0.0.1: bytes=32 time<1ms TTL=64";
    struct Row { const char* name; std::string script; int runs; bool outage; };
    const Row rows[] = {
        {"three runs that answer", "out " + answer + "\n", 3, false},
        {"two runs lost between answers", "when 1,4 out " + answer + "\nwhen 2,3 out Request timed out.\nwhen 2,3 exit 1\n",
         4, true},
        {"the same in German", "when 1,4 out Antwort von 10.0.0.1: Bytes=32 Zeit<1ms TTL=64\nwhen 2,3 out Zeit\\x81berschreitung "
         "der Anforderung.\nwhen 2,3 exit 1\n", 4, true},
        {"a router's unreachable with code 0 is no answer", "when 1,4 out " + answer +
         "\nwhen 2,3 out Reply from 10.0.0.254: Destination host unreachable.\n", 4, true},
    };
    // A change of state is a line under a time stamp of its own.
    const std::regex change("day, [A-Za-z]+ [0-9]{2}, [0-9]{4} at ([0-9]{2}):([0-9]{2}):([0-9]{2})\r\n(The host[^\r]*)");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Start({{"p", "/log:gw.log"}, {{"ping.dat", SettingsLines({"1", "300", "1", "32", "FALSE"})}}, "",
                           BinFolder{Spawner::kReal, "", {{"ping", row.script}}}}));
        const auto log = [&] { return Bytes("gw.log"); };
        ASSERT_TRUE(Wait([&] { return CountOf(log(), "End of Data") >= static_cast<std::size_t>(row.runs); }, 20000))
            << Visible(log());
        Leave("exit");
        const std::string text = log();
        EXPECT_EQ(static_cast<std::size_t>(row.runs), CountOf(text, "End of Data")) << Visible(text);
        std::vector<std::pair<int, std::string>> changes;  // when, what
        for (std::sregex_iterator it(text.begin(), text.end(), change), end; it != end; ++it)
            changes.emplace_back(std::stoi((*it)[1]) * 3600 + std::stoi((*it)[2]) * 60 + std::stoi((*it)[3]), (*it)[4]);
        ASSERT_EQ(row.outage ? 2u : 0u, changes.size()) << Visible(text);
        if (row.outage) {
            const int length = changes[1].first - changes[0].first;
            EXPECT_EQ("The host stopped answering.", changes[0].second);
            EXPECT_EQ("The host answers again after 0 hours, 0 minutes and " + std::to_string(length) + " second" +
                          (length == 1 ? "" : "s") + ".", changes[1].second);
        }
        EXPECT_TRUE(std::regex_search(text, std::regex("\r\nSession from [^\r]+: " + std::to_string(row.runs) + " runs, " +
                                                       std::to_string(row.runs - (row.outage ? 2 : 0)) + " answered, " +
                                                       (row.outage ? "1 outage" : "0 outages") + " lasting [^\r]+\\.\r\n$")))
            << Visible(text);
    }
}

// Two sessions watching into one log keep each other's entries.
TEST_F(ProgramTest, TwoSessionsAppendToOneLog) {
    const LaunchOptions watching{{"p", "/log:shared.log"}, {{"ping.dat", SettingsLines({"1", "300", "1", "32", "FALSE"})}}, "",
                                 BinFolder{Spawner::kReal, "", {{"ping", "out Reply from 10.0.0.1: bytes=32 time<1ms TTL=64\n"}}}};
    ASSERT_TRUE(Start(watching));  // its folder holds the shared log
    LaunchOptions other = watching;
    other.args[1] = "/log:" + app_->work_dir() + "\\shared.log";
    AppProcess second;
    std::string error;
    ASSERT_TRUE(second.Start(other, &error)) << error;
    const auto text = [&] { return Bytes("shared.log"); };
    ASSERT_TRUE(Wait([&] { return CountOf(text(), "End of Data") >= 6; }, 20000)) << Visible(text());
    const HWND sheet = second.WaitForSheet();
    DWORD code = 1;
    ASSERT_TRUE(sheet && PostClick(GetDlgItem(sheet, IDCANCEL)) && second.WaitForExit(kWaitMs, &code));
    EXPECT_EQ(0u, code);
    Leave("exit");
    const std::string all = text();
    EXPECT_EQ(2u, CountOf(all, "\r\nSession from ")) << Visible(all);
    EXPECT_EQ(CountOf(all, "\r\nReply from"), CountOf(all, "End of Data")) << "every run whole";
    EXPECT_EQ(CountOf(all, " runs, "), 2u);
}

// One command for a report: every page that needs nothing typed runs once,
// in tab order, into the report; the program then leaves with the code of
// the first page that did not end with 0.
TEST_F(ProgramTest, AReportRunsEveryPageOnceAndLeaves) {
    const char* kCommands[] = {"ping", "tracert", "lookup", "route", "arp", "net", "nbtstat", "netstat"};
    struct Row { const char* name; std::vector<std::pair<std::string, std::string>> scripts; DWORD code; const char* last; };
    const Row rows[] = {
        {"every page ends with 0", {}, 0, "==== Every page ended with code 0. ===="},
        {"Trace Route fails, the rest still run", {{"tracert", "out hop\nexit 3\n"}, {"arp", "exit 5\n"}}, 3,
         "==== Trace Route was the first page that did not end with code 0: it ended with 3. ===="},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BinFolder bin;
        for (const char* command : kCommands) bin.commands.emplace_back(command, std::string("out ") + command + " ran\n");
        for (const auto& script : row.scripts)
            std::find_if(bin.commands.begin(), bin.commands.end(), [&](auto& c) { return c.first == script.first; })->second =
                script.second;
        // A repeat interval does not apply to a report.
        ASSERT_TRUE(Start({{"/report:report.txt"}, {{"ping.dat", SettingsLines({"4", "300", "1", "32", "FALSE"})}}, "", bin},
                          false));
        ASSERT_EQ(row.code, ExitCode(30000)) << "the report did not end when " << kNoExit;
        const std::string report = MaskHeaders(Bytes("report.txt"));
        std::string pattern = "\xEF\xBB\xBF";  // each section in tab order, the pages that print a line with it
        for (const char* section : {"Ping ====\r\n<header>\r\nping ran", "Trace Route ====\r\n<header>",
                                    "Lookup ====\r\n<header>\r\nlookup ran", "Routes ====\r\n<header>", "ARP ====\r\n<header>",
                                    "NetBIOS ====\r\n<header>\r\nnet ran", "Connections ====\r\n<header>\r\nnetstat ran",
                                    "Statistics ====\r\n<header>"})
            pattern += std::string("==== ") + section + "\r\n[^=]*";
        EXPECT_TRUE(std::regex_match(report, std::regex(pattern + row.last + "\r\n"))) << Visible(report);
        EXPECT_EQ(1u, CountOf(report, "ping ran")) << "the report runs Ping once";
        EXPECT_EQ(SettingsLines({"4", "300", "1", "32", "FALSE"}), Bytes("ping.dat"));
    }
}

// A page the user never opens still runs on what its file says and saves it
// back unchanged: Statistics reads Connections' By Name / By Number, and
// Exit writes ARP's and Connections' choices, both sides of each.
TEST_F(ProgramTest, PagesNeverOpenedKeepTheirSettings) {
    struct Row { const char* connections_by_name; const char* arp_by_destination; const char* options; };
    for (const Row& row : {Row{"FALSE", "TRUE", "-e -n"}, Row{"TRUE", "FALSE", "-e"}}) {
        SCOPED_TRACE(std::string("by name ") + row.connections_by_name + ", by destination " + row.arp_by_destination);
        const std::vector<SeedFile> files = {
            {"connect.dat", SettingsLines({row.connections_by_name, "FALSE", "TRUE", "TRUE", "TRUE"}), FILE_ATTRIBUTE_HIDDEN},
            {"arp.dat", SettingsLines({row.arp_by_destination, "10.1.1.1", "TRUE"}), FILE_ATTRIBUTE_HIDDEN},
            {"routes.dat", SettingsLines({"10.2.0.0", "TRUE"}), FILE_ATTRIBUTE_HIDDEN},
            {"netbios.dat", SettingsLines({"SRV", "TRUE", "TRUE", "TRUE", "TRUE"}), FILE_ATTRIBUTE_HIDDEN}};
        ASSERT_TRUE(Start({{"s", "/log:stats.log", "/exit"}, files, "", BinFolder{Spawner::kReal, "", {{"netstat", "args\n"}}}},
                          false));
        ASSERT_EQ(0u, ExitCode());
        const std::string log = Bytes("stats.log");
        EXPECT_NE(std::string::npos, log.find(std::string("netstat.exe\" ") + row.options + "\r\n")) << Visible(log);
        for (const SeedFile& file : files) ExpectText(file.bytes, Bytes(file.name));
    }
}

TEST_F(ProgramTest, HostListDialogDeletesMoreThan500SelectedEntries) {
    std::vector<std::string> hosts, file = {"FALSE", "host100"};
    for (int i = 100; i < 700; ++i) hosts.push_back("host" + std::to_string(i));
    const std::vector<std::string> kept(hosts.begin() + 550, hosts.end());
    file.insert(file.end(), hosts.begin(), hosts.end());
    ASSERT_TRUE(Start({{"x"}, {{"lookup.dat", SettingsLines(file), FILE_ATTRIBUTE_HIDDEN}}}));
    // Delete then Cancel changes nothing; Delete then OK empties the fields too.
    for (const int button : {IDCANCEL, IDOK}) {
        const HWND dialog = Open(GetDlgItem(Page("Ping"), IDC_VIEW_LIST), "Modify Host List");
        const HWND list = GetDlgItem(dialog, IDC_HOST_LIST);
        ASSERT_EQ(hosts, Items(list));
        EXPECT_FALSE(IsEnabled(GetDlgItem(dialog, IDC_HOST_DELETE))) << "nothing selected yet";
        Send(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 549));
        Send(dialog, WM_COMMAND, MAKEWPARAM(IDC_HOST_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDC_HOST_DELETE)));
        EXPECT_TRUE(Wait([&] { return Send(list, LB_GETCOUNT) == 50; }, 3 * kWaitMs));
        EXPECT_EQ(kept, Items(list));
        ASSERT_TRUE(Press(dialog, button));
    }
    for (const char* page : {"Ping", "Trace Route", "Lookup"}) {
        const HWND combo = Child(Page(page), "ComboBox");
        EXPECT_EQ(kept, Items(combo)) << page;
        EXPECT_EQ("", TextOf(combo)) << page;
    }
    Leave("escape");
    const std::string saved = Bytes("lookup.dat");
    ExpectText(SettingsLines(kept), saved.substr(std::min(saved.size(), saved.find("\r\r\n", 7) + 3)));
}

}  // namespace
}  // namespace tracewick::ui

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tracewick::ui::InstallFailureListener();
    return RUN_ALL_TESTS();
}
