// lookup.exe under Wine, one row per behaviour. Each run gets pipes of its own
// for standard output and standard error, so a row can tell which stream a
// line went to. Only names that never leave the machine are asked for:
// localhost and 127.0.0.1, which the hosts file answers, and a name with a
// label longer than 63 characters, which the resolver refuses without asking
// anyone. Nothing depends on the machine's own name.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "framework/handles.h"

namespace {

using tracewick::UniqueKernelHandle;

constexpr DWORD kRunMs = 20000;  // generous for a loaded build machine
const std::string kUnaskable = std::string(64, 'q') + ".example";

// Runs lookup.exe, or conspawn.exe beside it, with `arguments` after its name,
// and sums the run up as the rows match it: "EXIT CODE~STANDARD ERROR~STANDARD
// OUTPUT", where the exit code is 0 when found, 1 when not and 2 for the usage.
// Its few lines fit in the pipes' buffers, so they are read after its end.
std::string Summary(bool through_spawner, const std::string& arguments) {
    DWORD exit_code = STILL_ACTIVE;
    std::string output, error;
    char path[MAX_PATH] = {};
    const char* variable = through_spawner ? "TRACEWICK_CONSPAWN" : "TRACEWICK_LOOKUP";
    const std::string program(path, GetEnvironmentVariableA(variable, path, sizeof path));
    UniqueKernelHandle pipes[2][2];  // output, error: [our read end, the child's write end]
    for (auto& pipe : pipes) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        HANDLE read = nullptr, write = nullptr;
        EXPECT_TRUE(CreatePipe(&read, &write, &inheritable, 0) && SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0));
        pipe[0].Reset(read);
        pipe[1].Reset(write);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = pipes[0][1].Get();
    startup.hStdError = pipes[1][1].Get();
    std::string command_line = program.substr(program.find_last_of("\\/") + 1) + " " + arguments;
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &info))
        << "cannot start " << program << ": error " << GetLastError();
    const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    pipes[0][1].Reset();  // from here only the child holds the write ends
    pipes[1][1].Reset();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.Get(), kRunMs)) << "no answer within " << kRunMs << " ms";
    TerminateProcess(process.Get(), 0xDEAD);  // nothing left to end unless it hung
    GetExitCodeProcess(process.Get(), &exit_code);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipes[0][0].Get(), buffer, sizeof buffer, &got, nullptr)) output.append(buffer, got);
    while (ReadFile(pipes[1][0].Get(), buffer, sizeof buffer, &got, nullptr)) error.append(buffer, got);
    return std::to_string(exit_code) + "~" + error + "~" + output;
}

// Names and addresses as the resolver renders them; '.' never passes a line end.
const char kLocalhost[] =
    R"(0~~Name:      localhost\r\n(Canonical: .+\r\n)?(Address: .+\r\n)*Address:   127\.0\.0\.1\r\n(Address: .+\r\n)*)";
const char kUnresolvable[] = R"(1~~lookup: cannot resolve "q{64}\.example": .+\r\n)";
const char kUsage[] = R"(2~usage: lookup NAME-OR-ADDRESS\r\n~)";
// Whatever name the resolver keeps for loopback, or why there is none.
const char kLoopback[] = R"((0~~Address:   127\.0\.0\.1\r\nName:      |1~~Address:   127\.0\.0\.1\r\n)"
                         R"(lookup: cannot resolve "127\.0\.0\.1": ).+\r\n)";

const struct Row {
    const char* name;
    bool through_spawner;  // as the Lookup page runs it: found beside conspawn.exe by its bare name
    std::string arguments;
    const char* summary;  // a pattern for the whole of the run's Summary()
} kRows[] = {
    {"localhost gives its name and addresses", false, "localhost", kLocalhost},
    {"localhost through the spawner", true, "\"lookup localhost\"", kLocalhost},
    {"blanks around the argument are trimmed", false, "  \"  localhost\t \"  ", kLocalhost},
    {"the loopback address gives the address, then its name", false, "127.0.0.1", kLoopback},
    {"an unresolvable name fails with one line", false, kUnaskable, kUnresolvable},
    {"an unresolvable name in blanks is named without them", false, "\" " + kUnaskable + "\t\"", kUnresolvable},
    {"no argument gives usage", false, "", kUsage},
    {"two arguments give usage", false, "localhost 127.0.0.1", kUsage},
    {"a blank argument gives usage", false, "\" \t \"", kUsage},
    {"an empty second argument gives usage", false, "localhost \"\"", kUsage},
};

TEST(Lookup, Behaviours) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::string summary = Summary(row.through_spawner, row.arguments);
        EXPECT_TRUE(std::regex_match(summary, std::regex(row.summary))) << ::testing::PrintToString(summary);
    }
}

}  // namespace
