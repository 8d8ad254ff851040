// Listing a folder of 100,000 files and 1,000 subfolders: the letters view,
// the watch's tick, leaving the folder, and Qt's own file model as a peer.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileSystemModel>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "Ratios.h"
#include "core/FolderListing.h"
#include "core/LettersWatch.h"
#include "platform/Platform.h"
#include "ui/qt/LettersView.h"

// Counts the bytes held, to report the listing's peak memory per entry.
namespace {
std::atomic<std::size_t> heldBytes{0};
std::atomic<std::size_t> peakBytes{0};
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    const std::size_t now = heldBytes += malloc_usable_size(p);
    std::size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    heldBytes -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

using namespace dorvel;

namespace {

constexpr int kFiles = 100'000;
constexpr int kFolders = 1'000;

struct BigFolder {
    std::string parent;  // holds the big folder and a few small things
    std::string big;
    std::string small;
};

const BigFolder& Folders() {
    static const BigFolder folders = [] {
        char pattern[] = "/tmp/dorvel-letters-bench-XXXXXX";
        BigFolder f{::mkdtemp(pattern), {}, {}};
        f.big = f.parent + "/big";
        f.small = f.parent + "/small";
        std::filesystem::create_directories(f.big);
        std::filesystem::create_directories(f.small);
        for (int i = 0; i < 20; ++i) {
            ::close(::open((f.small + "/letter " + std::to_string(i)).c_str(), O_CREAT | O_WRONLY,
                           0644));
        }
        for (int i = 0; i < kFolders; ++i) {
            std::filesystem::create_directory(f.big + "/Folder " + std::to_string(i));
        }
        for (int i = 0; i < kFiles; ++i) {
            const std::string name =
                f.big + "/Letter " + std::to_string(i * 7919 % kFiles) + ".txt";
            ::close(::open(name.c_str(), O_CREAT | O_WRONLY, 0644));
        }
        std::atexit([] { std::filesystem::remove_all(Folders().parent); });
        return f;
    }();
    return folders;
}

QApplication& App() {
    static int argc = 1;
    static char name[] = "dorvel_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The floor: what any listing must do, enumerate and sort.
void ReaddirAndSortBytewise_Floor(benchmark::State& state) {
    const std::string& big = Folders().big;
    for (auto _ : state) {
        std::vector<std::string> names;
        DIR* dir = ::opendir(big.c_str());
        while (const dirent* e = ::readdir(dir)) names.emplace_back(e->d_name);
        ::closedir(dir);
        std::sort(names.begin(), names.end());
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(ReaddirAndSortBytewise_Floor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->MinTime(0.3);

// A first listing: enumerate, natural sort.
void FolderListing_First(benchmark::State& state) {
    const std::string& big = Folders().big;
    std::size_t peak = 0;
    std::size_t count = 0;
    for (auto _ : state) {
        const std::size_t before = heldBytes;
        peakBytes = before;
        core::FolderListing listing(platform::HostPlatform());
        listing.setRoot(big);
        count = listing.count();
        peak = std::max(peak, peakBytes.load() - before);
        benchmark::DoNotOptimize(listing.count());
    }
    state.counters["entries"] = static_cast<double>(count);
    state.counters["peak_bytes_per_entry"] = static_cast<double>(peak) / static_cast<double>(count);
}
BENCHMARK(FolderListing_First)->Unit(benchmark::kMillisecond)->Repetitions(3)->MinTime(0.3);

// Relisting the visible view after its folder changed: enumerate, sort, reset.
void ViewRelist_Changed(benchmark::State& state) {
    App();
    ui::ShellListView view(platform::HostPlatform());
    view.resize(800, 600);
    view.setRoot(Folders().big);
    const std::string extra = Folders().big + "/Letter extra.txt";
    bool present = false;
    for (auto _ : state) {
        state.PauseTiming();
        if (present) {
            std::filesystem::remove(extra);
        } else {
            ::close(::open(extra.c_str(), O_CREAT | O_WRONLY, 0644));
        }
        present = !present;
        state.ResumeTiming();
        view.Relist();
    }
    if (present) std::filesystem::remove(extra);
}
BENCHMARK(ViewRelist_Changed)->Unit(benchmark::kMillisecond)->Iterations(8)->Repetitions(3);

// F5 on an unchanged folder.
void ViewRelist_Unchanged(benchmark::State& state) {
    App();
    ui::ShellListView view(platform::HostPlatform());
    view.resize(800, 600);
    view.setRoot(Folders().big);
    for (auto _ : state) view.Relist();
}
BENCHMARK(ViewRelist_Unchanged)->Unit(benchmark::kMillisecond)->Repetitions(3)->MinTime(0.3);

void WatchTick_Unchanged(benchmark::State& state) {
    core::FolderListing letters(platform::HostPlatform());
    core::FolderListing shadow(platform::HostPlatform());
    letters.setRoot(Folders().big);
    for (auto _ : state) benchmark::DoNotOptimize(core::OnWatchTick(letters, shadow));
}
BENCHMARK(WatchTick_Unchanged)->Unit(benchmark::kMillisecond)->Repetitions(3)->MinTime(0.3);

// The tick the program runs: the folder is listed only when its notice
// speaks, and nothing changes here.
void WatchTick_QuietWithNotice(benchmark::State& state) {
    core::FolderListing letters(platform::HostPlatform());
    core::FolderListing shadow(platform::HostPlatform());
    core::LettersWatch watch(platform::HostPlatform());
    letters.setRoot(Folders().big);
    (void)watch.tick(letters, shadow);  // the first tick on a folder compares
    for (auto _ : state) benchmark::DoNotOptimize(watch.tick(letters, shadow));
}
BENCHMARK(WatchTick_QuietWithNotice)->Unit(benchmark::kMillisecond)->Repetitions(3)->MinTime(0.3);

// The peer: Qt's file model, until it reports the folder loaded.
void QFileSystemModel_Peer(benchmark::State& state) {
    App();
    const QString big = QString::fromStdString(Folders().big);
    for (auto _ : state) {
        QFileSystemModel model;
        QEventLoop loop;
        QObject::connect(&model, &QFileSystemModel::directoryLoaded, &loop,
                         [&](const QString& path) {
                             if (path == big) loop.quit();
                         });
        QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
        model.setRootPath(big);
        loop.exec();
        benchmark::DoNotOptimize(model.rowCount(model.index(big)));
    }
}
BENCHMARK(QFileSystemModel_Peer)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

// Backspace out of the big folder into a small one.
void LeaveBigFolder(benchmark::State& state) {
    App();
    ui::ShellListView view(platform::HostPlatform());
    view.resize(800, 600);
    view.setRoot(Folders().parent);
    for (auto _ : state) {
        state.PauseTiming();
        view.setRoot(Folders().big);
        state.ResumeTiming();
        view.setRoot(Folders().small);
    }
}
BENCHMARK(LeaveBigFolder)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

// The same, from a view that never held the big folder. Another view lists
// the big folder last in the pause, so that both start with caches as cold;
// that view leaves it again only inside the next pause.
void ListSmallFolder_Alone(benchmark::State& state) {
    App();
    ui::ShellListView view(platform::HostPlatform());
    ui::ShellListView other(platform::HostPlatform());
    view.resize(800, 600);
    other.setRoot(Folders().parent);
    for (auto _ : state) {
        state.PauseTiming();
        view.setRoot(Folders().parent);
        other.setRoot(Folders().parent);
        other.setRoot(Folders().big);
        state.ResumeTiming();
        view.setRoot(Folders().small);
    }
}
BENCHMARK(ListSmallFolder_Alone)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

const bench::RegisterRatio kFirst("first listing, 100k files / readdir+bytewise sort",
                                  "FolderListing_First", "ReaddirAndSortBytewise_Floor", 3.0);
const bench::RegisterRatio kRelist("view Relist after a change / floor", "ViewRelist_Changed",
                                   "ReaddirAndSortBytewise_Floor", 3.0);
const bench::RegisterRatio kF5("view Relist, unchanged folder / floor", "ViewRelist_Unchanged",
                               "ReaddirAndSortBytewise_Floor", 3.0);
const bench::RegisterRatio kTick("watch tick, unchanged folder / floor", "WatchTick_Unchanged",
                                 "ReaddirAndSortBytewise_Floor", 2.0);
// A tick a second: this ratio times the full tick's share of a core is the
// quiet watch's share.
const bench::RegisterRatio kQuiet("watch tick, quiet folder with its notice / full tick",
                                  "WatchTick_QuietWithNotice", "WatchTick_Unchanged", 0.01);
const bench::RegisterRatio kPeer("view Relist after a change / QFileSystemModel",
                                 "ViewRelist_Changed", "QFileSystemModel_Peer", 0.1);
const bench::RegisterRatio kLeave("leaving the 100k folder / listing the small one alone",
                                  "LeaveBigFolder", "ListSmallFolder_Alone", 2.0);

}  // namespace

#ifdef DORVEL_STARTUP_PROBE
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// A demo with 10,000 recipients and a letters folder of 10,000 files.
const std::string& StartupFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/dorvel-startup-bench-XXXXXX";
        std::string f = ::mkdtemp(pattern);
        std::filesystem::create_directories(f + "/mail");
        std::filesystem::create_directories(f + "/letters");
        std::filesystem::create_directories(f + "/run");
        std::string addresses, ini = "[Options]\r\nLetters=" + f + "/letters\r\n[ListCheck]\r\n";
        for (int i = 0; i < 10'000; ++i) {
            const std::string line =
                "L_OFFICE" + std::to_string(i) + " Office number " + std::to_string(i);
            addresses += line + "\r\n";
            ini += line + "=" + (i % 5 == 0 ? "1" : "0") + "\r\n";
            ::close(::open((f + "/letters/LETTER" + std::to_string(i) + ".DOC").c_str(),
                           O_CREAT | O_WRONLY, 0644));
        }
        std::ofstream(f + "/mail/LUSERS.NDE", std::ios::binary) << addresses;
        std::ofstream(f + "/run/dorvel.ini", std::ios::binary) << ini;
        std::atexit([] { std::filesystem::remove_all(StartupFolder()); });
        return f;
    }();
    return folder;
}

void RunProbe(benchmark::State& state, const char* mode) {
    const std::string& folder = StartupFolder();
    ::setenv("ZOVOVOD", (folder + "/mail").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addchdir_np(&actions, (folder + "/run").c_str());
    char probe[] = DORVEL_STARTUP_PROBE;
    std::string modeText = mode;
    char* argv[] = {probe, modeText.data(), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (::posix_spawn(&pid, probe, &actions, nullptr, argv, environ) != 0) {
            state.SkipWithError("the probe did not start");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the probe failed");
            break;
        }
    }
    ::posix_spawn_file_actions_destroy(&actions);
}

void ProgramStart_10kRecipients_10kLetters(benchmark::State& state) { RunProbe(state, "dorvel"); }
BENCHMARK(ProgramStart_10kRecipients_10kLetters)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3);

void ProgramStart_BareQtWindow(benchmark::State& state) { RunProbe(state, "bare"); }
BENCHMARK(ProgramStart_BareQtWindow)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

void ProgramStart_QtWindowWithALabel(benchmark::State& state) { RunProbe(state, "label"); }
BENCHMARK(ProgramStart_QtWindowWithALabel)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3);

void ProgramStart_FloorOfTheSameFiles(benchmark::State& state) { RunProbe(state, "floor"); }
BENCHMARK(ProgramStart_FloorOfTheSameFiles)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3);

const bench::RegisterRatio kStartLabel("program start / Qt window with one label (fonts loaded)",
                                       "ProgramStart_10kRecipients_10kLetters",
                                       "ProgramStart_QtWindowWithALabel", 2.0);
const bench::RegisterRatio kStart(
    "program start on 10k recipients and 10k letters / bare Qt window",
    "ProgramStart_10kRecipients_10kLetters", "ProgramStart_BareQtWindow", 2.0);
// What the aim above leaves room for: the unavoidable reads and paints alone.
const bench::RegisterRatio kStartFloor("reads and paints of the same files alone / bare Qt window",
                                       "ProgramStart_FloorOfTheSameFiles",
                                       "ProgramStart_BareQtWindow", 2.0);
const bench::RegisterRatio kStartOverFloor(
    "program start / reads and paints of the same files alone",
    "ProgramStart_10kRecipients_10kLetters", "ProgramStart_FloorOfTheSameFiles", 2.0);

}  // namespace
#endif

#ifdef DORVEL_TOMAIL_PATH
#include <sys/resource.h>

#include "ui/qt/EventLoopRunner.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A send waiting 2 seconds on a mail tool, and the program's own processor
// time meanwhile; the tool's time is its own.
void SendWait_CpuTime(benchmark::State& state) {
    App();
    char pattern[] = "/tmp/dorvel-wait-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    std::filesystem::copy_file(DORVEL_TOMAIL_PATH, folder + "/TOMAIL");
    ::setenv("DORVEL_TOMAIL_DELAY_MS", "2000", 1);
    ui::EventLoopRunner runner(platform::HostPlatform());
    const platform::Command command = core::MailToolCommand(
        {folder + "/TOMAIL", "-HPOST", "-NL_A", "-F" + folder + "/none", "-X", "-SOFFICE"});
    double cpu = 0;
    for (auto _ : state) {
        const double before = CpuSeconds();
        runner.RunAndWait(command);
        const double spent = CpuSeconds() - before;
        cpu += spent;
        state.SetIterationTime(spent);
    }
    ::unsetenv("DORVEL_TOMAIL_DELAY_MS");
    std::filesystem::remove_all(folder);
    state.counters["cpu_share_of_one_core_percent"] =
        100.0 * cpu / (2.0 * static_cast<double>(state.iterations()));
}
BENCHMARK(SendWait_CpuTime)
    ->UseManualTime()
    ->Iterations(2)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

// The same 2 seconds as wall time, to hold the processor time against.
void SendWait_WallTime(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(2.0);
}
BENCHMARK(SendWait_WallTime)
    ->UseManualTime()
    ->Iterations(2)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

const bench::RegisterRatio kWait("program CPU time during a 2 s send wait / wall time",
                                 "SendWait_CpuTime", "SendWait_WallTime", 0.02);

}  // namespace
#endif
