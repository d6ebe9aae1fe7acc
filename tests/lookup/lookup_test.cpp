// lookup.exe under Wine, one row per behaviour. Only names that never leave
// the machine are asked for:
// localhost and 127.0.0.1, which the hosts file answers, and a name with a
// label longer than 63 characters, which the resolver refuses without asking
// anyone. Nothing depends on the machine's own name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "runner/spawn.h"

namespace {

constexpr DWORD kRunMs = 20000;  // generous for a loaded build machine
const std::string kUnaskable = std::string(64, 'q') + ".example";

// Runs lookup.exe, or conspawn.exe beside it, with `arguments` after its
// name, through the runner's own start, and sums the run up as the rows match
// it: "EXIT CODE~OUTPUT", the exit code 0 when found, 1 when not and 2 for the
// usage; output and error share the pipe, as in the program's pane.
std::string Summary(bool through_spawner, const std::string& arguments) {
    // By bare name from the current directory, which holds both: the full
    // paths would not leave the arguments room within a command line.
    tracewick::SpawnedCommand run =
        tracewick::StartSpawner((through_spawner ? "conspawn.exe " : "lookup.exe ") + arguments, 0);
    EXPECT_TRUE(run.Started()) << "error " << run.error;
    std::string output;
    for (std::string chunk; run.Started() && tracewick::ReadChunk(run, chunk);) output += chunk;
    DWORD exit_code = STILL_ACTIVE;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(run.process.Get(), kRunMs));
    GetExitCodeProcess(run.process.Get(), &exit_code);
    return std::to_string(exit_code) + "~" + output;
}

// Names and addresses as the resolver renders them; '.' never passes a line end.
const char kLocalhost[] =
    R"(0~Name:      localhost\r\n(Canonical: .+\r\n)?(Address: .+\r\n)*Address:   127\.0\.0\.1\r\n(Address: .+\r\n)*)";
const char kUnresolvable[] = R"(1~lookup: cannot resolve "q{64}\.example": .+\r\n)";
const char kUsage[] = R"(2~usage: lookup NAME-OR-ADDRESS\r\n)";
// Whatever name the resolver keeps for loopback, or why there is none.
const char kLoopback[] = R"((0~Address:   127\.0\.0\.1\r\nName:      |1~Address:   127\.0\.0\.1\r\n)"
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
    const std::string lookup = std::getenv("TRACEWICK_LOOKUP") ? std::getenv("TRACEWICK_LOOKUP") : "";
    ASSERT_TRUE(SetCurrentDirectoryA(lookup.substr(0, lookup.find_last_of("\\/")).c_str())) << lookup;
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::string summary = Summary(row.through_spawner, row.arguments);
        EXPECT_TRUE(std::regex_match(summary, std::regex(row.summary))) << ::testing::PrintToString(summary);
    }
}

}  // namespace
