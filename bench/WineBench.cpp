// The settings file's reads and writes of 100,000 ticks in the Windows build
// under Wine, against the same on Linux. Each side times itself in its own
// process (bench/SettingsProbe.cpp), so that Wine's start is not counted.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Ratios.h"

extern char** environ;

namespace {

// The probe's one line of output, or nothing when it failed.
std::string RunProbe(const std::vector<std::string>& argv) {
    int pipe[2];
    if (::pipe(pipe) != 0) return {};
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    ::posix_spawn_file_actions_addclose(&actions, pipe[0]);
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    std::string out;
    char buffer[256];
    // One line, then stop: Wine's own services inherit the pipe and keep it
    // open long after the probe has ended.
    for (ssize_t got = 0; out.find('\n') == std::string::npos &&
                          (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe[0]);
    int status = 0;
    if (failed != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return {};
    }
    return out;
}

std::string ScratchFolder(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() / ("dorvel-wine-bench-" + name);
    std::filesystem::create_directories(folder);
    return folder.string();
}

void TimeProbe(benchmark::State& state, const std::vector<std::string>& argv) {
    for (auto _ : state) {
        const std::string out = RunProbe(argv);
        if (out.empty()) {
            state.SkipWithError("the probe did not run");
            break;
        }
        state.SetIterationTime(std::stod(out) / 1000.0);
    }
}

void SettingsTicks_Linux(benchmark::State& state) {
    const std::string n = std::to_string(state.range(0));
    TimeProbe(state, {DORVEL_SETTINGS_PROBE, ScratchFolder("linux" + n), n, "5"});
}
BENCHMARK(SettingsTicks_Linux)
    ->Arg(10'000)
    ->Arg(100'000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void SettingsTicks_WindowsUnderWine(benchmark::State& state) {
    if (!std::filesystem::exists(DORVEL_WINDOWS_SETTINGS_PROBE)) {
        state.SkipWithError("no Windows build: cmake --preset windows first");
        return;
    }
    const std::string n = std::to_string(state.range(0));
    // Wine sees the build machine's folders as drive Z:.
    std::string folder = ScratchFolder("windows" + n);
    for (char& c : folder) {
        if (c == '/') c = '\\';
    }
    TimeProbe(state, {DORVEL_WINE_RUN, DORVEL_WINDOWS_SETTINGS_PROBE, "Z:" + folder, n, "5"});
}
BENCHMARK(SettingsTicks_WindowsUnderWine)
    ->Arg(10'000)
    ->Arg(100'000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

const dorvel::bench::RegisterRatio kWine("settings, 100k ticks: Windows under Wine / Linux",
                                         "SettingsTicks_WindowsUnderWine/100000",
                                         "SettingsTicks_Linux/100000", 2.0);
const dorvel::bench::RegisterRatio kWineLinear("settings under Wine, 100k / 10k ticks",
                                               "SettingsTicks_WindowsUnderWine/100000",
                                               "SettingsTicks_WindowsUnderWine/10000", 12.0);

}  // namespace
