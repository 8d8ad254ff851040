// Times the Windows letters view in one process under Wine: the first
// listing of a big folder against FindFirstFileExW/FindNextFileW and a sort
// of the names, the watch's tick on the unchanged folder, and the program's
// processor time while a send waits on a mail tool that takes 2 s. Prints
// one "name value" line each, in milliseconds or per cent.
//
//   letters_probe BIG_FOLDER TOOL_FOLDER

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/LettersWatch.h"
#include "core/MailSending.h"
#include "platform/win32/WideText.h"
#include "ui/win32/LettersView.h"
#include "ui/win32/MessageWaitRunner.h"

using namespace dorvel;

namespace {

template <typename Work>
double MedianMs(int runs, Work&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                     times.end());
    return times[times.size() / 2];
}

double CpuSeconds() {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: letters_probe BIG_FOLDER TOOL_FOLDER\n");
        return 2;
    }
    const std::string big = argv[1];
    const std::string tools = argv[2];
    auto& host = platform::HostPlatform();
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                    nullptr, nullptr);

    const double listing = MedianMs(5, [&] {
        ui::win32::ShellListView view(host, parent, 1);
        view.setRoot(big);
        ::DestroyWindow(view.handle());
    });
    const double floor = MedianMs(5, [&] {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        const std::wstring pattern = platform::Wide(big) + L"\\*";
        const HANDLE find =
            ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                               nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                names.emplace_back(found.cFileName);
            } while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        std::sort(names.begin(), names.end());
    });
    ui::win32::ShellListView view(host, parent, 1);
    view.setRoot(big);
    core::FolderListing shadow = ui::win32::MakeShellListing(host);
    bool changed = false;
    const double tick = MedianMs(5, [&] { changed = core::OnWatchTick(view.listing(), shadow); });
    if (changed) return 1;
    // The program's own tick: the folder is listed only when its notice says
    // it changed, and nothing changes here.
    core::LettersWatch watch(host);
    (void)watch.tick(view.listing(), shadow);
    const double quiet = MedianMs(5, [&] { changed = watch.tick(view.listing(), shadow); });
    if (changed) return 1;

    ::SetEnvironmentVariableW(L"DORVEL_TOMAIL_DELAY_MS", L"2000");
    ui::win32::MessageWaitRunner runner(host);
    const double before = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    runner.RunAndWait(
        core::MailToolCommand(core::MailToolArguments(tools + "\\", "L_A", tools + "\\none")));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - before;

    std::printf(
        "listing %.3f\nfloor %.3f\ntick %.3f\nquiet_tick %.5f\nsend_cpu %.3f\nsend_wall %.3f\n",
        listing, floor, tick, quiet, cpu * 1000, wall * 1000);
    return 0;
}
