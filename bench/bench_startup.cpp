// Process start to first painted window, and peak resident memory: the
// program's start-up (startup_app) beside a window of the same size holding
// one text label, and beside an empty one (startup_empty). Each run spawns
// the program afresh; the table takes the median of the runs.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>

#include "run_registered.h"

extern char** environ;

namespace {

constexpr int kRuns = 40;

long long MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

struct StartupRun {
    bool ok = false;
    double seconds = 0;    // spawn to the end of the first paint
    double peakRssMb = 0;  // the child's own peak, from wait4
};

StartupRun RunOnce(const char* program, const char* argument)
{
    StartupRun run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    // Qt's warnings about the offscreen platform would only clutter the table.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t pid = 0;
    const long long started = MonotonicNs();
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return run;
    }

    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);

    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto at = output.find("first_paint_ns=");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || at == std::string::npos)
        return run;
    const long long painted = std::atoll(output.c_str() + at + 15);
    run.ok = true;
    run.seconds = static_cast<double>(painted - started) / 1e9;
    run.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    return run;
}

void Startup(benchmark::State& state, const char* program, const char* argument)
{
    double peakRssMb = 0;
    for (auto _ : state) {
        const StartupRun run = RunOnce(program, argument);
        if (!run.ok) {
            state.SkipWithError((std::string(program) + " did not paint and exit cleanly; run it by hand").c_str());
            break;
        }
        state.SetIterationTime(run.seconds);
        peakRssMb = run.peakRssMb;
    }
    state.counters["peak_rss_mb"] = peakRssMb;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    struct Program {
        const char* name;
        const char* path;
        const char* argument;
    };
    const Program programs[] = {
        {"startup/ours", PICTOLEX_STARTUP_APP, nullptr},
        {"startup/floor", PICTOLEX_STARTUP_EMPTY, nullptr},
        {"startup/label", PICTOLEX_STARTUP_EMPTY, "--label"},
    };
    for (const Program& program : programs) {
        benchmark::RegisterBenchmark(program.name, Startup, program.path, program.argument)
            ->Iterations(1)
            ->Repetitions(kRuns)
            ->ReportAggregatesOnly(true)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return pictolex::bench::RunRegisteredBenchmarks(argc, argv);
}
