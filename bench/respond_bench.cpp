// Responsiveness and memory benchmark: while a command's output streams into
// the Ping page, a second thread asks the sheet for an empty answer (WM_NULL)
// every 20 ms and keeps how long each took, as a user's click would wait.
// Two streams: many tiny chunks with short silences between them, and one
// big stream that leaves the pane holding all of it. The baseline is the idle
// sheet's answers in the same session. The big stream also gives the private
// bytes one pane character costs, and from that the output at which a 2 GB
// address space would be full. Informational: it fails only when a program
// cannot be driven or the text does not arrive whole.
//
// Usage: respond_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [BIG_BYTES]]
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "tests/fake/bulk_text.h"

namespace {

using tracewick::bench::Median;
using tracewick::bench::Milliseconds;
using tracewick::bench::Worst;

constexpr std::size_t kDefaultBigBytes = 52428800;
constexpr int kTinyChunks = 10000;
constexpr DWORD kAskEveryMs = 20;
// A sheet that does not answer within this is taken as hung for this long.
constexpr UINT kAnswerTimeoutMs = 5000;
constexpr DWORD kIdleMs = 5000;
// Under Wine the pane takes over a second per megabyte for now.
constexpr double kBudgetBaseMs = 120000, kBudgetPerMegabyteMs = 30000;
// Each look at the pane is a message its busy thread must answer.
constexpr DWORD kPollMs = 100;
constexpr char kEndLine[] = "\r\n\r\nEnd of Data";

// Asks the sheet for an answer every kAskEveryMs until told to stop.
class Asker {
public:
    explicit Asker(HWND sheet) : sheet_(sheet) {
        thread_.Reset(CreateThread(nullptr, 0, &Asker::Loop, this, 0, nullptr));
    }
    ~Asker() { Stop(); }
    // The time of each answer in milliseconds; one not given counts as kAnswerTimeoutMs.
    std::vector<double> Stop() {
        stop_ = true;
        if (thread_) WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
        return answers_;
    }
    int unanswered() const { return unanswered_; }
private:
    static DWORD WINAPI Loop(void* self) {
        static_cast<Asker*>(self)->Ask();
        return 0;
    }
    void Ask() {
        while (!stop_) {
            const double start = Milliseconds();
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(sheet_, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerTimeoutMs, &result)) {
                if (!IsWindow(sheet_)) return;
                ++unanswered_;
            }
            const double took = Milliseconds() - start;
            answers_.push_back(took);
            if (took < kAskEveryMs) Sleep(static_cast<DWORD>(kAskEveryMs - took));
        }
    }
    HWND sheet_;
    std::atomic<bool> stop_{false};
    std::vector<double> answers_;
    int unanswered_ = 0;
    tracewick::UniqueKernelHandle thread_;
};

// The many-chunk stream: a few bytes at a time, a line end now and then so
// the pane holds lines, and a silence of 1..5 ms after every fourth write.
struct Script {
    std::string text, output;
};
Script TinyChunks() {
    Script script;
    for (int i = 0; i < kTinyChunks; ++i) {
        const std::string chunk = "c" + std::to_string(i) + (i % 16 == 15 ? "\r\n" : " ");
        script.output += chunk;
        script.text += "raw " + (chunk.back() == ' ' ? chunk : chunk.substr(0, chunk.size() - 2) + "\\r\\n") + "\n";
        if (i % 4 == 3) script.text += "sleep " + std::to_string(1 + i / 4 % 5) + "\n";
    }
    return script;
}

// The next run of ping.exe plays this: the stand-in reads its script as it starts.
bool SetPingScript(const std::string& bin_dir, const std::string& script) {
    std::ofstream file(bin_dir + "\\ping.script", std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file << script);
}

struct Stream {
    std::vector<double> answers;
    int unanswered = 0;
    double ms = 0;
    bool whole = false;
    DWORD_PTR pane_length = 0;
};

// Runs Ping with the answers asked for meanwhile; over when Run is enabled
// again, or after the budget. The pane is
// read (and compared) only after `ended` was called, which may look at the
// program first: reading a big pane costs the program memory.
template <class Ended>
bool RunStream(tracewick::bench::PingSheet& ping, const std::string& output, double budget_ms, Stream& stream,
               Ended ended) {
    const double start = Milliseconds();
    Asker asker(ping.sheet);
    if (!tracewick::ui::Click(ping.run)) return false;
    const HWND pane = ping.Pane();
    // The click has disabled Run; the run is over when it is enabled again.
    // The look counts lines: asking another program's pane for its length
    // copies the whole text each time, seconds at tens of megabytes.
    for (;;) {
        DWORD_PTR lines = 0;
        if (!SendMessageTimeoutA(pane, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &lines)) break;
        if (IsWindowEnabled(ping.run)) break;
        if (Milliseconds() - start > budget_ms || WaitForSingleObject(ping.app.process(), kPollMs) == WAIT_OBJECT_0)
            break;
    }
    stream.ms = Milliseconds() - start;
    stream.answers = asker.Stop();
    stream.unanswered = asker.unanswered();
    ended();
    const std::string text = tracewick::ui::TextOf(pane);
    stream.pane_length = text.size();
    stream.whole = text == text.substr(0, text.find("\r\n") + 2) + output + kEndLine;
    if (!stream.whole)
        std::fprintf(stderr, "the pane does not hold the %zu bytes of output and the end line (%zu characters)\n",
                     output.size(), text.size());
    return stream.whole;
}

std::string Answers(const char* what, const std::vector<double>& answers, int unanswered,
                    const std::vector<double>& idle) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "%s: worst answer %.1f ms, median %.2f ms (%zu asked%s); against idle: worst x%.1f, median x%.1f\n",
                  what, Worst(answers), Median(answers), answers.size(),
                  unanswered ? (", " + std::to_string(unanswered) + " not answered within 5 s").c_str() : "",
                  tracewick::bench::Ratio(Worst(answers), Worst(idle)),
                  tracewick::bench::Ratio(Median(answers), Median(idle)));
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: respond_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [BIG_BYTES]]\n");
        return 2;
    }
    const std::size_t big = argc > 4 ? std::max<std::size_t>(1, std::strtoull(argv[4], nullptr, 10)) : kDefaultBigBytes;
    const Script tiny = TinyChunks();

    // The letter "x" opens the sheet and runs nothing.
    tracewick::ui::BinFolder bin;
    bin.fake_exe = argv[2];
    bin.commands = {{"ping", tiny.text}};
    tracewick::bench::PingSheet ping;
    if (!tracewick::bench::OpenPingSheet(ping, argv[1], bin, "x")) return 1;
    const HANDLE process = ping.app.process();

    Sleep(1000);  // the sheet's first paints are not its idle
    std::vector<double> idle;
    {
        Asker asker(ping.sheet);
        Sleep(kIdleMs);
        idle = asker.Stop();
    }

    Stream chunks;
    if (!RunStream(ping, tiny.output, kBudgetBaseMs, chunks, [] {})) return 1;

    const std::string bulk = tracewick::fake::BulkText(big);
    if (!SetPingScript(ping.app.bin_dir(), "bulk " + std::to_string(big) + "\n")) {
        std::fprintf(stderr, "cannot write ping.script\n");
        return 1;
    }
    Sleep(1000);  // the first run's processes are gone, its memory given back
    const std::size_t before = tracewick::bench::PrivateBytes(process);
    std::size_t after = 0;
    Stream stream;
    const bool big_whole = RunStream(ping, bulk, kBudgetBaseMs + kBudgetPerMegabyteMs * tracewick::bench::Megabytes(
                                                                                            static_cast<double>(big)),
                                     stream, [&] {
                                         Sleep(1000);
                                         after = tracewick::bench::PrivateBytes(process);
                                     });

    // What the pane holds beyond the first run's few characters costs the growth.
    const double growth = static_cast<double>(after) - static_cast<double>(before);
    const double per_character = stream.pane_length ? growth / static_cast<double>(stream.pane_length) : 0;
    const double per_output_byte = growth / static_cast<double>(big);
    const double room = 2147483648.0 - static_cast<double>(before);
    char memory[640];
    std::snprintf(memory, sizeof memory,
                  "memory: private bytes %.1f MB before the big stream, %.1f MB with %lu characters in the pane: "
                  "%.2f bytes per pane character (%.2f per output byte)\n"
                  "a 2 GB address space would be full at about %.0f MB of output\n",
                  tracewick::bench::Megabytes(static_cast<double>(before)),
                  tracewick::bench::Megabytes(static_cast<double>(after)),
                  static_cast<unsigned long>(stream.pane_length), per_character, per_output_byte,
                  per_output_byte > 0 ? tracewick::bench::Megabytes(room / per_output_byte) : 0.0);
    char times[256];
    std::snprintf(times, sizeof times, "streams took %.1f s (%d tiny chunks) and %.1f s (%zu bytes%s)\n",
                  chunks.ms / 1000, kTinyChunks, stream.ms / 1000, big, big_whole ? "" : ", NOT WHOLE");
    const std::string summary =
        "responsiveness (goal: worst answer within 100 ms)\n" +
        Answers("idle sheet", idle, 0, idle) +
        Answers("tiny chunks", chunks.answers, chunks.unanswered, idle) +
        Answers("big stream", stream.answers, stream.unanswered, idle) + times + memory;
    tracewick::bench::PublishSummary(summary, argc > 3 ? argv[3] : nullptr);
    return big_whole ? 0 : 1;
}
