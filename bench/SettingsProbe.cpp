// Times the settings file's start-up reads and shut-down writes of N ticks,
// as the program does them, in the folder given, on whichever system it was
// built for. Prints the median of the runs in milliseconds, so that a
// benchmark can hold the Windows build under Wine against the Linux one
// without counting Wine's own start.
//
//   settings_probe FOLDER TICKS RUNS

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/RecipientList.h"
#include "core/SettingsFile.h"

using namespace dorvel;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: settings_probe FOLDER TICKS RUNS\n");
        return 2;
    }
    std::filesystem::current_path(argv[1]);
    const int n = std::stoi(argv[2]);
    const int runs = std::max(1, std::stoi(argv[3]));
    std::vector<core::Recipient> recipients;
    recipients.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        // Windows-1251 lines of a realistic length.
        recipients.push_back(
            {"L_OFFICE" + std::to_string(i) +
                 " \xCA\xE8\xE5\xE2, \xF6\xE5\xED\xF2\xF0\xE0\xEB\xFC\xED\xFB\xE9 " +
                 std::to_string(i % 97),
             i % 3 == 0});
    }
    auto& host = platform::HostPlatform();
    std::vector<double> times;
    for (int run = 0; run <= runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        {
            const core::SettingsFile file(host);
            const auto read = file.ReadSettings({});
            if (read.panel1 < 0) return 1;
            for (auto& r : recipients) r.ticked = file.ReadTick(r.line) || r.ticked;
        }
        core::SettingsFile file(host);
        file.WriteSettings({}, false);
        for (const auto& r : recipients) file.WriteTick(r.line, r.ticked);
        file.Save();
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        // The first run only makes the file.
        if (run > 0) times.push_back(spent.count());
    }
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                     times.end());
    std::printf("%.3f\n", times[times.size() / 2]);
    return 0;
}
