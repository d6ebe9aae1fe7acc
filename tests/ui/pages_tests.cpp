// The pages that run their commands on a worker (Ping, Trace Route, Lookup,
// ARP, NetBIOS, Connections) as scenarios: one row per behaviour, played on
// each page it names against the stand-in commands (tests/fake) from a
// private bin folder.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>

#include "framework/wide_text.h"
#include "pane/pane_menu.h"
#include "tests/fake/bulk_text.h"
#include "tests/ui/program_test.h"

namespace tracewick::ui {
namespace {

// A page as the rows see it: host pages have room for a host, the others none.
struct PageCase {
    const char* name;        // its tab caption
    char letter;             // runs it from the command line
    int index;               // in the sheet, as actpage.dat holds it
    const char* command;     // the first it runs
    const char* args;        // before the host, with the default options
    std::size_t room;        // host characters that fit with them
    int pane;
    const char* cancelled;
    const char* file;
    std::vector<std::string> defaults;  // the settings file's lines with the defaults
    const char* first_run;              // what the stand-in's "args" shows with them
    int options = 0;                    // the button that opens its options dialog
    std::vector<int> option_fields = {};  // in the order rows give values
};

const PageCase kPages[] = {
    {"Ping", 'P', 0, "ping", "-w 300 -n 4 -l 32 ", 81, IDC_PANE, "Ping cancelled", "ping.dat",
     {"4", "300", "0", "32", "FALSE"}, "$CMDlocalhost\r\n", IDC_PING_OPTIONS,
     {IDC_PING_COUNT, IDC_PING_TIMEOUT, IDC_PING_REPEAT, IDC_PING_PACKET_SIZE}},
    {"Trace Route", 'T', 1, "tracert", "-d -w 300 -h 20 ", 80, IDC_TRACERT_PANE, "Tracert cancelled", "tracert.dat",
     {"20", "300", "FALSE", "FALSE"}, "$CMDlocalhost\r\n", IDC_TRACERT_OPTIONS,
     {IDC_TRACERT_TIMEOUT, IDC_TRACERT_HOPS, IDC_TRACERT_RESOLVE}},
    {"Lookup", 'L', 2, "lookup", "", 97, IDC_PANE, "Lookup cancelled", "lookup.dat", {"FALSE", "", "localhost"},
     "$CMDlocalhost\r\n"},
    {"ARP", 'A', 4, "arp", "-a ", 0, IDC_PANE, "ARP cancelled", "arp.dat", {"TRUE", "", "FALSE"}, "$CMD\r\n"},
    {"NetBIOS", 'N', 5, "net", "config workstation", 0, IDC_NET_PANE, "NetBIOS cancelled", "netbios.dat",
     {"", "TRUE", "FALSE", "FALSE", "FALSE"}, "$CMD\r\n\"$BIN\\net.exe\" view\r\n"},
    {"Connections", 'C', 6, "netstat", "-a", 0, IDC_NET_PANE, "Connect cancelled", "connect.dat",
     {"TRUE", "TRUE", "TRUE", "FALSE", "FALSE"}, "$CMD\r\n"},
    {"Routes", 'R', 3, "route", "print ", 0, IDC_NET_PANE, "", "routes.dat", {"", "FALSE"}, "$CMD\r\n"},
    {"Statistics", 'S', 7, "netstat", "-e", 0, IDC_PANE, "", "netstat.dat",
     {"TRUE", "FALSE", "FALSE", "FALSE", "FALSE", "FALSE"}, "\r\n$CMD\r\n"},
};

enum class Do {
    kType,       // a into the host field, the focus left where it is
    kTypeLeave,  // a into the host field as a user types: focus in (caret at the start), type, leave
    kRun,        // a click on Run
    kEnter,      // the sheet's default command, as the Enter key gives it
    kRefused,    // Run; a message box says a, nothing runs and the sheet stays
    kNoExit,     // Exit; as kRefused
    kExitTold,   // Exit; a message box says a, and after OK the program ends with 0
    kCancel,
    kCumulative,  // a click on the Cumulative box
    kPage,       // the page with caption a becomes the active one
    kOptions,    // the options dialog given values a ('|' between), then OK
    kShown,      // the options dialog shows a, then Cancel
    kWaitText,   // until the pane holds a (b times, when given)
    kWaitEnd,    // until Run is enabled again (a: milliseconds)
    kMark,       // the time
    kElapsed,    // since the mark, between a and b milliseconds
    kShorter,    // until the pane holds fewer than a characters
    kPane,       // the whole pane is a, headers masked
    kPaneLike,   // the masked pane matches the pattern a
    kEnabled,    // Run and Cancel: a is "10" for Run enabled, Cancel disabled
    kQuiet,      // for a milliseconds, the pane and Run stay as they are
    kIdle,       // nothing runs from the bin folder; a: "busy" for the command running
    kList,       // every host page lists a ('|' between)
    kHost,       // every host page but the active one shows a
    kLeave,      // "exit", "close" or "escape"
    kRestart,
    kFile,       // file a holds b and is hidden, not read-only
    kFileBytes,  // file a holds b, headers masked
    kClick,      // a click on each control with the ids a ('|' between), in turn
    kChecked,    // the boxes with ids a are checked, those with ids b not ('|' between)
    kField,      // a into the text field, the focus left there
    kFieldIs,    // the text field shows a, with the caret at b when given
    kOtherPane,  // until pane 1031 of the page with caption a is b, headers masked
    kStart,      // a click on Run, posted: the driver goes on while a page without Cancel runs
    kTabClick,   // a mouse click on the tab with caption a
    kActive,     // the page with caption a is the active one
    kCopy,       // with b ("from|to") selected first: a "menu" Copy, "key" Ctrl+C or "all" Ctrl+A Ctrl+C
    kSaveAs,     // the pane's Save As, into file a, offered under the page's name; b "repeat": held open
                 // until a repeat gives the page a fresh pane, the file holds what the pane showed
    kCopyHeld,   // Ctrl+C while the driver holds the clipboard: a message box says a
    kRemember,   // the bytes of file a, for kSame
    kSame,       // file a holds what kRemember saw
    kPrint,      // a click on Print; a: "none" opens no dialog, "cancel" prints nothing, "fail": the job
                 // cannot be delivered and OK shows b; else OK gives a job of a sheets titled b
    kPrinted,    // the last print job draws the glyphs named a ('|' between), one after the other
};

struct Step {
    Do what;
    std::string a = {}, b = {};
};

struct Row {
    const char* name;
    const char* pages;         // the letters of the pages it is played on
    const char* script;        // the first command's; null: a file that is no program
    std::vector<Step> steps;
    std::vector<SeedFile> files = {};
    std::vector<std::string> args = {"x"};
    Spawner spawner = Spawner::kReal;
    const char* spawner_script = "";
    std::vector<std::pair<std::string, std::string>> more = {};  // other commands: name, script
};

// Controls as a step names them: their ids, '|' between.
std::string Ids(const std::vector<int>& ids) {
    std::string text;
    for (const int id : ids) text += (text.empty() ? "" : "|") + std::to_string(id);
    return text;
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; !text.empty() && end != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, (end = text.find('|', start)) == std::string::npos ? end : end - start));
    return parts;
}

// A text value of the registry; empty when there is none.
std::string Registry(HKEY root, const char* key, const char* value) {
    char text[MAX_PATH] = {};
    DWORD size = sizeof text;
    RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}
std::string Upper(std::string text) { return CharUpperA(text.data()), text; }

const std::string kBulk = fake::BulkText(2097152);

std::string RandomBytes(std::size_t count) {
    std::mt19937 random(7);
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}
const std::string kOutLines = [script = std::string()]() mutable {
    for (int line = 1; line <= 130; ++line) script += "out line " + std::to_string(line) + "\n";
    return script;
}();
// ping.dat as the settings rows seed it, and as options 5|400|0|64 leave it.
const std::string kPing9 = SettingsLines({"9", "400", "0", "64", "FALSE"});
const std::string kPing5 = SettingsLines({"5", "400", "0", "64", "FALSE"});
const std::string kWriteError = "Tracewick could not save its settings to ping.dat. The previous settings in that file are kept.";

// A page's own choices, made with Cumulative Output: saved on leaving, shown
// at the next start; Defaults then put back all but Cumulative Output.
struct SavedChoices {
    const char* page;                  // its letter
    std::vector<int> clicks;           // the choices
    const char* field;                 // typed into the text field, or null
    const char* leave;
    std::vector<std::string> file;     // the page's file then holds these lines
    std::vector<int> on, off;          // at the next start, beside Cumulative Output
    const char* shown;                 // in the text field then
    std::vector<int> default_on, default_off;
};

Row Saved(const SavedChoices& saved) {
    const auto ids = [](std::vector<int> list, bool cumulative) {
        if (cumulative) list.push_back(IDC_CUMULATIVE);
        return Ids(list);
    };
    std::vector<Step> steps = {{Do::kCumulative}};
    steps.push_back({Do::kClick, Ids(saved.clicks)});
    if (saved.field) steps.push_back({Do::kField, saved.field});
    steps.insert(steps.end(), {{Do::kLeave, saved.leave}, {Do::kFile, "$FILE", SettingsLines(saved.file)}, {Do::kRestart},
                               {Do::kChecked, ids(saved.on, true), ids(saved.off, false)}});
    if (saved.shown) steps.push_back({Do::kFieldIs, saved.shown});
    steps.insert(steps.end(), {{Do::kClick, Ids({IDC_DEFAULTS})},
                               {Do::kChecked, ids(saved.default_on, true), ids(saved.default_off, false)}});
    if (saved.shown) steps.push_back({Do::kFieldIs, ""});
    return {"its choices are saved, read at the next start, and Defaults keep Cumulative Output", saved.page, "", steps};
}

const std::vector<Row> kRows = {
    // ---------------------------------------------------------------- runs
    {"output streams under the header, stderr too, a line split over chunks", "PTL",
     "args\nout one\nsleep 300\nerr two\nsleep 200\nraw three\nsleep 200\nraw  split\\r\\n\n",
     {{Do::kEnabled, "10"}, {Do::kRun}, {Do::kEnabled, "01"}, {Do::kWaitEnd}, {Do::kEnabled, "10"},
      {Do::kPane, "<header>\r\n$CMDlocalhost\r\none\r\ntwo\r\nthree split\r\n$END"}}},
    {"a letter opens the page and runs it", "PTLANCRS", "args\n",
     {{Do::kWaitText, "End of Data"}, {Do::kPane, "<header>\r\n$FIRST$END"}}, {}, {"$LETTER"}},
    {"leading blanks go, trailing stay; Enter runs the page", "PTL", "args\n",
     {{Do::kType, " \tgw  "}, {Do::kEnter}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\n$CMDgw  \r\n$END"}}},
    {"a host too long, with a double quote or like an option is refused; one filling the line runs", "PTL", "args\n",
     {{Do::kType, "$OVER"},
      {Do::kRefused, "The host name is too long. With the current options it may be at most $ROOM characters long; "
                     "it has $ROOM+1."},
      {Do::kType, "local\"host"}, {Do::kRefused, "The host name cannot contain a double quote (\")."},
      {Do::kType, " /n"}, {Do::kRefused, "The host name cannot begin with - or /: the command would take it for an option."},
      {Do::kPane, ""}, {Do::kEnabled, "10"},
      {Do::kType, "$FULL"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\n$CMD$FULL\r\n$END"}}},
    // Longer than the ANSI list messages can carry under Wine: it used to crash the program.
    {"a 600-character host is refused, listed, and Close saves the list", "P", "",
     {{Do::kType, std::string(600, 'h')}, {Do::kRefused, "The host name is too long. With the current options it may "
                                                         "be at most 81 characters long; it has 600."},
      {Do::kList, std::string(600, 'h') + "|localhost"}, {Do::kLeave, "close"},
      {Do::kFile, "lookup.dat", SettingsLines({"FALSE", std::string(600, 'h'), std::string(600, 'h'), "localhost"})}}},
    {"a host with a line break runs and is saved without it", "PTL", "args\n",
     {{Do::kType, "gw\r\nsecond"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\n$CMDgwsecond\r\n$END"},
      {Do::kLeave, "close"}, {Do::kFile, "lookup.dat", SettingsLines({"FALSE", "gwsecond", "gwsecond", "localhost"})}}},
    {"hosts that differ only in case, by the locale, are one entry", "P", "",
     {{Do::kType, "\xC4rzte"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kType, "\xE4RZTE"}, {Do::kRun}, {Do::kWaitEnd},
      {Do::kList, "\xC4rzte|localhost"}}},
    {"Run commits the typed host to every list", "PTL", "",
     {{Do::kType, "zulu.test"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kList, "localhost|zulu.test"},
      {Do::kType, "LocalHost"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kList, "localhost|zulu.test"}}},
    // Cancel right after Run, twenty times, each as soon as the click on Run is handled: every run
    // ends once, and a late time-out or end line of any of them would show during the quiet.
    {"Cancel at once after Run ends each run once", "P", "out hello\nsleep 8000\n", [steps = std::vector<Step>()]() mutable {
         for (int run = 0; run < 20; ++run)
             steps.insert(steps.end(), {{Do::kRun}, {Do::kCancel}, {Do::kWaitEnd, "6000"},
                                        {Do::kPaneLike, "<header>\r\n(hello\r\n)?$CANCEL"}});
         steps.insert(steps.end(), {{Do::kQuiet, "3500"}, {Do::kIdle}});
         return steps;
     }()},
    {"cancel during a run ends it once", "PTLAN", "out first\nsleep 10000\nout never\n",
     {{Do::kRun}, {Do::kWaitText, "first"}, {Do::kIdle, "busy"}, {Do::kMark}, {Do::kCancel}, {Do::kWaitEnd},
      {Do::kElapsed, "0", "2500"}, {Do::kPane, "<header>\r\nfirst\r\n$CANCEL"}, {Do::kEnabled, "10"}, {Do::kIdle}}},
    {"a missing spawner is said in the pane", "PTLANCR", "",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPaneLike, "<header>\r\n(Tracewick could not start conspawn\\.exe: .+\r\n)+$END"}},
     {}, {"x"}, Spawner::kMissing},
    {"a command that cannot start is said in the pane", "PTLANCR", nullptr,
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPaneLike, "<header>\r\n(conspawn: cannot start \"$NAME\": .+\r\n)+$END"}}},
    {"Trace Route names the host the command could not resolve", "T",
     "raw Unable to resolve target system name -d.\\r\\r\\n\n",
     {{Do::kType, "gw"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\nUnable to resolve target system name gw$END"}}},

    // ---------------------------------------------------------------- the pane
    {"a NUL byte is dropped and the rest of its chunk kept", "P", "raw abc\\0kept\\r\\n\nsleep 300\nout next\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\nabckept\r\nnext\r\n$END"}}},
    {"CR CR LF is one line end, also split over chunks and where the end line completes it", "P",
     "raw one\\r\\r\\nsplit\\r\nsleep 300\nraw \\r\\nlast line\\r\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\none\r\nsplit\r\nlast line$END"}}},
    {"2 MB arrive whole", "P", "bulk 2097152\n",
     {{Do::kRun}, {Do::kWaitEnd, "240000"}, {Do::kPane, "<header>\r\n" + kBulk + "$END"}}},
    {"a pane of 8 MB is cleared for the next run within seconds", "P", "bulk 8388608\n",
     {{Do::kRun}, {Do::kWaitEnd, "400000"}, {Do::kMark}, {Do::kRun}, {Do::kShorter, "100000"}, {Do::kElapsed, "0", "5000"},
      {Do::kCancel}, {Do::kWaitEnd}}},
    {"cumulative keeps the earlier run after a blank line", "P", "out reply\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kRun}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\nreply\r\n$END\r\n\r\n<header>\r\nreply\r\n$END"}},
     {{"ping.dat", SettingsLines({"4", "300", "0", "32", "TRUE"}), FILE_ATTRIBUTE_HIDDEN}}},

    // ---------------------------------------------------------------- races, once each
    {"a spawner that ignores the stop request is cut off after 3 s", "PN", "",
     {{Do::kRun}, {Do::kWaitText, "started"}, {Do::kMark}, {Do::kCancel}, {Do::kWaitEnd}, {Do::kElapsed, "2500", "6000"},
      {Do::kPane, "<header>\r\nstarted\r\n$CANCEL"}, {Do::kIdle}, {Do::kQuiet, "1000"}},
     {}, {"x"}, Spawner::kStandIn, "out started\nsleep 30000\n"},
    {"Exit during a run ends its command too and still saves", "PTLANC", "out started\nsleep 30000\n",
     {{Do::kRun}, {Do::kWaitText, "started"}, {Do::kIdle, "busy"}, {Do::kLeave, "exit"}, {Do::kIdle},
      {Do::kFile, "actpage.dat", "$INDEX\r\r\n"}}},
    {"Close during a run of a spawner that ignores the stop request ends it too", "P", "",
     {{Do::kRun}, {Do::kWaitText, "started"}, {Do::kLeave, "close"}, {Do::kIdle}},
     {}, {"x"}, Spawner::kStandIn, "out started\nsleep 30000\n"},
    // The spawner ends just as the cancel time-out fires: two end lines race.
    {"an older run's end line never lands in a newer run", "P", "",
     {{Do::kRun}, {Do::kWaitText, "started"}, {Do::kCancel}, {Do::kWaitEnd}, {Do::kQuiet, "500"},
      {Do::kPane, "<header>\r\nstarted\r\n$CANCEL"}, {Do::kRun}, {Do::kWaitText, "started"}, {Do::kQuiet, "1000"},
      {Do::kPane, "<header>\r\nstarted\r\n"}, {Do::kWaitEnd}, {Do::kQuiet, "1000"},
      {Do::kPane, "<header>\r\nstarted\r\n$END"}},
     {}, {"x"}, Spawner::kStandIn, "out started\nsleep 3030\n"},
    {"Ping repeats after its interval until cancelled during the countdown", "P", "out reply\n",
     {{Do::kOptions, "4|300|1|32"}, {Do::kCumulative}, {Do::kRun}, {Do::kWaitText, "\r\nPing repeats in 1 seconds"},
      {Do::kEnabled, "01"}, {Do::kWaitText, "Ping repeats in 1 seconds", "2"}, {Do::kCancel}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\nreply\r\n$END\r\nPing repeats in 1 seconds\r\n\r\n<header>\r\nreply\r\n$END"
                  "\r\nPing repeats in 1 seconds\r\nRepeat Ping cancelled\r\n"}, {Do::kQuiet, "1500"}}},

    // ---------------------------------------------------------------- settings
    {"the defaults are saved on Exit", "PTLANCRS", "",
     {{Do::kLeave, "exit"}, {Do::kFile, "$FILE", "$DEFAULTS"}, {Do::kFile, "actpage.dat", "$INDEX\r\r\n"}}},
    {"Close commits the typed host, saves it and the next session starts with it", "PTL", "",
     {{Do::kType, "  delta.test"}, {Do::kLeave, "close"},
      {Do::kFile, "lookup.dat", SettingsLines({"FALSE", "delta.test", "delta.test", "localhost"})}, {Do::kRestart},
      {Do::kList, "delta.test|localhost"}, {Do::kHost, "delta.test"}}},
    {"Ping options are saved on Exit and read at the next start", "P", "",
     {{Do::kOptions, "7|1500|12|100"}, {Do::kCumulative}, {Do::kLeave, "exit"},
      {Do::kFile, "ping.dat", SettingsLines({"7", "1500", "12", "100", "TRUE"})}, {Do::kRestart}, {Do::kShown, "7|1500|12|100"}}},
    {"Trace Route options are saved on Close from the About page", "T", "",
     {{Do::kOptions, "2500|45|0"}, {Do::kCumulative}, {Do::kPage, "About"}, {Do::kLeave, "close"},
      {Do::kFile, "tracert.dat", SettingsLines({"45", "2500", "FALSE", "TRUE"})}, {Do::kFile, "actpage.dat", "8\r\r\n"}}},
    {"a read-only settings file is replaced", "P", "",
     {{Do::kShown, "9|400|0|64"}, {Do::kOptions, "5|400|0|64"}, {Do::kLeave, "exit"}, {Do::kFile, "ping.dat", kPing5}},
     {{"ping.dat", kPing9, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY}}},
    {"where no temporary file can be made the file is written in place", "P", "",
     {{Do::kOptions, "5|400|0|64"}, {Do::kLeave, "exit"}, {Do::kFile, "ping.dat", kPing5}, {Do::kFile, "actpage.dat", "0\r\r\n"}},
     {{"ping.dat", kPing9, FILE_ATTRIBUTE_HIDDEN}, {"ping.dat.new", "", 0, SeedFile::kFolder}}},
    {"a file that cannot be replaced is passed over and named; Exit still ends", "P", "",
     {{Do::kOptions, "5|400|0|64"}, {Do::kExitTold, kWriteError},
      {Do::kFile, "tracert.dat", SettingsLines({"20", "300", "FALSE", "FALSE"})}, {Do::kFile, "actpage.dat", "0\r\r\n"}},
     {{"ping.dat", "", 0, SeedFile::kFolder}, {"tracert.dat", "", FILE_ATTRIBUTE_HIDDEN}}},
    {"a folder in actpage.dat's place: every other file is written, Exit ends", "P", "",
     {{Do::kExitTold, "Tracewick could not save its settings to actpage.dat. The previous settings in that file are kept."},
      {Do::kFile, "ping.dat", "$DEFAULTS"}, {Do::kFile, "lookup.dat", SettingsLines({"FALSE", "", "localhost"})}},
     {{"actpage.dat", "", 0, SeedFile::kFolder}}},
    // ---------------------------------------------------------------- damaged settings files
    // What is read is written back as it was read: Exit ends, the next start reads it again.
    {"a stray CR in the routes address goes when read", "R", "",
     {{Do::kFieldIs, "10.0.0.1"}, {Do::kLeave, "exit"}, {Do::kFile, "routes.dat", SettingsLines({"10.0.0.1", "TRUE"})},
      {Do::kRestart}, {Do::kFieldIs, "10.0.0.1"}, {Do::kChecked, Ids({IDC_CUMULATIVE})}},
     {{"routes.dat", "10.0.\r0.1\r\r\nTRUE\r\r\n"}}},
    {"a stray CR in the NetBIOS computer name goes when read", "N", "",
     {{Do::kFieldIs, "PCX"}, {Do::kLeave, "exit"},
      {Do::kFile, "netbios.dat", SettingsLines({"PCX", "TRUE", "FALSE", "TRUE", "FALSE"})}, {Do::kRestart},
      {Do::kFieldIs, "PCX"}, {Do::kChecked, Ids({IDC_WORKGROUP, IDC_NAME_TABLE}), Ids({IDC_RESOURCES})}},
     {{"netbios.dat", "PC\rX\r\r\nTRUE\r\r\nFALSE\r\r\nTRUE\r\r\nFALSE\r\r\n"}}},
    {"ping.dat with CR line ends reads every value", "P", "",
     {{Do::kShown, "7|1500|12|100"}, {Do::kLeave, "exit"}, {Do::kFile, "ping.dat", SettingsLines({"7", "1500", "12", "100", "TRUE"})}},
     {{"ping.dat", "7\r1500\r12\r100\rTRUE\r"}}},
    {"lookup.dat of 64 KB of random bytes", "P", "",
     {{Do::kLeave, "exit"}, {Do::kRemember, "lookup.dat"}, {Do::kRestart}, {Do::kLeave, "exit"}, {Do::kSame, "lookup.dat"}},
     {{"lookup.dat", RandomBytes(65536)}}},
    {"a write error keeps the old file, names it and the sheet stays open", "P", "",
     {{Do::kOptions, "5|400|0|64"}, {Do::kNoExit, kWriteError}, {Do::kFileBytes, "ping.dat", kPing9}},
     {{"ping.dat", kPing9, FILE_ATTRIBUTE_HIDDEN}, {"ping.dat.new", "", 0, SeedFile::kFullDevice}}},

    // ---------------------------------------------------------------- the host list
    {"a host left by the focus joins every list and shows on the other pages", "P", "",
     {{Do::kList, "localhost"}, {Do::kHost, ""},
      {Do::kTypeLeave, "  Zulu.test  "}, {Do::kList, "localhost|Zulu.test  "}, {Do::kHost, "Zulu.test  "},
      {Do::kPage, "Trace Route"}, {Do::kTypeLeave, "alpha"}, {Do::kHost, "alpha"},
      {Do::kPage, "Lookup"}, {Do::kTypeLeave, "Mike"}, {Do::kList, "alpha|localhost|Mike|Zulu.test  "},
      {Do::kPage, "Ping"}, {Do::kTypeLeave, "ALPHA"}, {Do::kHost, "alpha"},
      {Do::kPage, "Lookup"}, {Do::kTypeLeave, "\tzulu.TEST  "}, {Do::kHost, "Zulu.test  "},
      {Do::kTypeLeave, "Mik"}, {Do::kList, "alpha|localhost|Mik|Mike|Zulu.test  "},
      {Do::kPage, "Trace Route"}, {Do::kTypeLeave, " \t "}, {Do::kHost, ""},
      {Do::kList, "alpha|localhost|Mik|Mike|Zulu.test  "}}},
    // Trace Route and Lookup get their windows after the list is read: each
    // shows it as the combo box's own sorting would, ties and all.
    {"lookup.dat's list keeps the combo's order for case twins and punctuation", "P", "",
     {{Do::kList, "a b|Arzt|\xE4rzte|Beta|beta|beta|co_op|coop|COOP|Coop|co-op|coop.|localhost|zeta"},
      {Do::kHost, "coop"}, {Do::kLeave, "exit"},
      {Do::kFile, "lookup.dat", SettingsLines({"FALSE", "coop", "a b", "Arzt", "\xE4rzte", "Beta", "beta", "beta",
                                               "co_op", "coop", "COOP", "Coop", "co-op", "coop.", "localhost", "zeta"})}},
     {{"lookup.dat", SettingsLines({"FALSE", "coop", "zeta", "co-op", "Coop", "coop", "co_op", "COOP", "beta", "Beta",
                                    "beta", "\xE4rzte", "a b", "Arzt", "localhost", "coop."}), FILE_ATTRIBUTE_HIDDEN}}},
    // ---------------------------------------------------------------- ARP, NetBIOS, Connections
    {"ARP runs its three shapes and rewrites arp's errors where they stand", "A",
     "args\nraw before\\r\\narp: bad argument: x\\r\\n\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\n$CMD\r\nbefore\r\nInvalid IP address x\r\n$END"},
      {Do::kField, " \t10.0.0.9 "}, {Do::kClick, Ids({IDC_BY_INTERFACE})}, {Do::kRun}, {Do::kWaitEnd},
      {Do::kFieldIs, "10.0.0.9 "},
      {Do::kPane, "<header>\r\n$CMD-n 10.0.0.9 \r\nbefore\r\nInvalid interface  x\r\n$END"},
      {Do::kField, "10.0\"1"}, {Do::kRefused, "The address cannot contain a double quote (\")."}}},
    {"Connections runs three commands in turn, heads the last and shows whole lines", "C",
     "args\nraw \\xC4\\xC4\\xC4\\r\\nsplit li\nsleep 300\nraw ne\\n\n",
     {{Do::kClick, Ids({IDC_BY_NUMBER, IDC_OPTION_NETBIOS})}, {Do::kRun}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\n\"$BIN\\netstat.exe\" -n -a\r\n" + std::string(78, '-') + "\r\nsplit line\r\n"
                  "\"$BIN\\nbtstat.exe\" -S\r\nNetBIOS services are unavailable.\r\n"
                  "\r\n\r\nConnected NetBIOS Shared Resources\r\n\r\n\"$BIN\\net.exe\" use\r\nNo entries.$END"}},
     {}, {"x"}, Spawner::kReal, "", {{"nbtstat", "args\nout Failed to access NBT driver 1 at all\n"},
                                     {"net", "args\nraw Error 3787: No entries."}}},
    {"Connections refuses a run with no protocol", "C", "",
     {{Do::kClick, Ids({IDC_OPTION_TCP, IDC_OPTION_UDP})},
      {Do::kRefused, "No options were selected for this command.\r\n Please select one or more of the options:\r\n "
                     "TCP, UDP, NetBIOS."}, {Do::kPane, ""}}},
    {"a cancel during the first of three commands starts no other", "C", "out first\nsleep 10000\n",
     {{Do::kClick, Ids({IDC_OPTION_NETBIOS})}, {Do::kRun}, {Do::kWaitText, "first"}, {Do::kIdle, "busy"}, {Do::kCancel},
      {Do::kWaitEnd},
      {Do::kPane, "<header>\r\nfirst\r\n$CANCEL"}, {Do::kIdle}},
     {}, {"x"}, Spawner::kReal, "", {{"nbtstat", "out never\n"}, {"net", "out never\n"}}},
    {"NetBIOS asks about this computer by its registry name and shortens net's lines", "N",
     "args\nout The command completed successfully.\nout Error 53: The path was not found.\n"
     "out There are no entries in the list.\n",
     {{Do::kClick, Ids({IDC_RESOURCES, IDC_NAME_TABLE})}, {Do::kRun}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\n$CMD\r\n$NET\"$BIN\\net.exe\" view\r\n$NET\"$BIN\\net.exe\" view \\\\$COMPUTER\r\n$NET"
                  "\"$BIN\\nbtstat.exe\" -c\r\n\"$BIN\\nbtstat.exe\" -a $COMPUTER\r\n$END"}},
     {}, {"x"}, Spawner::kReal, "", {{"nbtstat", "args\n"}}},
    {"NetBIOS refuses a forbidden character with the caret before it, and an option; hyphens pass", "N", "args\n",
     {{Do::kClick, Ids({IDC_RESOURCES})}, {Do::kField, " ab-c.d"},
      {Do::kRefused, "User entered computer name is invalid.\r\n Cannot perform NetBIOS request"},
      {Do::kFieldIs, "AB-C.D", "4"}, {Do::kField, "-R"},
      {Do::kRefused, "The computer name cannot begin with - or /: the command would take it for an option."},
      {Do::kField, "ab-c_d"}, {Do::kClick, Ids({IDC_WORKGROUP})}, {Do::kRun}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\n\"$BIN\\net.exe\" view \\\\AB-C_D\r\n$END"}}},
    {"NetBIOS names the computer of the run, whatever the field holds meanwhile", "N",
     "args\nsleep 1000\nout There are no entries in the list.\n",
     {{Do::kClick, Ids({IDC_WORKGROUP, IDC_RESOURCES})}, {Do::kField, "alpha"}, {Do::kRun}, {Do::kField, "beta"},
      {Do::kCumulative}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\n\"$BIN\\net.exe\" view \\\\ALPHA\r\nNo shared resources at ALPHA\r\n$END"}}},
    {"NetBIOS with only Workgroup neither reads nor changes the field", "N", "args\n",
     {{Do::kField, " lower"}, {Do::kEnter}, {Do::kWaitEnd}, {Do::kFieldIs, " lower"}}},
    {"two pages run at once, each into its own pane", "C", "out first\nsleep 1500\nout second\n",
     {{Do::kRun}, {Do::kWaitText, "first"}, {Do::kPage, "ARP"}, {Do::kRun}, {Do::kPage, "Connections"}, {Do::kWaitEnd},
      {Do::kPane, "<header>\r\nfirst\r\nsecond\r\n$END"}, {Do::kOtherPane, "ARP", "<header>\r\narp line\r\n$END"}},
     {}, {"x"}, Spawner::kReal, "", {{"arp", "out arp line\n"}}},
    // ---------------------------------------------------------------- each page's own choices
    // Close commits the field as its focus loss does; netstat.dat keeps its own line order.
    Saved({"A", {IDC_BY_INTERFACE}, "  10.1.1.1", "close", {"FALSE", "10.1.1.1", "TRUE"},
           {IDC_BY_INTERFACE}, {IDC_BY_DESTINATION}, "10.1.1.1", {IDC_BY_DESTINATION}, {IDC_BY_INTERFACE}}),
    Saved({"N", {IDC_RESOURCES, IDC_NAME_TABLE}, " srv", "close", {"SRV", "TRUE", "TRUE", "TRUE", "TRUE"},
           {IDC_WORKGROUP, IDC_RESOURCES, IDC_NAME_TABLE}, {}, "SRV", {IDC_WORKGROUP}, {IDC_RESOURCES, IDC_NAME_TABLE}}),
    Saved({"C", {IDC_BY_NUMBER, IDC_OPTION_TCP, IDC_OPTION_NETBIOS}, nullptr, "exit", {"FALSE", "FALSE", "TRUE", "TRUE", "TRUE"},
           {IDC_BY_NUMBER, IDC_OPTION_UDP, IDC_OPTION_NETBIOS}, {IDC_BY_NAME, IDC_OPTION_TCP}, nullptr,
           {IDC_BY_NAME, IDC_OPTION_TCP, IDC_OPTION_UDP}, {IDC_BY_NUMBER, IDC_OPTION_NETBIOS}}),
    Saved({"R", {}, "  10.2.0.0", "close", {"10.2.0.0", "TRUE"}, {}, {}, "10.2.0.0", {}, {}}),
    Saved({"S", {IDC_OPTION_UDP, IDC_OPTION_INTERFACE}, nullptr, "exit", {"FALSE", "TRUE", "FALSE", "FALSE", "FALSE", "TRUE"},
           {IDC_OPTION_UDP}, {IDC_OPTION_INTERFACE, IDC_OPTION_IP, IDC_OPTION_TCP, IDC_OPTION_NETBIOS}, nullptr,
           {IDC_OPTION_INTERFACE}, {IDC_OPTION_UDP}}),
    // ---------------------------------------------------------------- printing
    // 130 output lines, a header and two end lines: 60, 60 and 13 on the sheets.
    {"Print: an empty pane opens no dialog, a cancel prints nothing, 60 lines a sheet", "PA", kOutLines.c_str(),
     {{Do::kPrint, "none"}, {Do::kRun}, {Do::kWaitEnd}, {Do::kPrint, "cancel"}, {Do::kPrint, "3", "$DOCUMENT"}}},
    {"Save As held open over a repeat saves the text the pane showed", "P", "out reply\n",
     {{Do::kOptions, "4|300|1|32"}, {Do::kRun}, {Do::kWaitText, "Ping repeats in 1 seconds"},
      {Do::kSaveAs, "held.txt", "repeat"}, {Do::kCancel}}},
    {"Copy says so when the clipboard cannot be had", "P", "out one\n",
     {{Do::kRun}, {Do::kWaitEnd},
      {Do::kCopyHeld, "Tracewick could not copy the output to the clipboard. The output is still in the pane."}}},
    {"Print says so when the printer could not finish the job", "P", "out one\n",
     {{Do::kRun}, {Do::kWaitEnd},
      {Do::kPrint, "fail", "Tracewick could not print: the printer did not finish the document (Invalid handle)."}}},
    // ---------------------------------------------------------------- Routes, Statistics
    {"Routes runs route print for the address stripped; a quote is refused", "R", "args\n",
     {{Do::kField, "  10.0.0.0"}, {Do::kRun}, {Do::kFieldIs, "10.0.0.0"}, {Do::kPane, "<header>\r\n$CMD10.0.0.0\r\n$END"},
      {Do::kField, "1\"2"}, {Do::kRefused, "The address cannot contain a double quote (\")."}}},
    {"Statistics takes By Number from Connections and runs both commands, End of Data once", "S", "args\n",
     {{Do::kPage, "Connections"}, {Do::kClick, Ids({IDC_BY_NUMBER})}, {Do::kPage, "Statistics"},
      {Do::kClick, Ids({IDC_OPTION_NETBIOS})}, {Do::kRun},
      {Do::kPane, "<header>\r\n\r\n$CMD -n\r\n\"$BIN\\nbtstat.exe\" -r\r\n$END"}},
     {}, {"x"}, Spawner::kReal, "", {{"nbtstat", "args\n"}}},
    {"Statistics shows nbtstat's failure in plain words, also split over chunks, and hides the next chunk", "S", "",
     {{Do::kClick, Ids({IDC_OPTION_INTERFACE, IDC_OPTION_NETBIOS})}, {Do::kRun},
      {Do::kPane, "<header>\r\nbefore NetBIOS services are unavailable.shown\r\n$END"}},
     {}, {"x"}, Spawner::kReal, "", {{"nbtstat", "raw before Failed to ac\nsleep 300\nraw cess NBT driver\\r\\nrest\n"
                                                  "sleep 300\nraw hidden\\r\\n\nsleep 300\nraw shown\\r\\n\n"}}},
    {"Statistics refuses no option and two protocols; all three run", "S", "args\n",
     {{Do::kClick, Ids({IDC_OPTION_INTERFACE})},
      {Do::kRefused, "No options were selected for this command.\r\n Please select one or more of the options:\r\n "
                     "Interface, IP, TCP, UDP, NetBIOS."},
      {Do::kClick, Ids({IDC_OPTION_TCP, IDC_OPTION_UDP})},
      {Do::kRefused, "Please select none, one, or all three protocols (UDP, TCP, IP).\r\n The combination you have "
                     "selected is invalid."},
      {Do::kClick, Ids({IDC_OPTION_IP})}, {Do::kRun}, {Do::kPane, "<header>\r\n\"$BIN\\netstat.exe\" -s\r\n$END"}}},
    {"a page without Cancel paints and answers while it runs, drops a tab click and lets a worker page go on", "S",
     "out first\nsleep 3000\nout last\n",
     {{Do::kPage, "ARP"}, {Do::kRun}, {Do::kPage, "Statistics"}, {Do::kStart}, {Do::kWaitText, "first"},
      {Do::kTabClick, "Ping"}, {Do::kWaitText, "End of Data"}, {Do::kActive, "Statistics"},
      {Do::kPane, "<header>\r\n\r\nfirst\r\nlast\r\n$END"}, {Do::kOtherPane, "ARP", "<header>\r\none\r\ntwo\r\n$END"}},
     {}, {"x"}, Spawner::kReal, "", {{"arp", "out one\nsleep 4500\nout two\n"}}},
    // ---------------------------------------------------------------- the pane's own commands
    {"Copy takes the selection or else all of the pane; Save As writes the pane's text", "PN", "out one\nout two\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kCopy, "menu"}, {Do::kCopy, "key", "0|5"}, {Do::kCopy, "all", "0|3"},
      {Do::kSaveAs, "saved.txt"}}},
    // ---------------------------------------------------------------- the system's code page
    // A row named "under NNN" needs a driver started in a locale whose OEM code page is NNN (ctest ui_NNN);
    // its stand-in writes what a command of such a system writes, and the pane, log, clipboard, saved file
    // and print job hold that text (the expectations are UTF-8).
    {"under 866 Russian output is Russian text in the pane, the log, the clipboard, a file and a print job", "PS",
     "out \\x8E\\xE2\\xA2\\xA5\\xE2 \\xAE\\xE2 127.0.0.1: \\xA2\\xE0\\xA5\\xAC\\xEF<1\\xAC\\xE1 TTL=128\n"
     "out \\x91\\xE2\\xA0\\xE2\\xA8\\xE1\\xE2\\xA8\\xAA\\xA0 Ping \\xA4\\xAB\\xEF 127.0.0.1:\n",
     {{Do::kWaitText, "End of Data"},
      {Do::kPane, "<header>\r\n$LEADОтвет от 127.0.0.1: время<1мс TTL=128\r\nСтатистика Ping для 127.0.0.1:\r\n$END"},
      {Do::kFileBytes, "run.log", "\xEF\xBB\xBF<header>\r\n$LEADОтвет от 127.0.0.1: время<1мс TTL=128\r\n"
                                  "Статистика Ping для 127.0.0.1:\r\n$END\r\n"},
      {Do::kCopy, "menu"}, {Do::kSaveAs, "saved.txt"}, {Do::kPrint, "1", "$DOCUMENT"},
      {Do::kPrinted, "afii10032|afii10084|afii10067|afii10070|afii10084"}},  // Ответ
     {}, {"$LETTER", "/log:run.log"}},
    {"under 850 a German line keeps its umlaut", "P", "out Zeit\\x81berschreitung der Anforderung.\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\nZeitüberschreitung der Anforderung.\r\n$END"},
      {Do::kCopy, "all"}}},
    {"under 866 a box-drawing line still becomes hyphens and the lines around it read as Russian", "CN",
     "out \\x8F\\xAE\\xA4\\xAA\\xAB\\xEE\\xE7\\xA5\\xAD\\xA8\\xEF\nout \\xC4\\xC4\\xC4\\xC4\\xC4\n",
     {{Do::kRun}, {Do::kWaitEnd},
      {Do::kPaneLike, "<header>\r\n(Подключения\r\n-{78}\r\n)+$END"}}},
    // Code page 932: 0x93 leads a two-byte character; 0xC4 is a character of its own.
    {"under 932 a character split over two reads arrives whole", "PC",
     "raw \\x93\nsleep 300\nraw \\xFA\\x96{\\x8C\\xEA\\r\\n\n",
     {{Do::kRun}, {Do::kWaitEnd}, {Do::kPane, "<header>\r\n日本語\r\n$END"}}},
};

using Param = std::pair<int, std::size_t>;  // page, row

class PageTest : public ProgramTest, public ::testing::WithParamInterface<Param> {
protected:
    void SetUp() override {
        page_ = &kPages[GetParam().first];
        const Row& row = kRows[GetParam().second];
        if (const std::string name = row.name; name.rfind("under ", 0) == 0) {
            ASSERT_EQ(name.substr(6, name.find(' ', 6) - 6), std::to_string(GetOEMCP()))
                << "this row needs its code page: run it as its ctest entry (tests/ui/CMakeLists.txt) does";
        }
        LaunchOptions options{row.args, row.files};
        for (std::string& arg : options.args) arg = Expand(arg);
        BinFolder bin{row.spawner, row.spawner_script};
        if (row.script) bin.commands = {{page_->command, row.script}};
        else bin.files = {{std::string(page_->command) + ".exe", "this is no program\r\n"}};
        bin.commands.insert(bin.commands.end(), row.more.begin(), row.more.end());
        options.bin = bin;
        ASSERT_TRUE(Start(options));
        ASSERT_TRUE(Show(page_->name));
    }

    std::string Expand(std::string text) const {
        const std::string bin = app_ ? app_->bin_dir() : "", first = page_->first_run;
        const std::pair<const char*, std::string> tokens[] = {
            {"$FIRST", page_->first_run}, {"$LEAD", first.substr(0, first.find("$CMD"))},  // before the output
            {"$NET", "The path was not found.\r\nNo shared resources at $COMPUTER\r\n"},
            {"$CMD", "\"" + bin + "\\" + page_->command + ".exe\" " + page_->args}, {"$BIN", bin},
            {"$COMPUTER", Upper(Registry(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\control\\ComputerName\\ComputerName",
                                         "ComputerName"))},  // as the program reads it
            {"$END", "\r\n\r\nEnd of Data"}, {"$CANCEL", std::string("\r\n\r\n") + page_->cancelled},
            {"$ROOM+1", std::to_string(page_->room + 1)}, {"$ROOM", std::to_string(page_->room)},
            {"$FULL", std::string(page_->room, 'h')}, {"$OVER", std::string(page_->room + 1, 'h')},
            {"$NAME", page_->command}, {"$LETTER", std::string(1, page_->letter)},
            {"$FILE", page_->file}, {"$DEFAULTS", SettingsLines(page_->defaults)},
            {"$INDEX", std::to_string(page_->index)},
            {"$DOCUMENT", "Tracewick " + std::string(page_->name) + " Output"}};  // but Trace Route's: Tracert
        for (const auto& [token, value] : tokens)
            for (std::size_t at = 0; (at = text.find(token, at)) != std::string::npos; at += value.size())
                text.replace(at, std::strlen(token), value);
        return text;
    }


    HWND Item(int id) const { return GetDlgItem(ActivePage(sheet_), id); }
    HWND HostField(const std::string& page) const { return Child(Page(page), "ComboBox"); }
    HWND PaneControl() const { return GetDlgItem(Page(page_->name), page_->pane); }
    HWND Field() const { return Item(IDC_TEXT_FIELD); }
    std::string Pane() const { return RichText(PaneControl()); }  // UTF-8
    // The focus moved to `control` as the Tab key moves it.
    bool Focus(HWND control) const {
        Send(ActivePage(sheet_), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        return Wait([&] { return app_->FocusedWindow() == control; });
    }

    void Play(const Step& step);

    const PageCase* page_ = nullptr;
    ULONGLONG mark_ = 0;
    std::string remembered_;
    std::string print_job_;  // the last one's PostScript
};

void PageTest::Play(const Step& step) {
    const std::string a = Expand(step.a), b = Expand(step.b);
    switch (step.what) {
        case Do::kType: ASSERT_TRUE(TypeInto(HostField(page_->name), a)); break;
        case Do::kTypeLeave: {
            const HWND combo = Child(ActivePage(sheet_), "ComboBox"), away = Item(IDC_CUMULATIVE);
            ASSERT_TRUE(Focus(away) && Focus(Child(combo, "Edit")));  // focus comes from elsewhere
            EXPECT_EQ(0, Send(combo, CB_GETEDITSEL)) << "the caret goes to the start, nothing selected";
            ASSERT_TRUE(TypeInto(combo, a) && Focus(away) && Settle());
            break;
        }
        case Do::kRun: ASSERT_TRUE(Click(Item(IDC_RUN))); break;
        case Do::kEnter: Send(sheet_, WM_COMMAND, IDOK); break;
        case Do::kRefused:
        case Do::kNoExit:
        case Do::kExitTold: {
            ASSERT_TRUE(PostClick(step.what == Do::kRefused ? Item(IDC_RUN) : GetDlgItem(sheet_, IDCANCEL)));
            EXPECT_EQ(a, app_->AnswerMessageBox().value_or("(no message box)"));
            if (step.what == Do::kExitTold) {
                EXPECT_EQ(0u, ExitCode()) << "Exit did not end the program with 0";
                break;
            }
            EXPECT_TRUE(app_->BinProcesses().empty()) << "a refused run starts nothing";
            EXPECT_TRUE(Settle() && !app_->WaitForExit(0) && IsWindowVisible(sheet_)) << "the sheet stays open";
            break;
        }
        case Do::kCancel: ASSERT_TRUE(Click(Item(IDC_CANCEL_RUN))); break;
        case Do::kCumulative: ASSERT_TRUE(Click(Item(IDC_CUMULATIVE))); break;
        case Do::kPage: ASSERT_TRUE(Show(a)); break;
        case Do::kOptions:
        case Do::kShown: {
            const HWND dialog = Open(Item(page_->options), page_->name + std::string(" Options"));
            ASSERT_TRUE(dialog);
            std::string shown;
            for (std::size_t i = 0; i < page_->option_fields.size(); ++i) {
                const HWND field = GetDlgItem(dialog, page_->option_fields[i]);
                const bool check = ClassOf(field) == "Button";
                shown += (i ? "|" : "") + (check ? std::string(IsChecked(field) ? "1" : "0") : TextOf(field));
                if (step.what == Do::kShown) continue;
                const std::string value = Split(a).at(i);
                ASSERT_TRUE(check ? IsChecked(field) == (value == "1") || Click(field) : SetText(field, value));
            }
            if (step.what == Do::kShown) { EXPECT_EQ(a, shown); }
            ASSERT_TRUE(Press(dialog, step.what == Do::kShown ? IDCANCEL : IDOK)) << "the values were refused";
            break;
        }
        case Do::kWaitText:
            ASSERT_TRUE(Wait([&] { return CountOf(Pane(), a) >= (b.empty() ? 1 : std::stoul(b)); }))
                << "waited for \"" << Visible(a) << "\" in \"" << Visible(Pane()) << "\"";
            break;
        case Do::kWaitEnd:
            ASSERT_TRUE(Wait([&] { return IsEnabled(GetDlgItem(Page(page_->name), IDC_RUN)); },
                             a.empty() ? kWaitMs : std::stoul(a)))
                << "the run did not end: " << Visible(Pane());
            break;
        case Do::kMark: mark_ = GetTickCount64(); break;
        case Do::kElapsed: {
            const ULONGLONG took = GetTickCount64() - mark_;
            EXPECT_TRUE(took >= std::stoull(a) && took <= std::stoull(b)) << took << " ms";
            break;
        }
        case Do::kShorter:
            ASSERT_TRUE(Wait([&] { return Send(PaneControl(), WM_GETTEXTLENGTH) < std::stol(a); }));
            break;
        case Do::kPane: ExpectText(a, MaskHeaders(Pane())); break;
        case Do::kPaneLike:
            EXPECT_TRUE(std::regex_match(MaskHeaders(Pane()), std::regex(a))) << Visible(MaskHeaders(Pane()));
            break;
        case Do::kEnabled:
            EXPECT_EQ(a, std::string(IsEnabled(Item(IDC_RUN)) ? "1" : "0") + (IsEnabled(Item(IDC_CANCEL_RUN)) ? "1" : "0"))
                << "Run, Cancel";
            break;
        case Do::kQuiet: {
            const auto state = [&] { return std::make_pair(Pane(), IsEnabled(Item(IDC_RUN))); };
            EXPECT_FALSE(Wait([&, was = state()] { return state() != was; }, std::stoul(a)))
                << "it changed to \"" << Visible(Pane()) << "\"";
            break;
        }
        case Do::kIdle:
            EXPECT_TRUE(WaitUntil([&] { return app_->BinProcesses().empty() == a.empty(); }, 3000)) << "commands running";
            break;
        case Do::kList:
            for (const PageCase& page : kPages)
                if (page.room) { EXPECT_EQ(Split(a), Items(HostField(page.name))) << page.name; }
            break;
        case Do::kHost:
            for (const PageCase& page : kPages)
                if (page.room && Page(page.name) != ActivePage(sheet_)) { EXPECT_EQ(a, TextOf(HostField(page.name))) << page.name; }
            break;
        case Do::kLeave: Leave(a); break;
        case Do::kRestart: {
            std::string error;
            ASSERT_TRUE(app_->Restart({"x"}, &error)) << error;
            ASSERT_TRUE(FindSheet());
            break;
        }
        case Do::kClick:
            for (const std::string& id : Split(a)) ASSERT_TRUE(Click(Item(std::stoi(id)))) << id;
            break;
        case Do::kChecked:
            for (const std::string& id : Split(a)) EXPECT_TRUE(IsChecked(Item(std::stoi(id)))) << id << " is checked";
            for (const std::string& id : Split(b)) EXPECT_FALSE(IsChecked(Item(std::stoi(id)))) << id << " is clear";
            break;
        case Do::kField:
            ASSERT_TRUE(Focus(Field()) && SetText(Field(), a) && Settle());
            break;
        case Do::kFieldIs:
            EXPECT_EQ(a, TextOf(Field()));
            if (!b.empty()) { EXPECT_EQ(MAKELONG(std::stoi(b), std::stoi(b)), Send(Field(), EM_GETSEL)) << "the caret"; }
            break;
        case Do::kOtherPane: {
            const auto other = [&] { return MaskHeaders(TextOf(GetDlgItem(Page(a), IDC_PANE))); };
            EXPECT_TRUE(Wait([&] { return other() == b; })) << Visible(other());
            break;
        }
        case Do::kStart: ASSERT_TRUE(PostClick(Item(IDC_RUN))); break;
        case Do::kTabClick: {
            const HWND tabs = Child(sheet_, "SysTabControl32");
            RECT tab{};
            ASSERT_TRUE(SendPointer(tabs, TCM_GETITEMRECT, {PositionOf(sheet_, a)}, At(0), &tab, sizeof tab));
            const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
            ASSERT_TRUE(PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at) && PostMessageA(tabs, WM_LBUTTONUP, 0, at));
            break;
        }
        case Do::kPrint: {  // the test printer's jobs land where LPT1: is mapped (scripts/lib/wine-env.sh)
            const std::string job = ToWindowsPath(Registry(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", "LPT1:"));
            ASSERT_NE("", job) << "no test printer";
            if (!DeleteFileA(job.c_str())) RemoveDirectoryA(job.c_str());
            if (a == "none") {
                EXPECT_TRUE(Click(Item(IDC_PRINT))) << "a dialog opened";  // sent: returns once the click is handled
                break;
            }
            // "fail": a folder in the job's place, so that the spooler cannot deliver it.
            if (a == "fail") { ASSERT_TRUE(CreateDirectoryA(job.c_str(), nullptr)); }
            ASSERT_TRUE(PostClick(Item(IDC_PRINT)));
            // By its printer box: its caption is in the system's language.
            const HWND dialog = app_->WaitForDialogWith(cmb4);
            ASSERT_TRUE(dialog && Press(dialog, a == "cancel" ? IDCANCEL : IDOK));
            if (a == "fail") { EXPECT_EQ(b, app_->AnswerMessageBox().value_or("(no message box)")); }
            if (a == "fail") RemoveDirectoryA(job.c_str());
            const bool none = a == "cancel" || a == "fail", printed = Wait([&] {  // the job kept for kPrinted
                print_job_.assign(std::istreambuf_iterator<char>(std::ifstream(job, std::ios::binary).rdbuf()), {});
                return print_job_.find("%%EOF") != std::string::npos;
            }, none ? 1000 : kWaitMs);
            const auto box = [](HWND hwnd) { return ClassOf(hwnd) == "#32770" && GetDlgItem(hwnd, 0xFFFF); };
            EXPECT_FALSE(app_->WaitFor(box, 300)) << TextOf(GetDlgItem(app_->Find(box), 0xFFFF));
            if (none) { EXPECT_FALSE(printed) << "printed after " << a; break; }
            EXPECT_TRUE(printed && CountOf(print_job_, "%%Page:") == std::stoul(a) &&
                        CountOf(print_job_, "%%Title: " + b + "\n") == 1)
                << CountOf(print_job_, "%%Page:") << " sheets: " << print_job_.substr(0, 300);
            break;
        }
        case Do::kPrinted: {  // the printer driver draws each character as "/name glyphshow"
            std::string drawn;
            static const std::regex glyph("/(\\S+) glyphshow");
            for (std::sregex_iterator at(print_job_.begin(), print_job_.end(), glyph), end; at != end; ++at) drawn += (*at)[1].str() + "|";
            EXPECT_NE(std::string::npos, drawn.find(a + "|")) << drawn.substr(0, 600);
            break;
        }
        case Do::kActive: EXPECT_TRUE(Settle() && ActivePage(sheet_) == Page(a)) << TextOf(ActivePage(sheet_)); break;
        case Do::kCopy: {
            const auto range = Split(b.empty() ? "-1|-1" : b);
            Send(PaneControl(), EM_SETSEL, std::stoi(range[0]), std::stoi(range[1]));
            if (a == "all") PostMessageA(PaneControl(), WM_CHAR, 1, 0);
            if (a == "menu") PostMessageA(PaneControl(), WM_COMMAND, kPaneCopy, 0);
            else PostMessageA(PaneControl(), WM_CHAR, 3, 0);
            const std::string expected = b.empty() || a == "all" ? Pane() : Pane().substr(std::stoul(range[0]), 5);
            const auto clipboard = [] {
                const HANDLE data = OpenClipboard(nullptr) ? GetClipboardData(CF_UNICODETEXT) : nullptr;
                const auto* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
                const std::string text = wide ? Encode(wide, CP_UTF8) : "";
                if (wide) GlobalUnlock(data);
                CloseClipboard();
                return text;
            };
            EXPECT_TRUE(Wait([&] { return clipboard() == expected; })) << Visible(clipboard());
            break;
        }
        case Do::kSaveAs: {
            const HWND pane = PaneControl();
            const std::string shown = Pane();
            ASSERT_TRUE(PostMessageA(pane, WM_COMMAND, kPaneSaveAs, 0));
            const HWND dialog = app_->WaitForDialogWith(cmb13);
            const HWND name = GetDlgItem(dialog, cmb13);
            ASSERT_TRUE(dialog);
            EXPECT_EQ(0u, TextOf(name).rfind(std::string("Tracewick ") + page_->name + " ", 0)) << TextOf(name);
            if (b == "repeat") { ASSERT_TRUE(Wait([&] { return PaneControl() != pane; })) << "no repeat came"; }
            ASSERT_TRUE(SetText(name, app_->work_dir() + "\\" + a) && Press(dialog, IDOK));
            // Written once the dialog has gone.
            ASSERT_TRUE(Wait([&] { return app_->ReadFile(a).has_value(); })) << "no " << a;
            ExpectText("\xEF\xBB\xBF" + shown, Bytes(a));
            break;
        }
        case Do::kCopyHeld: {
            ASSERT_TRUE(OpenClipboard(nullptr));
            PostMessageA(PaneControl(), WM_CHAR, 3, 0);
            const auto said = app_->AnswerMessageBox();
            CloseClipboard();
            EXPECT_EQ(a, said.value_or("(no message box)"));
            break;
        }
        case Do::kRemember: remembered_ = app_->ReadFile(a).value_or(FileState{"(no file)"}).bytes; break;
        case Do::kSame: ExpectText(remembered_, app_->ReadFile(a).value_or(FileState{"(no file)"}).bytes); break;
        case Do::kFile:
        case Do::kFileBytes: {
            const auto file = app_->ReadFile(a);
            ASSERT_TRUE(file) << "no " << a;
            ExpectText(b, step.what == Do::kFile ? file->bytes : MaskHeaders(file->bytes));
            if (step.what == Do::kFile) {
                EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, file->attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
            }
            break;
        }
    }
}

TEST_P(PageTest, Plays) {
    const Row& row = kRows[GetParam().second];
    for (std::size_t i = 0; i < row.steps.size() && !HasFatalFailure(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1) + " of " + row.name);
        Play(row.steps[i]);
    }
}

std::vector<Param> AllRows() {
    std::vector<Param> params;
    for (std::size_t row = 0; row < kRows.size(); ++row)
        for (int page = 0; page < static_cast<int>(std::size(kPages)); ++page)
            if (std::strchr(kRows[row].pages, kPages[page].letter)) params.emplace_back(page, row);
    return params;
}

INSTANTIATE_TEST_SUITE_P(Rows, PageTest, ::testing::ValuesIn(AllRows()), [](const auto& info) {
    std::string name = std::string(kPages[info.param.first].name) + "_" + kRows[info.param.second].name;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

}  // namespace
}  // namespace tracewick::ui
