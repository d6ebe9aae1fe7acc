// Cancel latency benchmark: the time from a click on the Ping page's Cancel
// to the pane ending with the cancelled line, while the command writes a
// line every 50 ms, over many runs in one session. The baseline, taken
// between those runs, is the time a bare conspawn.exe running the same
// command takes to end (its process gone and its pipe closed) after the stop
// request is posted straight to it. Last, once, a spawner that ignores the
// stop request, which only the cancel time-out ends. Informational: it fails
// only when a program cannot be driven or a pane is not what the run wrote.
//
// Usage: cancel_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [RUNS]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "spawner/contract.h"

namespace {

using tracewick::bench::Median;
using tracewick::bench::Milliseconds;
using tracewick::bench::PingSheet;
using tracewick::bench::Worst;

constexpr int kLines = 1200;  // a minute of output, far more than a run waits for
constexpr char kCancelled[] = "\r\n\r\nPing cancelled";
// Enough output has arrived to be sure the command is under way.
constexpr char kUnderWay[] = "line 3\r\n";
constexpr DWORD kWaitMs = 10000;

std::string LineScript() {
    std::string script;
    for (int i = 1; i <= kLines; ++i) script += "out line " + std::to_string(i) + "\nsleep 50\n";
    return script;
}

// The lines the command wrote, from the first, each whole, then the cancelled line.
bool CancelledWhole(const std::string& pane) {
    std::string expected;
    const std::string output = tracewick::bench::AfterHeader(pane);
    for (int i = 1; expected.size() < output.size() && i <= kLines; ++i) {
        if (output == expected + kCancelled) return true;
        expected += "line " + std::to_string(i) + "\r\n";
    }
    return false;
}

// Milliseconds from the click on Cancel to the cancelled line; negative when
// the run cannot be driven or its pane is not whole.
double TimeCancel(PingSheet& ping) {
    const HANDLE process = ping.app.process();
    if (!tracewick::ui::Click(ping.run)) return -1;
    const HWND pane = ping.Pane();
    if (!tracewick::ui::WaitUntil([&] { return tracewick::ui::TextOf(pane).find(kUnderWay) != std::string::npos; },
                                  kWaitMs, process)) {
        std::fprintf(stderr, "no output arrived\n");
        return -1;
    }
    const double click = Milliseconds();
    if (!tracewick::ui::Click(ping.cancel)) return -1;
    std::string text;
    // Small texts: looking every millisecond costs the page little.
    while (!tracewick::bench::EndsWith(text = tracewick::ui::TextOf(pane), kCancelled)) {
        if (Milliseconds() - click > kWaitMs || WaitForSingleObject(process, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "no cancelled line: %s\n", tracewick::ui::Visible(text).c_str());
            return -1;
        }
    }
    const double took = Milliseconds() - click;
    if (!CancelledWhole(text)) {
        std::fprintf(stderr, "the pane is not the lines written and the cancelled line: %s\n",
                     tracewick::ui::Visible(text).c_str());
        return -1;
    }
    // The next run starts from an idle page with nothing of this one left.
    if (!tracewick::ui::WaitUntil(
            [&] { return IsWindowEnabled(ping.run) && ping.app.BinProcesses().empty(); }, kWaitMs, process)) {
        std::fprintf(stderr, "the cancelled run did not end\n");
        return -1;
    }
    return took;
}

// Milliseconds from posting the stop request to a bare spawner to its end.
double TimeBareStop(const std::string& bin_dir) {
    tracewick::bench::BareSpawner spawner;
    if (!StartBareSpawner(bin_dir, "ping", spawner)) return -1;
    std::string text;
    char buffer[1000];
    DWORD read = 0;
    while (text.find(kUnderWay) == std::string::npos) {
        if (!ReadFile(spawner.output.Get(), buffer, sizeof buffer, &read, nullptr)) {
            std::fprintf(stderr, "bare spawner: the output ended early: %s\n", tracewick::ui::Visible(text).c_str());
            return -1;
        }
        text.append(buffer, read);
    }
    const double posted = Milliseconds();
    if (!PostThreadMessageA(spawner.thread_id, tracewick::kStopRequest, 0, 0)) {
        std::fprintf(stderr, "bare spawner: the stop request cannot be posted: error %lu\n", GetLastError());
        return -1;
    }
    while (ReadFile(spawner.output.Get(), buffer, sizeof buffer, &read, nullptr)) {
    }
    const bool ended = WaitForSingleObject(spawner.process.Get(), kWaitMs) == WAIT_OBJECT_0;
    const double took = Milliseconds() - posted;
    DWORD code = 0;
    GetExitCodeProcess(spawner.process.Get(), &code);
    if (!ended || code != tracewick::kSpawnerStopped) {
        std::fprintf(stderr, "bare spawner: %s, exit code %lu\n", ended ? "ended" : "did not end", code);
        if (!ended) TerminateProcess(spawner.process.Get(), 1);
        return -1;
    }
    return took;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: cancel_bench TRACEWICK_EXE FAKE_EXE [SUMMARY_FILE [RUNS]]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 20;
    const double start = Milliseconds();

    tracewick::ui::BinFolder bin;
    bin.fake_exe = argv[2];
    bin.commands = {{"ping", LineScript()}};
    std::vector<double> cancel_ms, bare_ms;
    {
        PingSheet ping;
        if (!tracewick::bench::OpenPingSheet(ping, argv[1], bin, "x")) return 1;
        // Alternating spreads any drift of the machine over both.
        for (int i = 0; i < runs; ++i) {
            const double cancel = TimeCancel(ping);
            const double bare = TimeBareStop(ping.app.bin_dir());
            if (cancel < 0 || bare < 0) return 1;
            cancel_ms.push_back(cancel);
            bare_ms.push_back(bare);
        }
    }

    // The stand-in plays the spawner and ignores the stop request.
    bin.spawner = tracewick::ui::Spawner::kStandIn;
    bin.spawner_script = LineScript();
    double ignored_ms = 0;
    {
        PingSheet ping;
        if (!tracewick::bench::OpenPingSheet(ping, argv[1], bin, "x")) return 1;
        if ((ignored_ms = TimeCancel(ping)) < 0) return 1;
    }

    char summary[640];
    std::snprintf(summary, sizeof summary,
                  "cancel to the cancelled line over %d runs (goal: median within 150 ms): median %.1f ms, "
                  "worst %.1f ms\n"
                  "bare spawner's end after the stop request: median %.1f ms, worst %.1f ms\n"
                  "cancel ratio (to the cancelled line / bare spawner's end, medians): %.2f\n"
                  "a spawner that ignores the stop request: %.0f ms to the cancelled line (the cancel time-out)\n"
                  "cancel bench took %.1f s\n",
                  runs, Median(cancel_ms), Worst(cancel_ms), Median(bare_ms), Worst(bare_ms),
                  tracewick::bench::Ratio(Median(cancel_ms), Median(bare_ms)), ignored_ms,
                  (Milliseconds() - start) / 1000);
    tracewick::bench::PublishSummary(summary, argc > 3 ? argv[3] : nullptr);
    return 0;
}
