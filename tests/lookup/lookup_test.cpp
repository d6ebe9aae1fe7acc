// Tests of lookup.exe, run under Wine. Each run gives the program pipes of
// its own for standard output and standard error, so a test can tell which
// stream a line went to, and waits with a deadline. Only names that never
// leave the machine are asked for: localhost and 127.0.0.1, which the hosts
// file answers, and names the resolver refuses before asking anyone (a label
// longer than 63 characters). Nothing depends on the machine's own name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/handles.h"

namespace {

using tracewick::UniqueKernelHandle;

constexpr DWORD kExitFound = 0;
constexpr DWORD kExitNotFound = 1;
constexpr DWORD kExitUsage = 2;

// Generous for a loaded machine; a hang still fails well inside the test's
// own time limit.
constexpr DWORD kRunTimeoutMs = 20000;

// A name no resolver can put into a query (a label holds at most 63
// characters), so it fails on this machine without asking a name server.
std::string UnaskableName() { return std::string(64, 'q') + ".example"; }

std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? value : "";
}

struct RunResult {
    bool finished = false;
    DWORD exit_code = STILL_ACTIVE;
    std::string output;
    std::string error;
};

// A pipe whose write end the child inherits; the read end stays ours alone.
[[nodiscard]] bool CreateChildPipe(UniqueKernelHandle& our_read, UniqueKernelHandle& child_write) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0)) return false;
    our_read.Reset(read);
    child_write.Reset(write);
    return SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0) != FALSE;
}

std::string ReadToEnd(const UniqueKernelHandle& pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

// Runs `program` with `arguments` after its name on the command line. Its
// few lines fit in the pipes' buffers, so the pipes are read after its end.
RunResult RunProgram(const std::string& program, const std::string& arguments) {
    RunResult result;
    UniqueKernelHandle our_output_read, child_output_write, our_error_read, child_error_write;
    if (!CreateChildPipe(our_output_read, child_output_write) || !CreateChildPipe(our_error_read, child_error_write)) {
        ADD_FAILURE() << "cannot create pipes: error " << GetLastError();
        return result;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = child_output_write.Get();
    startup.hStdError = child_error_write.Get();
    std::string command_line = program.substr(program.find_last_of("\\/") + 1) + " " + arguments;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << command_line << ": error " << GetLastError();
        return result;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    child_output_write.Reset();  // from here only the child holds the write ends
    child_error_write.Reset();
    result.finished = WaitForSingleObject(process.Get(), kRunTimeoutMs) == WAIT_OBJECT_0;
    if (!result.finished) {
        TerminateProcess(process.Get(), 0xDEAD);
        WaitForSingleObject(process.Get(), kRunTimeoutMs);
    }
    GetExitCodeProcess(process.Get(), &result.exit_code);
    result.output = ReadToEnd(our_output_read);
    result.error = ReadToEnd(our_error_read);
    return result;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The lines of `text`, each of which must end in CR LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    EXPECT_EQ(text.size(), from) << "not all lines end in CR LF: " << ::testing::PrintToString(text);
    for (const std::string& line : lines) EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << line;
    return lines;
}

bool IsFailureLine(const std::string& line, const std::string& query) {
    const std::string prefix = "lookup: cannot resolve \"" + query + "\": ";
    return StartsWith(line, prefix) && line.size() > prefix.size() + 2 && line.back() == ')' &&
           line.find(" (error ") != std::string::npos;
}

void ExpectOneFailureLine(const RunResult& run, const std::string& query) {
    ASSERT_TRUE(run.finished) << "no answer within " << kRunTimeoutMs << " ms";
    EXPECT_EQ(kExitNotFound, run.exit_code);
    EXPECT_EQ("", run.error);  // on standard output, where the pane shows it
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_EQ(1u, lines.size()) << run.output;
    EXPECT_TRUE(IsFailureLine(lines[0], query)) << lines[0];
}

// Name, an optional canonical name, then at least one address: IPv4 before
// IPv6 and none twice.
void ExpectNameReport(const RunResult& run, const std::string& name) {
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(kExitFound, run.exit_code) << run.output;
    EXPECT_EQ("", run.error);
    const std::vector<std::string> lines = Lines(run.output);
    ASSERT_GE(lines.size(), 2u) << run.output;
    EXPECT_EQ("Name:      " + name, lines[0]);
    std::size_t at = lines[1].size() > 11 && StartsWith(lines[1], "Canonical: ") ? 2 : 1;
    ASSERT_LT(at, lines.size()) << "no address: " << run.output;
    bool seen_ipv6 = false;
    for (; at < lines.size(); ++at) {
        ASSERT_TRUE(StartsWith(lines[at], "Address:   ")) << lines[at];
        const bool ipv6 = lines[at].find(':', 11) != std::string::npos;
        EXPECT_FALSE(seen_ipv6 && !ipv6) << "IPv4 after IPv6: " << run.output;
        seen_ipv6 = seen_ipv6 || ipv6;
        for (std::size_t earlier = 0; earlier < at; ++earlier) EXPECT_NE(lines[earlier], lines[at]) << "twice";
    }
}

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        lookup_ = Environment("TRACEWICK_LOOKUP");
        ASSERT_FALSE(lookup_.empty()) << "TRACEWICK_LOOKUP is not set";
    }
    RunResult Lookup(const std::string& arguments) { return RunProgram(lookup_, arguments); }

    std::string lookup_;
};

TEST_F(LookupTest, LocalhostGivesItsNameAndAddressesAlsoThroughTheSpawner) {
    const RunResult direct = Lookup("localhost");
    ExpectNameReport(direct, "localhost");
    // As the Lookup page runs it: found beside conspawn.exe by its bare name.
    const std::string conspawn = Environment("TRACEWICK_CONSPAWN");
    ASSERT_FALSE(conspawn.empty()) << "TRACEWICK_CONSPAWN is not set";
    const RunResult spawned = RunProgram(conspawn, "\"lookup localhost\"");
    ExpectNameReport(spawned, "localhost");
    EXPECT_EQ(direct.output, spawned.output);
}

TEST_F(LookupTest, BlanksAroundTheArgumentAreTrimmed) {
    const RunResult plain = Lookup("localhost");
    for (const char* arguments : {"\"  localhost  \"", "\"\tlocalhost \"", "   localhost   "}) {
        SCOPED_TRACE(arguments);
        const RunResult run = Lookup(arguments);
        ExpectNameReport(run, "localhost");
        EXPECT_EQ(plain.output, run.output);
    }
    ExpectOneFailureLine(Lookup("\" " + UnaskableName() + "\t\""), UnaskableName());
}

TEST_F(LookupTest, LoopbackAddressGivesAddressThenNameOrFailureLine) {
    struct Row {
        const char* query;
        const char* address;  // the numeric form the system renders
    };
    // Only the address the hosts file names: any other would be asked of a name server.
    const Row rows[] = {{"127.0.0.1", "127.0.0.1"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.query);
        const RunResult run = Lookup(row.query);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ("", run.error);
        const std::vector<std::string> lines = Lines(run.output);
        ASSERT_EQ(2u, lines.size()) << run.output;
        EXPECT_EQ(std::string("Address:   ") + row.address, lines[0]);
        // Whatever name the resolver keeps for loopback, or none.
        if (run.exit_code == kExitFound) {
            EXPECT_TRUE(StartsWith(lines[1], "Name:      ") && lines[1].size() > 11) << lines[1];
        } else {
            EXPECT_EQ(kExitNotFound, run.exit_code);
            EXPECT_TRUE(IsFailureLine(lines[1], row.query)) << lines[1];
        }
    }
}

TEST_F(LookupTest, UnresolvableNameFailsWithOneLine) {
    for (const std::string& name : {UnaskableName(), "a." + UnaskableName()}) {
        SCOPED_TRACE(name);
        ExpectOneFailureLine(Lookup(name), name);
    }
}

TEST_F(LookupTest, AnythingButOneArgumentGivesUsageOnStandardError) {
    for (const char* arguments : {"", "localhost 127.0.0.1", "\"\"", "\" \t \"", "localhost \"\""}) {
        SCOPED_TRACE(arguments);
        const RunResult run = Lookup(arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(kExitUsage, run.exit_code);
        EXPECT_EQ("", run.output);
        EXPECT_EQ("usage: lookup NAME-OR-ADDRESS\r\n", run.error);
    }
}

}  // namespace
