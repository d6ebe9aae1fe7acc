// UI tests of the program's shell: splash, start page, the sheet's buttons and
// system menu, the about box, the ways out, the help window and the version
// resource.
#include "tests/ui/program_test.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tracewick::ui {
namespace {

constexpr char kSettingsFile[] = "actpage.dat";

std::string SettingsLine(const std::string& value) { return value + "\r\r\n"; }

SeedFile ActivePageFile(const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_HIDDEN) {
    return SeedFile{kSettingsFile, bytes, attributes};
}

// Arguments as a readable row name.
std::string Describe(const std::vector<std::string>& args) {
    std::string text = "args:";
    for (const std::string& arg : args) text += " [" + arg + "]";
    return args.empty() ? "no arguments" : text;
}

std::string LineAt(const std::string& text, std::size_t start) {
    const std::size_t end = text.find_first_of("\r\n", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// Visible push buttons of the sheet itself (not of its pages).
std::vector<HWND> VisibleSheetButtons(HWND sheet) {
    std::vector<HWND> buttons;
    for (HWND child : ChildWindowsOfClass(sheet, "Button"))
        if (GetParent(child) == sheet && IsWindowVisible(child)) buttons.push_back(child);
    return buttons;
}

// ---------------------------------------------------------------- splash

using SplashTest = ProgramTest;

TEST_F(SplashTest, ShownWithoutLetterAndOkClosesItAtOnce) {
    // A switch is not a letter: the splash still comes first.
    const std::vector<std::vector<std::string>> rows = {{}, {"/x"}, {"-p"}};
    for (const auto& args : rows) {
        SCOPED_TRACE(Describe(args));
        AppProcess* app = Launch({args, {}, ""});
        ASSERT_TRUE(app);
        const HWND splash = app->WaitForSplash();
        ASSERT_TRUE(splash);
        EXPECT_EQ("Tracewick", TextOf(splash));
        EXPECT_FALSE(app->FindSheet()) << "the sheet must wait for the splash";
        // On a screen of more than 256 colours the 256-colour picture shows.
        EXPECT_FALSE(IsVisible(GetDlgItem(splash, 1097)));
        EXPECT_TRUE(IsVisible(GetDlgItem(splash, 1098)));

        const DWORD clicked = GetTickCount();
        Click(GetDlgItem(splash, IDOK));
        EXPECT_TRUE(app->WaitForWindowGone(splash, 1000)) << "OK must close the splash at once";
        EXPECT_LT(GetTickCount() - clicked, 1000u);
        const HWND sheet = app->WaitForSheet();
        ASSERT_TRUE(sheet);
        EXPECT_EQ("Tracewick", TextOf(sheet));
        EXPECT_FALSE(app->FindSplash());
        app->Kill();
    }
}

TEST_F(SplashTest, NotShownWithLetter) {
    // The first argument that is not a switch gives the letter.
    const std::vector<std::vector<std::string>> rows = {{"x"}, {"/s", "x"}, {"xyz", "p"}};
    for (const auto& args : rows) {
        SCOPED_TRACE(Describe(args));
        AppProcess* app = Launch({args, {}, ""});
        ASSERT_TRUE(app);
        // The first window of the program must already be the sheet.
        const HWND first = app->WaitForWindow([](HWND hwnd) { return ClassNameOf(hwnd) == "#32770"; });
        ASSERT_TRUE(first);
        EXPECT_TRUE(IsPropertySheet(first));
        EXPECT_FALSE(app->FindSplash());
        app->Kill();
    }
}

TEST_F(SplashTest, ClosesItselfAfterFiveSeconds) {
    AppProcess* app = Launch({});
    ASSERT_TRUE(app);
    const HWND splash = app->WaitForSplash();
    ASSERT_TRUE(splash);
    const DWORD shown = GetTickCount();
    ASSERT_TRUE(app->WaitForWindowGone(splash, 10000));
    const DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 4500u);
    EXPECT_LE(elapsed, 7000u);
    EXPECT_TRUE(app->WaitForSheet());
}

// ---------------------------------------------------------------- start page

using StartPageTest = ProgramTest;

TEST_F(StartPageTest, ActivePageFileChoosesPage) {
    struct Row {
        const char* name;
        std::vector<SeedFile> files;
        int logical;  // the page to open when the build has it; else the first page
    };
    const std::vector<Row> rows = {
        {"8 opens About", {ActivePageFile(SettingsLine("8"))}, kAboutLogicalIndex},
        {"8, not hidden", {ActivePageFile(SettingsLine("8"), 0)}, kAboutLogicalIndex},
        {"1 opens Trace Route", {ActivePageFile(SettingsLine("1"))}, 1},
        {"7 opens Statistics", {ActivePageFile(SettingsLine("7"))}, 7},
        {"0 opens the first page", {ActivePageFile(SettingsLine("0"))}, 0},
        {"9 is out of range", {ActivePageFile(SettingsLine("9"))}, 0},
        {"-8 is out of range", {ActivePageFile(SettingsLine("-8"))}, 0},
        {"text", {ActivePageFile(SettingsLine("About"))}, 0},
        {"empty file", {ActivePageFile("")}, 0},
        {"no file", {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LaunchOptions options;
        options.files = row.files;
        const Sheet sheet = LaunchToSheet(options);
        ASSERT_TRUE(sheet);
        const int expected = std::max(sheet.PositionOfLogical(row.logical), 0);
        EXPECT_EQ(expected, sheet.ActivePosition());
        const auto captions = sheet.TabCaptions();
        ASSERT_LT(static_cast<std::size_t>(expected), captions.size());
        EXPECT_EQ(captions[static_cast<std::size_t>(expected)], sheet.ActiveTabCaption());
        if (row.logical == kAboutLogicalIndex) {
            EXPECT_EQ("About", sheet.ActiveTabCaption());
        }
        app().Kill();
    }
}

// ---------------------------------------------------------------- the sheet

using SheetTest = ProgramTest;

TEST_F(SheetTest, OnlyHelpAndExitVisibleExitRightmost) {
    const Sheet sheet = LaunchToSheet({{"x"}, {ActivePageFile(SettingsLine("8"))}, ""});
    ASSERT_TRUE(sheet);
    EXPECT_EQ("Tracewick", TextOf(sheet.hwnd()));

    const HWND help = sheet.Button(kHelpButtonId);
    const HWND exit = sheet.Button(kExitButtonId);
    ASSERT_TRUE(help);
    ASSERT_TRUE(exit);
    auto visible = VisibleSheetButtons(sheet.hwnd());
    std::sort(visible.begin(), visible.end());
    std::vector<HWND> expected = {help, exit};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, visible) << "only Help and Exit may show";
    EXPECT_EQ("Exit", TextOf(exit));
    EXPECT_TRUE(IsEnabled(help));
    EXPECT_TRUE(IsEnabled(exit));

    // OK and Apply stay, hidden; Help takes Apply's place.
    ASSERT_TRUE(sheet.Button(kOkButtonId));
    ASSERT_TRUE(sheet.Button(kApplyButtonId));
    EXPECT_FALSE(IsVisible(sheet.Button(kOkButtonId)));
    EXPECT_FALSE(IsVisible(sheet.Button(kApplyButtonId)));
    const RECT help_rect = ScreenRectOf(help);
    const RECT exit_rect = ScreenRectOf(exit);
    const RECT apply_rect = ScreenRectOf(sheet.Button(kApplyButtonId));
    EXPECT_TRUE(EqualRect(&help_rect, &apply_rect));
    EXPECT_EQ(help_rect.top, exit_rect.top);
    EXPECT_LE(help_rect.right, exit_rect.left) << "Help must sit left of Exit";
    // Exit is the rightmost of all the sheet's buttons, hidden ones included.
    for (HWND button : ChildWindowsOfClass(sheet.hwnd(), "Button")) {
        if (GetParent(button) != sheet.hwnd() || button == exit) continue;
        EXPECT_LT(ScreenRectOf(button).left, exit_rect.left) << "button id " << GetDlgCtrlID(button);
    }
}

TEST_F(SheetTest, SystemMenuHasMinimizeMoveCloseAndAbout) {
    const Sheet sheet = LaunchToSheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(GetWindowLongPtrA(sheet.hwnd(), GWL_STYLE) & WS_MINIMIZEBOX);

    auto items = SystemMenuItems(sheet.hwnd());
    ASSERT_TRUE(items.has_value()) << "the system menu could not be read";
    // Wine adds its own About item to every system menu; it is not ours.
    constexpr UINT kWineAboutCommand = 0xF141;
    items->erase(std::remove_if(items->begin(), items->end(),
                                [](const MenuItem& item) { return item.id == kWineAboutCommand; }),
                 items->end());
    std::vector<UINT> commands;
    for (const MenuItem& item : *items)
        if (!item.separator()) commands.push_back(item.id);
    const std::vector<UINT> expected = {SC_RESTORE, SC_MOVE, SC_MINIMIZE, SC_CLOSE, kAboutSysCommand};
    EXPECT_EQ(expected, commands) << "no Size and no Maximize; About last";

    // A separator sets the About item apart, and the menu ends with it.
    ASSERT_GE(items->size(), 2u);
    const MenuItem& last = items->back();
    EXPECT_EQ(kAboutSysCommand, last.id);
    EXPECT_EQ("&About Tracewick...", last.text);
    EXPECT_TRUE((*items)[items->size() - 2].separator());
    EXPECT_FALSE(items->front().separator());
}

TEST_F(SheetTest, AboutBoxIsModalAndLeavesSheetUnchanged) {
    const SeedFile seeded = ActivePageFile(SettingsLine("8"));
    const Sheet sheet = LaunchToSheet({{"x"}, {seeded}, ""});
    ASSERT_TRUE(sheet);
    const int position = sheet.ActivePosition();
    const auto captions = sheet.TabCaptions();
    const RECT rect = ScreenRectOf(sheet.hwnd());

    ASSERT_TRUE(PostSysCommand(sheet.hwnd(), kAboutSysCommand));
    const HWND box = app().WaitForDialog("About Tracewick");
    ASSERT_TRUE(box);
    EXPECT_EQ(sheet.hwnd(), GetWindow(box, GW_OWNER));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(sheet.hwnd()); }, kWindowTimeoutMs))
        << "the about box must be modal";

    // Text statics only: the picture's static answers WM_GETTEXT with its
    // resource reference.
    std::vector<std::string> texts;
    HWND version_line = nullptr;
    for (HWND child : ChildWindowsOfClass(box, "Static")) {
        const LONG_PTR kind = GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK;
        if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_SIMPLE && kind != SS_LEFTNOWORDWRAP)
            continue;
        texts.push_back(TextOf(child));
        if (texts.back() == "Tracewick Version 2.0") version_line = child;
    }
    EXPECT_EQ(2u, texts.size()) << "the version line and the maker's line";
    ASSERT_TRUE(version_line) << "no version line";
    EXPECT_TRUE(GetWindowLongPtrA(version_line, GWL_STYLE) & SS_NOPREFIX);
    for (const std::string& text : texts) EXPECT_FALSE(text.empty());
    const HWND ok = GetDlgItem(box, IDOK);
    ASSERT_TRUE(IsVisible(ok));
    EXPECT_EQ("OK", TextOf(ok));

    Click(ok);
    EXPECT_TRUE(app().WaitForWindowGone(box));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(sheet.hwnd()) != FALSE; }, kWindowTimeoutMs));
    EXPECT_TRUE(app().IsRunning());
    EXPECT_TRUE(IsVisible(sheet.hwnd()));
    EXPECT_EQ(position, sheet.ActivePosition());
    EXPECT_EQ(captions, sheet.TabCaptions());
    const RECT after = ScreenRectOf(sheet.hwnd());
    EXPECT_TRUE(EqualRect(&rect, &after));
    EXPECT_FALSE(app().FindDialog()) << "no other dialog may remain";
    const auto file = app().ReadFile(kSettingsFile);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(seeded.bytes, file->bytes) << "the about box saves nothing";
}

TEST_F(SheetTest, AboutPageShowsNoticeAndPicture) {
    const Sheet sheet = LaunchToSheet({{"x"}, {ActivePageFile(SettingsLine("8"))}, ""});
    ASSERT_TRUE(sheet);
    ASSERT_EQ("About", sheet.ActiveTabCaption());
    const HWND page = sheet.ActivePage();
    const std::string notice = ControlText(page, 1058);
    EXPECT_NE(std::string::npos, notice.find("To contact"));
    EXPECT_NE(std::string::npos, notice.find("\r\n\t\t ")) << "web address line";
    EXPECT_NE(std::string::npos, notice.find("\r\n\t\t\t")) << "e-mail line";
    EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(page, 1058), GWL_STYLE) & ES_READONLY);
    ASSERT_TRUE(GetDlgItem(page, 1042));
    EXPECT_FALSE(IsVisible(GetDlgItem(page, 1042)));
    EXPECT_FALSE(IsVisible(GetDlgItem(page, 1097)));
    EXPECT_TRUE(IsVisible(GetDlgItem(page, 1098)));
}

TEST_F(SheetTest, EnterOnAboutPageDoesNothing) {
    const Sheet sheet = LaunchToSheet({{"x"}, {ActivePageFile(SettingsLine("8"))}, ""});
    ASSERT_TRUE(sheet);
    ASSERT_EQ("About", sheet.ActiveTabCaption());
    const std::string notice = ControlText(sheet.ActivePage(), 1058);

    // The default command, as the sheet receives it for Enter.
    ASSERT_TRUE(SendCommand(sheet.hwnd(), IDOK));
    EXPECT_TRUE(app().IsRunning());
    EXPECT_TRUE(IsVisible(sheet.hwnd()));
    EXPECT_EQ("About", sheet.ActiveTabCaption());
    EXPECT_EQ(notice, ControlText(sheet.ActivePage(), 1058));
    EXPECT_FALSE(app().FindDialog());

    // A real Enter, then a real Escape: had Enter closed the sheet, the
    // settings would not be written; had it opened a dialog, Escape would
    // close that and the program would stay.
    ASSERT_TRUE(SendRealKey(sheet.hwnd(), VK_RETURN)) << "the sheet did not take the foreground";
    ASSERT_TRUE(SendRealKey(sheet.hwnd(), VK_ESCAPE));
    DWORD code = 1;
    ASSERT_TRUE(app().WaitForExit(kExitTimeoutMs, &code)) << "Escape did not end the program";
    EXPECT_EQ(0u, code);
    const auto saved = app().ReadFile(kSettingsFile);
    ASSERT_TRUE(saved.has_value()) << "the sheet ended without saving: Enter closed it";
    EXPECT_EQ(SettingsLine("8"), saved->bytes);
}

// ---------------------------------------------------------------- leaving

using LeaveTest = ProgramTest;

TEST_F(LeaveTest, ExitCloseAndEscapeSaveActivePage) {
    enum class Way { ExitButton, SysClose, PostedEscape, RealEscape };
    struct Row {
        const char* name;
        Way way;
        bool seeded;  // an older hidden file to replace, About recorded in it
    };
    const std::vector<Row> rows = {
        {"Exit button over a hidden file", Way::ExitButton, true},
        {"Exit button, first run", Way::ExitButton, false},
        {"Close from the system menu", Way::SysClose, true},
        {"Escape key, posted", Way::PostedEscape, true},
        {"Escape key, real", Way::RealEscape, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LaunchOptions options;
        // The first line chooses the start page; the rest must not survive.
        if (row.seeded) options.files = {ActivePageFile(SettingsLine("8") + "stale line\r\r\n")};
        const Sheet sheet = LaunchToSheet(options);
        ASSERT_TRUE(sheet);
        const int active = sheet.ActiveLogicalIndex();
        ASSERT_GE(active, 0) << "unknown tab " << sheet.ActiveTabCaption();
        if (row.seeded) {
            EXPECT_EQ(kAboutLogicalIndex, active);
        }

        switch (row.way) {
            case Way::ExitButton: ASSERT_TRUE(PostClick(sheet.Button(kExitButtonId))); break;
            case Way::SysClose: ASSERT_TRUE(PostSysCommand(sheet.hwnd(), SC_CLOSE)); break;
            case Way::PostedEscape: {
                const HWND focus = FocusWindowOf(sheet.hwnd());
                ASSERT_TRUE(PostKey(focus ? focus : sheet.hwnd(), VK_ESCAPE));
                break;
            }
            case Way::RealEscape: ASSERT_TRUE(SendRealKey(sheet.hwnd(), VK_ESCAPE)); break;
        }
        DWORD code = 1;
        ASSERT_TRUE(app().WaitForExit(kExitTimeoutMs, &code)) << "the program did not end";
        EXPECT_EQ(0u, code);
        const auto saved = app().ReadFile(kSettingsFile);
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(SettingsLine(std::to_string(active)), saved->bytes);
        EXPECT_TRUE(saved->hidden());
    }
}

// ---------------------------------------------------------------- help

using HelpTest = ProgramTest;

TEST_F(HelpTest, OpensAtActivePageTopicAndClosesWithSheet) {
    struct Row {
        int logical;
        const char* heading;
    };
    const std::vector<Row> rows = {{kAboutLogicalIndex, "About page"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.heading);
        const Sheet sheet = LaunchToSheet({{"x"}, {ActivePageFile(SettingsLine(std::to_string(row.logical)))}, ""});
        ASSERT_TRUE(sheet);
        if (sheet.PositionOfLogical(row.logical) < 0) {
            app().Kill();
            continue;  // this build has no such page yet
        }
        ASSERT_EQ(sheet.PositionOfLogical(row.logical), sheet.ActivePosition());

        const auto is_help = [](HWND hwnd) { return TextOf(hwnd) == "Tracewick Help"; };
        ASSERT_TRUE(PostClick(sheet.Button(kHelpButtonId)));
        const HWND help = app().WaitForWindow(is_help);
        ASSERT_TRUE(help);
        EXPECT_FALSE(GetWindowLongPtrA(help, GWL_STYLE) & WS_CHILD) << "a top-level window";
        const HWND text = GetDlgItem(help, 1000);
        ASSERT_TRUE(text);
        const LONG_PTR style = GetWindowLongPtrA(text, GWL_STYLE);
        EXPECT_TRUE(style & ES_READONLY);
        EXPECT_TRUE(style & ES_MULTILINE);

        const auto first_line_text = [&] {
            const std::string whole = PaneText(text);
            const LRESULT line = SendMessageA(text, EM_GETFIRSTVISIBLELINE, 0, 0);
            const LRESULT start = SendMessageA(text, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
            return start < 0 ? std::string() : LineAt(whole, static_cast<std::size_t>(start));
        };
        EXPECT_TRUE(WaitUntil([&] { return first_line_text() == row.heading; }, kWindowTimeoutMs, app().process()))
            << "first visible line: \"" << first_line_text() << "\"";

        // A second press reuses the window.
        ASSERT_TRUE(PostClick(sheet.Button(kHelpButtonId)));
        EXPECT_TRUE(WaitUntil([&] { return first_line_text() == row.heading; }, kWindowTimeoutMs, app().process()));
        EXPECT_EQ(1u, TopLevelWindows(app().pid(), nullptr, "Tracewick Help").size());

        ASSERT_TRUE(PostClick(sheet.Button(kExitButtonId)));
        EXPECT_TRUE(app().WaitForWindowGone(help));
        EXPECT_TRUE(app().WaitForExit(kExitTimeoutMs));
        EXPECT_FALSE(IsWindow(help));
    }
}

// ---------------------------------------------------------------- version resource

TEST(VersionResourceTest, FieldsMatchTheRelease) {
    const std::string exe = TracewickExePath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << exe;
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(MAKELONG(0, 2), static_cast<LONG>(fixed->dwFileVersionMS));
    EXPECT_EQ(MAKELONG(0, 1), static_cast<LONG>(fixed->dwFileVersionLS));
    EXPECT_EQ(MAKELONG(0, 2), static_cast<LONG>(fixed->dwProductVersionMS));
    EXPECT_EQ(MAKELONG(0, 1), static_cast<LONG>(fixed->dwProductVersionLS));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0409, translation[0]) << "US English";
    EXPECT_TRUE(translation[1] == 1200 || translation[1] == 1252) << "code page " << translation[1];

    char prefix[64];
    wsprintfA(prefix, "\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    const std::pair<const char*, const char*> fields[] = {
        {"FileVersion", "2, 0, 1, 0"},       {"ProductVersion", "2, 0, 1, 0"},
        {"FileDescription", "Tracewick"},    {"InternalName", "Tracewick"},
        {"ProductName", "Tracewick Application"}, {"OriginalFilename", "Tracewick.exe"},
    };
    for (const auto& [name, expected] : fields) {
        SCOPED_TRACE(name);
        char* value = nullptr;
        const std::string path = std::string(prefix) + name;
        ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_STREQ(expected, value);
    }
}

}  // namespace
}  // namespace tracewick::ui
