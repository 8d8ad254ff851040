// The settings file's reads and writes of 100,000 ticks in the Windows build
// under Wine, against the same on Linux. Each side times itself in its own
// process (bench/SettingsProbe.cpp), so that Wine's start is not counted.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Ratios.h"

extern char** environ;

namespace {

// The probe's one line of output, or nothing when it failed.
std::string RunProbe(const std::vector<std::string>& argv, const std::string& lastLine = "\n") {
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
    // Up to the last line, then stop: Wine's own services inherit the pipe
    // and keep it open long after the probe has ended.
    for (ssize_t got = 0; out.find(lastLine) == std::string::npos &&
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

// The Windows letters view's measures, from one run of its probe on a
// virtual display (the view is a window).
const std::map<std::string, double>& LettersMeasures() {
    static const std::map<std::string, double> measures = [] {
        std::map<std::string, double> m;
        if (!std::filesystem::exists(DORVEL_WINDOWS_LETTERS_PROBE)) return m;
        const std::string big = ScratchFolder("letters100k");
        for (int i = 0; i < 100'000; ++i) {
            const std::string name = big + "/LETTER" + std::to_string(i) + ".DOC";
            const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0) ::close(fd);
        }
        const std::string tools = ScratchFolder("tools");
        std::filesystem::copy_file(DORVEL_WINDOWS_TOMAIL, tools + "/TOMAIL.exe",
                                   std::filesystem::copy_options::overwrite_existing);
        auto windows = [](std::string path) {
            for (char& c : path) {
                if (c == '/') c = '\\';
            }
            return "Z:" + path;
        };
        std::istringstream out(
            RunProbe({"/usr/bin/xvfb-run", "-a", DORVEL_WINE_RUN, DORVEL_WINDOWS_LETTERS_PROBE,
                      windows(big), windows(tools)},
                     "send_wall"));
        std::string name;
        double value = 0;
        while (out >> name >> value) m[name] = value;
        return m;
    }();
    return measures;
}

// One measure of a probe's run, in milliseconds, as the benchmark's time.
void ReportFrom(benchmark::State& state, const std::map<std::string, double>& measures,
                const char* measure) {
    const auto it = measures.find(measure);
    for (auto _ : state) {
        if (it == measures.end()) {
            state.SkipWithError("the Windows probe did not run: cmake --preset windows first");
            break;
        }
        state.SetIterationTime(it->second / 1000.0);
    }
}

void Report(benchmark::State& state, const char* measure) {
    ReportFrom(state, LettersMeasures(), measure);
}

void WineLetters_FirstListing100k(benchmark::State& state) { Report(state, "listing"); }
void WineLetters_FindFilesAndSort_Floor(benchmark::State& state) { Report(state, "floor"); }
void WineLetters_WatchTickUnchanged(benchmark::State& state) { Report(state, "tick"); }
void WineLetters_WatchTickQuietWithNotice(benchmark::State& state) { Report(state, "quiet_tick"); }
void WineSend_CpuWhileWaiting(benchmark::State& state) { Report(state, "send_cpu"); }
void WineSend_WallWhileWaiting(benchmark::State& state) { Report(state, "send_wall"); }
BENCHMARK(WineLetters_FirstListing100k)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineLetters_FindFilesAndSort_Floor)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineLetters_WatchTickUnchanged)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineLetters_WatchTickQuietWithNotice)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineSend_CpuWhileWaiting)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WineSend_WallWhileWaiting)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// A whole start of the Windows program on 10,000 recipients and 10,000
// letters under Wine, against a bare Win32 window, five of each taking turns
// on one virtual display; with where the program's time goes.
const std::map<std::string, double>& StartMeasures() {
    static const std::map<std::string, double> measures = [] {
        std::map<std::string, double> m;
        if (!std::filesystem::exists(DORVEL_WINDOWS_START_PROBE)) return m;
        const std::string base = ScratchFolder("start10k");
        const std::string mail = base + "/mail";
        const std::string letters = base + "/letters";
        const std::string run = base + "/run";
        for (const auto& folder : {mail, letters, run}) std::filesystem::create_directories(folder);
        {
            std::ofstream addresses(mail + "/LUSERS.NDE", std::ios::binary);
            for (int i = 0; i < 10'000; ++i) {
                addresses << "L_OFFICE" << i << " \x8A\xA8\xF9\xA2, \xE6\xA5\xAD\xE2\xE0 " << i % 97
                          << "\r\n";
            }
        }
        for (int i = 0; i < 10'000; ++i) {
            const std::string name = letters + "/LETTER" + std::to_string(i) + ".DOC";
            const int fd = ::open(name.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0) ::close(fd);
        }
        auto windows = [](std::string path) {
            for (char& c : path) {
                if (c == '/') c = '\\';
            }
            return "Z:" + path;
        };
        // The settings file names the letters; nothing else is stored.
        std::ofstream(run + "/dorvel.ini", std::ios::binary)
            << "[Options]\r\nLetters=" << windows(letters) << "\r\n";
        const std::string loop =
            "cd \"$1\" && export ZOVOVOD=\"$2\" && \"$3\" \"$4\" bare >/dev/null; "
            "for i in 1 2 3 4 5; do for m in bare dorvel; do "
            "printf '%s ' $m; \"$3\" \"$4\" $m; done; done; echo end";
        std::istringstream out(
            RunProbe({"/usr/bin/xvfb-run", "-a", "/bin/bash", "-c", loop, "loop", run,
                      windows(mail), DORVEL_WINE_RUN, DORVEL_WINDOWS_START_PROBE},
                     "end"));
        std::map<std::string, std::vector<double>> seen;
        std::string line;
        while (std::getline(out, line)) {
            std::istringstream words(line);
            std::string mode, name;
            double value = 0;
            if (!(words >> mode) || mode == "end") continue;
            while (words >> name >> value) seen[mode + "_" + name].push_back(value);
        }
        for (auto& [name, values] : seen) {
            std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
            m[name] = values[values.size() / 2];
        }
        return m;
    }();
    return measures;
}

void ReportStart(benchmark::State& state, const char* measure) {
    ReportFrom(state, StartMeasures(), measure);
}

void WineStart_BareWindow(benchmark::State& state) { ReportStart(state, "bare_total"); }
void WineStart_Dorvel10k(benchmark::State& state) { ReportStart(state, "dorvel_total"); }
// Where the program's time goes, in order.
void WineStart_Dorvel10k_1_Loader(benchmark::State& state) { ReportStart(state, "dorvel_loader"); }
void WineStart_Dorvel10k_2_ReadsListingControls(benchmark::State& state) {
    ReportStart(state, "dorvel_reads_listing_controls");
}
void WineStart_Dorvel10k_3_Show(benchmark::State& state) { ReportStart(state, "dorvel_show"); }
void WineStart_Dorvel10k_4_Paint(benchmark::State& state) { ReportStart(state, "dorvel_paint"); }
BENCHMARK(WineStart_BareWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WineStart_Dorvel10k)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WineStart_Dorvel10k_1_Loader)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineStart_Dorvel10k_2_ReadsListingControls)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineStart_Dorvel10k_3_Show)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(WineStart_Dorvel10k_4_Paint)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

const dorvel::bench::RegisterRatio kWineStart(
    "Windows start, 10k recipients and letters / bare window (Wine)", "WineStart_Dorvel10k",
    "WineStart_BareWindow", 8.0);

const dorvel::bench::RegisterRatio kWineListing(
    "Windows letters view, first listing of 100k / FindFirstFileExW+sort",
    "WineLetters_FirstListing100k", "WineLetters_FindFilesAndSort_Floor", 3.0);
const dorvel::bench::RegisterRatio kWineTick("Windows watch tick, unchanged 100k / floor",
                                             "WineLetters_WatchTickUnchanged",
                                             "WineLetters_FindFilesAndSort_Floor", 2.0);
const dorvel::bench::RegisterRatio kWineQuiet(
    "Windows watch tick, quiet 100k with its notice / full tick",
    "WineLetters_WatchTickQuietWithNotice", "WineLetters_WatchTickUnchanged", 0.01);
const dorvel::bench::RegisterRatio kWineSend("Windows send: CPU while a 2 s tool runs / its wall",
                                             "WineSend_CpuWhileWaiting",
                                             "WineSend_WallWhileWaiting", 0.02);

const dorvel::bench::RegisterRatio kWine("settings, 100k ticks: Windows under Wine / Linux",
                                         "SettingsTicks_WindowsUnderWine/100000",
                                         "SettingsTicks_Linux/100000", 2.0);
const dorvel::bench::RegisterRatio kWineLinear("settings under Wine, 100k / 10k ticks",
                                               "SettingsTicks_WindowsUnderWine/100000",
                                               "SettingsTicks_WindowsUnderWine/10000", 12.0);

}  // namespace
