// UI tests of the three pages that take a host (Ping, Trace Route, Lookup):
// the shared host list and current host, the Modify Host List dialog,
// lookup.dat across sessions, Trace Route runs against the stand-in with its
// options dialog and tracert.dat, and Lookup runs through our own lookup.exe.
#include "tests/ui/program_test.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace tracewick::ui {
namespace {

// Controls every host page has.
constexpr int kRun = 1042;
constexpr int kCancel = 1100;
constexpr int kCumulative = 1083;
constexpr int kViewList = 1043;
// Trace Route page and its options dialog.
constexpr int kTracertOptions = 1038;
constexpr int kTracertTimeout = 1033;
constexpr int kTracertHops = 1040;
constexpr int kTracertResolve = 1041;
constexpr int kTracertDefaults = 1039;
// Modify Host List dialog.
constexpr int kHostListBox = 105;
constexpr int kHostDelete = 1044;
constexpr int kHostDefault = 1045;

struct HostPage {
    int logical;        // page index, also the tab
    const char* name;
    int combo;
    int pane;
};
constexpr HostPage kPing{0, "Ping", 1026, 1031};
constexpr HostPage kTracert{1, "Trace Route", 1035, 1036};
constexpr HostPage kLookup{2, "Lookup", 1026, 1031};
constexpr HostPage kHostPages[] = {kPing, kTracert, kLookup};

constexpr DWORD kRunTimeoutMs = 10000;
constexpr char kEndOfData[] = "\r\n\r\nEnd of Data";
constexpr char kTracertCancelled[] = "\r\n\r\nTracert cancelled";
constexpr char kHeader[] = "<header>";
constexpr char kUnresolved[] = "Unable to resolve target system name ";

using Hosts = std::vector<std::string>;

std::string SettingsLine(const std::string& value) { return value + "\r\r\n"; }

std::string LookupFile(bool cumulative, const std::string& host, const Hosts& hosts) {
    std::string bytes = SettingsLine(cumulative ? "TRUE" : "FALSE") + SettingsLine(host);
    for (const std::string& entry : hosts) bytes += SettingsLine(entry);
    return bytes;
}

std::string TracertFile(int hops, int timeout, bool resolve, bool cumulative) {
    return SettingsLine(std::to_string(hops)) + SettingsLine(std::to_string(timeout)) +
           SettingsLine(resolve ? "TRUE" : "FALSE") + SettingsLine(cumulative ? "TRUE" : "FALSE");
}

// The values of a settings file, one per line; bytes after the last line
// end make an entry of their own.
std::vector<std::string> SettingsLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\r\n", start)) != std::string::npos; start = end + 3)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size()) lines.push_back("<unended:" + bytes.substr(start) + ">");
    return lines;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// `hosts` with each run of neighbours that differ only in case put in one
// order: the sorted combo boxes keep such entries in no order of ours (each
// new one goes before its equals), so a list read back reverses them.
Hosts CaseOrdered(Hosts hosts) {
    for (std::size_t start = 0; start < hosts.size();) {
        std::size_t end = start + 1;
        while (end < hosts.size() && Lower(hosts[end]) == Lower(hosts[start])) ++end;
        std::sort(hosts.begin() + static_cast<std::ptrdiff_t>(start), hosts.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    return hosts;
}

// The lines of lookup.dat with its list part in that order.
std::vector<std::string> CaseOrderedFile(const std::string& bytes) {
    std::vector<std::string> lines = SettingsLines(bytes);
    if (lines.size() <= 2) return lines;
    const Hosts list = CaseOrdered(Hosts(lines.begin() + 2, lines.end()));
    lines.resize(2);
    lines.insert(lines.end(), list.begin(), list.end());
    return lines;
}

std::string Describe(const Hosts& hosts) {
    std::string out = "{";
    for (const std::string& host : hosts) out += (out.size() > 1 ? ", \"" : "\"") + Visible(host) + "\"";
    return out + "}";
}

// The pane text with every run header line replaced by "<header>".
std::string MaskHeaders(const std::string& text) {
    static const std::regex header(
        "(Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday), "
        "(January|February|March|April|May|June|July|August|September|October|November|December) "
        "[0-3][0-9], [0-9]{4} at [0-2][0-9]:[0-5][0-9]:[0-5][0-9]");
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        out += std::regex_match(line, header) ? std::string(kHeader) : line;
        if (end == std::string::npos) return out;
        out += "\r\n";
        start = end + 2;
    }
}

ULONGLONG Now() { return GetTickCount64(); }

std::optional<std::string> ReadWholeFile(const std::string& path) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(handle, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(handle);
    return bytes;
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(handle);
    return ok;
}

// A message sent across processes with a deadline, so a stuck program fails
// the test instead of hanging it.
LRESULT SendTimed(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutA(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result);
    if (ok) *ok = sent != 0;
    return static_cast<LRESULT>(result);
}

// A real left click at `point` (screen coordinates), through the input queue.
bool RealClickAt(HWND top_level, POINT point) {
    SetForegroundWindow(top_level);
    if (!WaitUntil([&] { return GetForegroundWindow() == top_level; }, 2000)) return false;
    // The move goes in the same batch as the button, so the click cannot
    // land where the pointer was before.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width < 2 || height < 2) return false;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>(point.x * 65535LL / (width - 1));
        input.mi.dy = static_cast<LONG>(point.y * 65535LL / (height - 1));
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

// A real left click at the middle of `control`.
bool RealClick(HWND top_level, HWND control) {
    const RECT rect = ScreenRectOf(control);
    return RealClickAt(top_level, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

// ---------------------------------------------------------------- fixture

class HostPagesTest : public ProgramTest {
protected:
    bool Start(std::vector<SeedFile> files = {}, std::optional<BinFolder> bin = std::nullopt) {
        LaunchOptions options;
        options.args = {"x"};
        options.files = std::move(files);
        options.bin = std::move(bin);
        sheet_ = LaunchToSheet(options);
        return FindPages();
    }

    // The next session, reading what the last one saved.
    bool Restart() {
        std::string error;
        if (!app().Restart({"x"}, &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        sheet_ = Sheet(app().WaitForSheet());
        return FindPages();
    }

    bool FindPages() {
        if (!sheet_) return false;
        for (const HostPage& page : kHostPages) {
            const int position = sheet_.PositionOfLogical(page.logical);
            pages_[page.logical] = position < 0 ? nullptr : sheet_.PageAtPosition(position);
            if (!pages_[page.logical]) {
                ADD_FAILURE() << "no " << page.name << " page";
                return false;
            }
        }
        // The start page's field takes the focus when the sheet becomes
        // active; input before that would be followed by a late commit of
        // that field, over whatever the test typed meanwhile.
        if (!WaitUntil([&] { return app().FocusedWindow() != nullptr; }, kWindowTimeoutMs, app().process())) {
            ADD_FAILURE() << "nothing in the sheet has the focus";
            return false;
        }
        return Settle();
    }

    HWND Page(const HostPage& page) const { return pages_[page.logical]; }
    HWND Control(const HostPage& page, int id) const { return GetDlgItem(Page(page), id); }
    HWND Combo(const HostPage& page) const { return Control(page, page.combo); }
    Hosts Items(const HostPage& page) const { return ComboItems(Combo(page)); }
    std::string HostText(const HostPage& page) const { return TextOf(Combo(page)); }
    LRESULT Selection(const HostPage& page) const { return SendTimed(Combo(page), CB_GETCURSEL, 0, 0); }
    std::string Pane(const HostPage& page) const { return PaneText(Control(page, page.pane)); }

    // Opens the page as a user does, with a click on its tab: the tab
    // control takes the focus first, so a host field left on the way is
    // committed now. (Selecting the page by message would leave the focus
    // in the hidden page's field, to be committed at some later click.)
    bool Show(const HostPage& page) const {
        const int position = sheet_.PositionOfLogical(page.logical);
        if (position < 0) return false;
        if (sheet_.ActivePosition() == position) return true;
        const HWND tabs = sheet_.TabControl();
        RECT item{};
        HANDLE process = OpenProcessForMemory(app_->pid());
        bool ok = false;
        {
            RemoteBuffer remote(process, sizeof item);
            ok = remote.valid() &&
                 SendTimed(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(position),
                           reinterpret_cast<LPARAM>(remote.address())) != 0 &&
                 remote.Read(0, &item, sizeof item);
        }
        if (process) CloseHandle(process);
        POINT middle{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ok = ok && ClientToScreen(tabs, &middle) && RealClickAt(sheet_.hwnd(), middle) &&
             WaitUntil([&] { return sheet_.ActivePosition() == position; }, kWindowTimeoutMs, app_->process());
        if (!ok) ADD_FAILURE() << "the tab of " << page.name << " did not open its page";
        return ok && Settle();
    }

    // Returns once the program has handled everything it was sent and
    // whatever it was doing (a sent message waits for its message loop).
    bool Settle() const {
        bool ok = false;
        SendTimed(sheet_.hwnd(), WM_NULL, 0, 0, &ok);
        return ok;
    }

    // Types `text` into the page's host field as a user would: clicks into
    // the field, sets its text, then leaves it with Tab.
    bool TypeAndLeave(const HostPage& page, const std::string& text) const {
        if (!Show(page)) return false;
        const auto edits = ChildWindowsOfClass(Combo(page), "Edit");
        if (edits.empty()) return false;
        const HWND edit = edits.front();
        if (!RealClick(sheet_.hwnd(), edit) ||
            !WaitUntil([&] { return app_->FocusedWindow() == edit; }, kWindowTimeoutMs, app_->process())) {
            ADD_FAILURE() << "the host field of " << page.name << " did not take the focus";
            return false;
        }
        if (!TypeIntoCombo(Combo(page), text)) return false;
        if (!SendRealKey(sheet_.hwnd(), VK_TAB) ||
            !WaitUntil([&] { return app_->FocusedWindow() != edit; }, kWindowTimeoutMs, app_->process())) {
            ADD_FAILURE() << "the host field of " << page.name << " kept the focus";
            return false;
        }
        return Settle();
    }

    enum class Way { kExitButton, kClose, kEscape };

    // Leaves the program and waits for its end. A click on Exit takes the
    // focus and so commits the field it leaves; Escape commits nothing.
    bool Leave(Way way) {
        bool sent = false;
        switch (way) {
            case Way::kExitButton: sent = PostClick(sheet_.Button(kExitButtonId)); break;
            case Way::kClose: sent = PostSysCommand(sheet_.hwnd(), SC_CLOSE); break;
            case Way::kEscape: sent = SendRealKey(sheet_.hwnd(), VK_ESCAPE); break;
        }
        DWORD code = 1;
        if (!sent || !app().WaitForExit(kExitTimeoutMs, &code)) {
            ADD_FAILURE() << "the program did not end";
            return false;
        }
        EXPECT_EQ(0u, code);
        return true;
    }

    // Every page's list equals `expected`.
    void ExpectLists(const Hosts& expected) const {
        for (const HostPage& page : kHostPages)
            EXPECT_EQ(expected, Items(page)) << page.name << " holds " << Describe(Items(page));
    }

    // The page shows `text` as its current host, with that entry selected
    // when the list holds it.
    void ExpectHost(const HostPage& page, const std::string& text) const {
        EXPECT_EQ(text, HostText(page)) << page.name << " shows \"" << Visible(HostText(page)) << "\"";
        const Hosts items = Items(page);
        LRESULT listed = CB_ERR;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == text && !text.empty()) listed = static_cast<LRESULT>(i);
        EXPECT_EQ(listed, Selection(page)) << page.name << ": the entry shown is selected when listed";
    }

    Sheet sheet_;
    HWND pages_[3] = {};
};

// ---------------------------------------------------------------- the shared list

using HostPagesListTest = HostPagesTest;

TEST_F(HostPagesListTest, TypedHostJoinsEveryListAndBecomesCurrentElsewhere) {
    ASSERT_TRUE(Start());
    ExpectLists({"localhost"});
    // Without lookup.dat the Trace Route and Lookup hosts start empty.
    for (const HostPage& page : {kTracert, kLookup}) ExpectHost(page, "");
    struct Row {
        const char* name;
        HostPage page;
        std::string typed;
        Hosts lists;              // every page's list afterwards
        std::string elsewhere;    // what the other two pages show
    };
    const Hosts four = {"alpha", "localhost", "Mike", "Zulu.test  "};
    const Hosts five = {"alpha", "localhost", "Mik", "Mike", "Zulu.test  "};
    const std::vector<Row> rows = {
        {"new on Ping, blanks around", kPing, "  Zulu.test  ", {"localhost", "Zulu.test  "}, "Zulu.test  "},
        {"new on Trace Route", kTracert, "alpha", {"alpha", "localhost", "Zulu.test  "}, "alpha"},
        {"new on Lookup, sorted between", kLookup, "Mike", four, "Mike"},
        {"listed in other case, on Ping", kPing, "ALPHA", four, "alpha"},
        {"listed in other case, on Trace Route", kTracert, "LocalHost", four, "localhost"},
        {"listed with its blanks, on Lookup", kLookup, "\tzulu.TEST  ", four, "Zulu.test  "},
        {"a prefix of a listed host is new", kPing, "Mik", five, "Mik"},
        {"blanks only, on Lookup", kLookup, "   ", five, ""},
        {"empty, on Trace Route", kTracert, "", five, ""},
        {"blanks only, on Ping", kPing, " \t ", five, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(TypeAndLeave(row.page, row.typed));
        ExpectLists(row.lists);
        for (const HostPage& other : kHostPages) {
            if (other.logical != row.page.logical) ExpectHost(other, row.elsewhere);
        }
    }
}

TEST_F(HostPagesListTest, CloseCommitsTypedHostAndSavesIt) {
    struct Row {
        HostPage page;
        std::string typed;
        std::string host;         // as committed
        bool cumulative;          // Lookup's check box clicked first
        Hosts lists;
    };
    const std::vector<Row> rows = {
        {kPing, "  delta.test", "delta.test", false, {"delta.test", "localhost"}},
        {kTracert, "Charlie ", "Charlie ", true, {"Charlie ", "localhost"}},
        {kLookup, "\tbravo", "bravo", false, {"bravo", "localhost"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.page.name);
        ASSERT_TRUE(Start());
        if (row.cumulative) {
            ASSERT_TRUE(Show(kLookup));
            Click(Control(kLookup, kCumulative));
        }
        ASSERT_TRUE(Show(row.page));
        // Typed, never left: only Close commits it.
        ASSERT_TRUE(TypeIntoCombo(Combo(row.page), row.typed));
        ASSERT_TRUE(Leave(Way::kClose));
        const auto saved = app().ReadFile("lookup.dat");
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(LookupFile(row.cumulative, row.host, row.lists), saved->bytes) << Visible(saved->bytes);
        EXPECT_TRUE(saved->hidden());

        // The next session offers it everywhere and starts with it.
        ASSERT_TRUE(Restart());
        ExpectLists(row.lists);
        for (const HostPage& page : kHostPages) ExpectHost(page, row.host);
        EXPECT_EQ(row.cumulative, IsChecked(Control(kLookup, kCumulative)));
        app_.reset();
    }
}

// ---------------------------------------------------------------- the Modify Host List dialog

class HostListDialogTest : public HostPagesTest {
protected:
    // Fills the shared list by typing, one host per page in turn.
    bool TypeHosts(const Hosts& hosts) const {
        for (std::size_t i = 0; i < hosts.size(); ++i)
            if (!TypeAndLeave(kHostPages[i % 3], hosts[i])) return false;
        return true;
    }

    HWND OpenDialog(const HostPage& page) const {
        if (!Show(page) || !PostClick(Control(page, kViewList))) return nullptr;
        return app_->WaitForDialog("Modify Host List");
    }

    static HWND List(HWND dialog) { return GetDlgItem(dialog, kHostListBox); }

    // A selection made as a user's would be reported: the list box changes,
    // then tells the dialog.
    static bool Select(HWND dialog, const std::vector<int>& entries, bool clear_first = true) {
        const HWND list = List(dialog);
        bool ok = true;
        if (clear_first) SendTimed(list, LB_SETSEL, FALSE, -1, &ok);
        for (int entry : entries) {
            bool sent = false;
            if (SendTimed(list, LB_SETSEL, TRUE, entry, &sent) == LB_ERR || !sent) ok = false;
        }
        SendTimed(dialog, WM_COMMAND, MAKEWPARAM(kHostListBox, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return ok;
    }

    static bool SelectRange(HWND dialog, int first, int last) {
        const HWND list = List(dialog);
        bool ok = false;
        SendTimed(list, LB_SETSEL, FALSE, -1);
        const LRESULT result = SendTimed(list, LB_SELITEMRANGE, TRUE, MAKELPARAM(first, last), &ok);
        SendTimed(dialog, WM_COMMAND, MAKEWPARAM(kHostListBox, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return ok && result != LB_ERR;
    }

    bool Close(HWND dialog, int button) const {
        return PostClick(GetDlgItem(dialog, button)) && app_->WaitForWindowGone(dialog);
    }
};

TEST_F(HostListDialogTest, DeleteRemovesEverySelectedEntryAndOnlyOkKeepsIt) {
    ASSERT_TRUE(Start());
    // Typed last on Trace Route, so gw is the current host and is listed:
    // leaving a field on the way from one dialog to the next adds nothing.
    ASSERT_TRUE(TypeHosts({"gamma", "beta", "delta", "alpha", "gw"}));
    const Hosts all = {"alpha", "beta", "delta", "gamma", "gw", "localhost"};
    ExpectLists(all);

    // Cancel after Delete: nothing changes, the current hosts neither.
    HWND dialog = OpenDialog(kPing);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(all, ListItems(List(dialog)));
    const HWND del = GetDlgItem(dialog, kHostDelete);
    EXPECT_FALSE(IsEnabled(del)) << "nothing is selected yet";
    ASSERT_TRUE(Select(dialog, {1}));
    EXPECT_TRUE(IsEnabled(del));
    ASSERT_TRUE(Select(dialog, {}));
    EXPECT_FALSE(IsEnabled(del)) << "the selection was taken back";
    ASSERT_TRUE(SelectRange(dialog, 1, 2));
    ASSERT_TRUE(Select(dialog, {5}, false));
    EXPECT_EQ(3, SendTimed(List(dialog), LB_GETSELCOUNT, 0, 0));
    Click(del);
    EXPECT_EQ((Hosts{"alpha", "gamma", "gw"}), ListItems(List(dialog)));
    EXPECT_FALSE(IsEnabled(del)) << "nothing is selected after Delete";
    ASSERT_TRUE(Close(dialog, IDCANCEL));
    ExpectLists(all);
    for (const HostPage& page : {kPing, kLookup}) ExpectHost(page, "gw");

    // The same Delete and OK: every list takes the dialog's, every field is emptied.
    dialog = OpenDialog(kTracert);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SelectRange(dialog, 1, 2));
    ASSERT_TRUE(Select(dialog, {5}, false));
    Click(GetDlgItem(dialog, kHostDelete));
    ASSERT_TRUE(Close(dialog, IDOK));
    ExpectLists({"alpha", "gamma", "gw"});
    for (const HostPage& page : kHostPages) ExpectHost(page, "");

    // Deleting every entry and OK leaves "localhost".
    dialog = OpenDialog(kLookup);
    ASSERT_TRUE(dialog);
    EXPECT_EQ((Hosts{"alpha", "gamma", "gw"}), ListItems(List(dialog)));
    ASSERT_TRUE(SelectRange(dialog, 0, 2));
    Click(GetDlgItem(dialog, kHostDelete));
    EXPECT_EQ(Hosts{}, ListItems(List(dialog)));
    ASSERT_TRUE(Close(dialog, IDOK));
    ExpectLists({"localhost"});

    // What the dialog left is the list saved.
    ASSERT_TRUE(Leave(Way::kEscape));
    const auto saved = app().ReadFile("lookup.dat");
    ASSERT_TRUE(saved.has_value());
    const auto lines = SettingsLines(saved->bytes);
    EXPECT_EQ((Hosts{"localhost"}), Hosts(lines.begin() + std::min<std::size_t>(2, lines.size()), lines.end()))
        << Visible(saved->bytes);
}

TEST_F(HostListDialogTest, DefaultGivesOnlyLocalhostAndCancelUndoesIt) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(TypeHosts({"beta", "alpha"}));
    const Hosts all = {"alpha", "beta", "localhost"};

    HWND dialog = OpenDialog(kLookup);
    ASSERT_TRUE(dialog);
    Click(GetDlgItem(dialog, kHostDefault));
    EXPECT_EQ(Hosts{"localhost"}, ListItems(List(dialog)));
    EXPECT_FALSE(IsEnabled(GetDlgItem(dialog, kHostDefault)));
    EXPECT_FALSE(IsEnabled(GetDlgItem(dialog, kHostDelete)));
    ASSERT_TRUE(Close(dialog, IDCANCEL));
    ExpectLists(all);
    for (const HostPage& page : {kPing, kLookup}) ExpectHost(page, "alpha");

    dialog = OpenDialog(kPing);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsEnabled(GetDlgItem(dialog, kHostDefault))) << "a new dialog starts afresh";
    ASSERT_TRUE(SelectRange(dialog, 0, 0));
    Click(GetDlgItem(dialog, kHostDefault));
    EXPECT_FALSE(IsEnabled(GetDlgItem(dialog, kHostDelete)));
    ASSERT_TRUE(Close(dialog, IDOK));
    ExpectLists({"localhost"});
    for (const HostPage& page : kHostPages) ExpectHost(page, "");
}

// ---------------------------------------------------------------- lookup.dat across sessions

using HostPagesSettingsTest = HostPagesTest;

TEST_F(HostPagesSettingsTest, ListAndHostSurviveExitAndRestartByteForByte) {
    struct Row {
        const char* name;
        std::string file;
        bool cumulative;
        std::string host;          // every page's current host
        Hosts lists;
        std::string saved;         // lookup.dat after leaving with no change
    };
    const std::vector<Row> rows = {
        {"no localhost", LookupFile(true, "gw", {"alpha", "beta"}), true, "gw", {"alpha", "beta"},
         LookupFile(true, "gw", {"alpha", "beta"})},
        {"entries out of order are sorted", LookupFile(false, "Beta", {"zeta", "Beta", "alpha"}), false, "Beta",
         {"alpha", "Beta", "zeta"}, LookupFile(false, "Beta", {"alpha", "Beta", "zeta"})},
        {"entries differing only in case", LookupFile(false, "gw", {"alpha", "beta", "Alpha"}), false, "gw",
         {"alpha", "Alpha", "beta"}, LookupFile(false, "gw", {"alpha", "Alpha", "beta"})},
        {"an empty list", LookupFile(false, "gw", {}), false, "gw", {}, LookupFile(false, "gw", {})},
        {"an empty host line", LookupFile(false, "", {"alpha", "beta"}), false, "", {"alpha", "beta"},
         LookupFile(false, "", {"alpha", "beta"})},
        {"single CR LF line ends", "TRUE\r\ngw\r\nalpha\r\nbeta\r\n", true, "gw", {"alpha", "beta"},
         LookupFile(true, "gw", {"alpha", "beta"})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Start({{"lookup.dat", row.file, FILE_ATTRIBUTE_HIDDEN}}));
        // Twice: as read from the seed, then as read from what the first session wrote.
        for (int session = 0; session < 2; ++session) {
            SCOPED_TRACE(session == 0 ? "first session" : "after leaving and starting again");
            for (const HostPage& page : kHostPages) {
                // Entries equal but for case may stand in either order.
                EXPECT_EQ(CaseOrdered(row.lists), CaseOrdered(Items(page)))
                    << page.name << " holds " << Describe(Items(page));
                ExpectHost(page, row.host);
            }
            EXPECT_EQ(row.cumulative, IsChecked(Control(kLookup, kCumulative)));
            EXPECT_FALSE(IsChecked(Control(kTracert, kCumulative))) << "the flag is the Lookup page's alone";
            ASSERT_TRUE(Leave(Way::kEscape));
            const auto saved = app().ReadFile("lookup.dat");
            ASSERT_TRUE(saved.has_value());
            EXPECT_EQ(CaseOrderedFile(row.saved), CaseOrderedFile(saved->bytes)) << Visible(saved->bytes);
            EXPECT_TRUE(saved->hidden());
            if (session == 0) {
                ASSERT_TRUE(Restart());
            }
        }
        app_.reset();
    }
}

// ---------------------------------------------------------------- Trace Route

// What the Trace Route Options dialog shows.
struct Shown {
    std::string timeout, hops;
    bool resolve = false;
    bool operator==(const Shown& other) const {
        return timeout == other.timeout && hops == other.hops && resolve == other.resolve;
    }
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << "{" << shown.timeout << ", " << shown.hops << ", " << (shown.resolve ? "resolve" : "-d") << "}";
}

class TracertTest : public HostPagesTest {
protected:
    bool StartTracert(const std::string& script, std::vector<SeedFile> files = {}) {
        BinFolder bin;
        bin.commands = {{"tracert", script}};
        return StartTracertWith(bin, std::move(files));
    }

    bool StartTracertWith(const BinFolder& bin, std::vector<SeedFile> files = {}) {
        return Start(std::move(files), bin) && Show(kTracert);
    }

    // The script the next run plays.
    bool Script(const std::string& text) const { return ReplaceFile(app_->bin_dir() + "\\tracert.script", text); }

    HWND Item(int id) const { return Control(kTracert, id); }
    std::string Pane() const { return HostPagesTest::Pane(kTracert); }
    bool RunEnabled() const { return IsEnabled(Item(kRun)); }
    bool CancelEnabled() const { return IsEnabled(Item(kCancel)); }
    bool WaitRunEnd(DWORD timeout_ms = kRunTimeoutMs) const {
        return WaitForRunEnd(Page(kTracert), timeout_ms, app_->process());
    }

    std::string RunToEnd() {
        Click(Item(kRun));
        EXPECT_TRUE(WaitRunEnd()) << "the run did not end; pane: " << Visible(Pane());
        return Pane();
    }

    // The command line the stand-in received: itself by its full path, then
    // the arguments as Tracewick wrote them.
    std::string Received(const std::string& arguments) const {
        return "\"" + app_->bin_dir() + "\\tracert.exe\" " + arguments;
    }

    HWND OpenOptions() const {
        if (!PostClick(Item(kTracertOptions))) return nullptr;
        return app_->WaitForDialog("Trace Route Options");
    }

    static Shown Read(HWND dialog) {
        return {ControlText(dialog, kTracertTimeout), ControlText(dialog, kTracertHops),
                IsChecked(GetDlgItem(dialog, kTracertResolve))};
    }

    static bool Fill(HWND dialog, const std::string& timeout, const std::string& hops, std::optional<bool> resolve) {
        if (!SetText(GetDlgItem(dialog, kTracertTimeout), timeout) || !SetText(GetDlgItem(dialog, kTracertHops), hops))
            return false;
        if (resolve && IsChecked(GetDlgItem(dialog, kTracertResolve)) != *resolve)
            Click(GetDlgItem(dialog, kTracertResolve));
        return !resolve || IsChecked(GetDlgItem(dialog, kTracertResolve)) == *resolve;
    }

    bool SetOptions(const std::string& timeout, const std::string& hops, bool resolve) const {
        const HWND dialog = OpenOptions();
        if (!dialog || !Fill(dialog, timeout, hops, resolve) || !PostClick(GetDlgItem(dialog, IDOK))) return false;
        return app_->WaitForWindowGone(dialog);
    }

    Shown OptionsShown() const {
        const HWND dialog = OpenOptions();
        if (!dialog) return {};
        const Shown shown = Read(dialog);
        PostClick(GetDlgItem(dialog, IDCANCEL));
        EXPECT_TRUE(app_->WaitForWindowGone(dialog));
        return shown;
    }
};

using TracertRunTest = TracertTest;

TEST_F(TracertRunTest, CommandLineCarriesOptionsAndHost) {
    ASSERT_TRUE(StartTracert("args\n"));
    struct Row {
        const char* name;
        std::optional<std::vector<std::string>> options;  // timeout, hops, "resolve" or ""
        std::string typed;
        std::string arguments;
    };
    const std::vector<Row> rows = {
        {"defaults, empty host", std::nullopt, "", "-d -w 300 -h 20 localhost"},
        {"resolve names, 1000, 30", std::vector<std::string>{"1000", "30", "resolve"}, "gw", "-w 1000 -h 30 gw"},
        {"leading blanks go", std::nullopt, "   gw", "-w 1000 -h 30 gw"},
        {"the range's ends", std::vector<std::string>{"10000", "100", ""}, "gw", "-d -w 10000 -h 100 gw"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.options) {
            ASSERT_TRUE(SetOptions((*row.options)[0], (*row.options)[1], (*row.options)[2] == "resolve"));
        }
        ASSERT_TRUE(TypeIntoCombo(Item(kTracert.combo), row.typed));
        const std::string pane = RunToEnd();
        EXPECT_EQ(std::string(kHeader) + "\r\n" + Received(row.arguments) + "\r\n" + kEndOfData, MaskHeaders(pane))
            << Visible(pane);
    }
}

TEST_F(TracertRunTest, UnresolvedTargetChunkNamesTheHost) {
    ASSERT_TRUE(StartTracert(""));
    ASSERT_TRUE(TypeIntoCombo(Item(kTracert.combo), "gw"));
    struct Row {
        const char* name;
        bool resolve;
        std::string script;   // one write, so one chunk
        std::string shown;    // the pane between the header line and the end line
    };
    const std::vector<Row> rows = {
        {"-d message alone", false, "raw Unable to resolve target system name -d.\\r\\r\\n\n",
         std::string(kUnresolved) + "gw"},
        {"-w message alone", true, "raw Unable to resolve target system name -w.\\r\\r\\n\n",
         std::string(kUnresolved) + "gw"},
        {"with other output in the same chunk", false,
         "raw Tracing route to gw\\r\\nUnable to resolve target system name -d.\\r\\r\\n\n",
         "Tracing route to gw\r\nUnable to resolve target system name -d.\r\n"},
        {"another line end", false, "raw Unable to resolve target system name -d.\\r\\n\n",
         "Unable to resolve target system name -d.\r\n"},
        {"another option word", false, "raw Unable to resolve target system name -h.\\r\\r\\n\n",
         "Unable to resolve target system name -h.\r\n"},
    };
    bool resolve = false;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.resolve != resolve) {
            ASSERT_TRUE(SetOptions("300", "20", row.resolve));
            resolve = row.resolve;
        }
        ASSERT_TRUE(Script(row.script));
        const std::string pane = RunToEnd();
        EXPECT_EQ(std::string(kHeader) + "\r\n" + row.shown + kEndOfData, MaskHeaders(pane)) << Visible(pane);
    }
}

using TracertCancelTest = TracertTest;

TEST_F(TracertCancelTest, CancelDuringRunEndsItOnce) {
    ASSERT_TRUE(StartTracert("out Tracing route to localhost\nsleep 10000\nout never\n"));
    Click(Item(kRun));
    ASSERT_TRUE(WaitForPaneText(Item(kTracert.pane), "Tracing", kRunTimeoutMs, app().process()));
    EXPECT_FALSE(RunEnabled());
    EXPECT_TRUE(CancelEnabled());
    const ULONGLONG cancelled = Now();
    Click(Item(kCancel));
    EXPECT_FALSE(CancelEnabled());
    ASSERT_TRUE(WaitRunEnd());
    EXPECT_LT(Now() - cancelled, 2500u) << "the spawner obeys: no need for the time-out";
    EXPECT_EQ(std::string(kHeader) + "\r\nTracing route to localhost\r\n" + kTracertCancelled, MaskHeaders(Pane()))
        << Visible(Pane());
    EXPECT_FALSE(CancelEnabled());
    // No second end line from the cancel timer.
    const std::string settled = Pane();
    EXPECT_FALSE(WaitUntil([&] { return Pane() != settled; }, 3500, app().process())) << Visible(Pane());
    EXPECT_TRUE(app().BinProcesses("tracert.exe").empty());
}

TEST_F(TracertCancelTest, SpawnerIgnoringStopRequestTimesOut) {
    BinFolder bin;
    bin.spawner = Spawner::kStandIn;
    bin.spawner_script = "out started\nsleep 30000\n";
    ASSERT_TRUE(StartTracertWith(bin));
    Click(Item(kRun));
    ASSERT_TRUE(WaitForPaneText(Item(kTracert.pane), "started", kRunTimeoutMs, app().process()));
    const ULONGLONG cancelled = Now();
    Click(Item(kCancel));
    ASSERT_TRUE(WaitRunEnd(8000));
    const ULONGLONG took = Now() - cancelled;
    EXPECT_GE(took, 2500u);
    EXPECT_LE(took, 6000u);
    EXPECT_EQ(std::string(kHeader) + "\r\nstarted\r\n" + kTracertCancelled, MaskHeaders(Pane())) << Visible(Pane());
    EXPECT_EQ(1u, CountOf(Pane(), "Tracert cancelled"));
    EXPECT_FALSE(CancelEnabled());
}

using TracertOptionsTest = TracertTest;

TEST_F(TracertOptionsTest, RefusesValuesOutOfRangeAndFocusesTheField) {
    ASSERT_TRUE(StartTracert("args\n"));
    const char* const kTimeoutRange = "Please enter an integer between 10 and 10000.";
    const char* const kHopsRange = "Please enter an integer between 1 and 100.";
    struct Row {
        const char* name;
        std::string timeout, hops;
        int bad_field;          // 0 when the values are taken
        const char* refusal;
    };
    const std::vector<Row> rows = {
        {"timeout below", "9", "20", kTracertTimeout, kTimeoutRange},
        {"timeout above", "10001", "20", kTracertTimeout, kTimeoutRange},
        {"timeout lowest", "10", "20", 0, nullptr},
        {"timeout highest", "10000", "20", 0, nullptr},
        {"hops below", "300", "0", kTracertHops, kHopsRange},
        {"hops above", "300", "101", kTracertHops, kHopsRange},
        {"hops lowest", "300", "1", 0, nullptr},
        {"hops highest", "300", "100", 0, nullptr},
        {"timeout not a number", "abc", "20", kTracertTimeout, "Please enter an integer."},
        {"both bad: the first is reported", "5", "0", kTracertTimeout, kTimeoutRange},
    };
    Shown accepted{"300", "20", false};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const HWND dialog = OpenOptions();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(accepted, Read(dialog)) << "the dialog shows the page's values";
        ASSERT_TRUE(Fill(dialog, row.timeout, row.hops, std::nullopt));
        ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDOK)));
        if (row.bad_field == 0) {
            ASSERT_TRUE(app().WaitForWindowGone(dialog)) << "good values close the dialog";
            accepted = {row.timeout, row.hops, false};
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
    const std::string pane = RunToEnd();
    EXPECT_NE(std::string::npos, pane.find(Received("-d -w 300 -h 100 localhost"))) << Visible(pane);
}

TEST_F(TracertOptionsTest, DefaultsThenCancelKeepsValuesAndFileHoldsThem) {
    // A flag saved in lower case reads as off.
    const std::string seeded = SettingsLine("30") + SettingsLine("1000") + SettingsLine("true") + SettingsLine("FALSE");
    ASSERT_TRUE(StartTracert("args\n", {{"tracert.dat", seeded, FILE_ATTRIBUTE_HIDDEN}}));
    EXPECT_EQ((Shown{"1000", "30", false}), OptionsShown());
    ASSERT_TRUE(SetOptions("1000", "30", true));

    HWND dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    Click(GetDlgItem(dialog, kTracertDefaults));
    EXPECT_EQ((Shown{"300", "20", false}), Read(dialog));
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(app().WaitForWindowGone(dialog));
    EXPECT_EQ((Shown{"1000", "30", true}), OptionsShown());

    ASSERT_TRUE(SetOptions("2500", "45", false));
    Click(Item(kCumulative));
    ASSERT_TRUE(Leave(Way::kExitButton));
    auto saved = app().ReadFile("tracert.dat");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(TracertFile(45, 2500, false, true), saved->bytes) << Visible(saved->bytes);
    EXPECT_TRUE(saved->hidden());

    // Read back whole at the next start, and Defaults then OK is saved too.
    ASSERT_TRUE(Restart());
    ASSERT_TRUE(Show(kTracert));
    EXPECT_EQ((Shown{"2500", "45", false}), OptionsShown());
    EXPECT_TRUE(IsChecked(Item(kCumulative)));
    dialog = OpenOptions();
    ASSERT_TRUE(dialog);
    Click(GetDlgItem(dialog, kTracertDefaults));
    ASSERT_TRUE(PostClick(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(app().WaitForWindowGone(dialog));
    ASSERT_TRUE(Leave(Way::kExitButton));
    saved = app().ReadFile("tracert.dat");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(TracertFile(20, 300, false, true), saved->bytes) << Visible(saved->bytes);
}

// ---------------------------------------------------------------- Lookup

class LookupRunTest : public HostPagesTest {
protected:
    // Our own lookup.exe, beside the spawner in the bin folder.
    bool StartLookup() {
        const std::string path = ToWindowsPath(LookupExePath());
        const auto bytes = path.empty() ? std::nullopt : ReadWholeFile(path);
        if (!bytes) {
            ADD_FAILURE() << "cannot read lookup.exe at \"" << path << "\" (TRACEWICK_LOOKUP_EXE)";
            return false;
        }
        BinFolder bin;
        bin.files = {{"lookup.exe", *bytes}};
        return Start({}, bin) && Show(kLookup);
    }

    static std::string LookupExePath() {
        const char* value = std::getenv("TRACEWICK_LOOKUP_EXE");
        return value ? value : "";
    }

    HWND Item(int id) const { return Control(kLookup, id); }
};

TEST_F(LookupRunTest, LocalhostThroughOwnLookup) {
    ASSERT_TRUE(StartLookup());
    // A host left empty looks up localhost.
    for (const std::string typed : {"localhost", "   "}) {
        SCOPED_TRACE("typed \"" + typed + "\"");
        ASSERT_TRUE(TypeIntoCombo(Item(kLookup.combo), typed));
        Click(Item(kRun));
        ASSERT_TRUE(WaitForRunEnd(Page(kLookup), kRunTimeoutMs, app().process()));
        const std::string pane = MaskHeaders(Pane(kLookup));
        const std::string start = std::string(kHeader) + "\r\nName:      localhost\r\n";
        EXPECT_EQ(0u, pane.find(start)) << Visible(pane);
        EXPECT_NE(std::string::npos, pane.find("\r\nAddress:   ")) << Visible(pane);
        EXPECT_EQ(pane.size() - std::string(kEndOfData).size(), pane.rfind(kEndOfData)) << Visible(pane);
        EXPECT_EQ(std::string::npos, pane.find("\r\r")) << Visible(pane);
        EXPECT_FALSE(IsEnabled(Item(kCancel)));
    }
}

TEST_F(LookupRunTest, HostWithDoubleQuoteIsRefusedAndNothingRuns) {
    ASSERT_TRUE(StartLookup());
    ASSERT_TRUE(TypeIntoCombo(Item(kLookup.combo), "local\"host"));
    ASSERT_TRUE(PostClick(Item(kRun)));
    const auto text = app().AnswerMessageBox();
    ASSERT_TRUE(text.has_value()) << "no message box";
    EXPECT_NE(std::string::npos, text->find("double quote")) << *text;
    EXPECT_TRUE(WaitUntil([&] { return IsEnabled(Item(kRun)); }, kWindowTimeoutMs));
    EXPECT_FALSE(IsEnabled(Item(kCancel)));
    EXPECT_EQ("", Pane(kLookup)) << "a refused run writes nothing";
    EXPECT_TRUE(app().BinProcesses("lookup.exe").empty());
    EXPECT_TRUE(app().BinProcesses("conspawn.exe").empty());
}

}  // namespace
}  // namespace tracewick::ui
