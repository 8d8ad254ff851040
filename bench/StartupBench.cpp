// Reading the address file, converting its lines, and the settings file's
// start-up reads and shut-down writes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Ratios.h"
#include "core/DosText.h"
#include "core/RecipientList.h"
#include "core/SettingsFile.h"
#include "platform/posix/PosixPlatform.h"

using namespace dorvel;

namespace {

class Silent final : public core::Messages {
public:
    void error(const std::string&) override {}
    void information(const std::string&) override {}
    void platformError(const std::string&) override {}
};

// A realistic address-file line in DOS bytes, numbered.
std::string DosLine(int i) {
    return "L_OFFICE" + std::to_string(i) +
           " \x8A\xA8\xF9\xA2, \xE6\xA5\xAD\xE2\xE0\xA0\xAB\xEC\xAD\xA8\xA9 \xAE\xE4\xF7\xE1 " +
           std::to_string(i % 97);
}

const std::string& BenchFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dorvel-bench-XXXXXX").string();
        std::string made = ::mkdtemp(pattern.data());
        std::atexit([] { std::filesystem::remove_all(BenchFolder()); });
        return made;
    }();
    return folder;
}

const std::string& AddressFile() {
    static const std::string path = [] {
        std::string p = BenchFolder() + "/LUSERS.NDE";
        std::ofstream out(p, std::ios::binary);
        for (int i = 0; i < 1'000'000; ++i) {
            // One line in eight is a comment or a route, as in real files.
            out << (i % 8 == 0 ? "; route " + std::to_string(i) : DosLine(i)) << "\r\n";
        }
        return p;
    }();
    return path;
}

void LoadRecipients_1M(benchmark::State& state) {
    ::setenv("ZOVOVOD", BenchFolder().c_str(), 1);
    AddressFile();
    Silent silent;
    for (auto _ : state) {
        auto load = core::LoadRecipients(platform::HostPlatform(), silent);
        benchmark::DoNotOptimize(load.recipients.data());
    }
}
BENCHMARK(LoadRecipients_1M)->Unit(benchmark::kMillisecond);

// The floor: read the same file and split it into lines, nothing more.
void ReadAndSplit_1M_Floor(benchmark::State& state) {
    const std::string& path = AddressFile();
    for (auto _ : state) {
        std::vector<std::string> lines;  // grows as LoadRecipients' list does
        FILE* f = std::fopen(path.c_str(), "rb");
        std::string carry;
        char buffer[1 << 16];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
            std::string_view chunk(buffer, got);
            for (auto lf = chunk.find('\n'); lf != std::string_view::npos; lf = chunk.find('\n')) {
                carry.append(chunk.substr(0, lf));
                lines.push_back(
                    std::move(carry));  // NOLINT(performance-inefficient-vector-operation)
                carry.clear();
                chunk.remove_prefix(lf + 1);
            }
            carry.append(chunk);
        }
        std::fclose(f);
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(ReadAndSplit_1M_Floor)->Unit(benchmark::kMillisecond);

const bench::RegisterRatio kLoadRatio("LoadRecipients, 1M lines / read and split",
                                      "LoadRecipients_1M", "ReadAndSplit_1M_Floor", 2.0);

std::vector<std::string> DosLines() {
    std::vector<std::string> lines;
    lines.reserve(10'000);
    for (int i = 0; i < 10'000; ++i) lines.push_back(DosLine(i));
    return lines;
}

void DosToWindows_Lines(benchmark::State& state) {
    const auto lines = DosLines();
    for (auto _ : state) {
        for (const auto& line : lines) benchmark::DoNotOptimize(core::DosToWindows(line));
    }
}
BENCHMARK(DosToWindows_Lines);

void CopyLines_Floor(benchmark::State& state) {
    const auto lines = DosLines();
    for (auto _ : state) {
        for (const auto& line : lines) benchmark::DoNotOptimize(std::string(line));
    }
}
BENCHMARK(CopyLines_Floor);

const bench::RegisterRatio kDosRatio("DosToWindows / plain copy of the same lines",
                                     "DosToWindows_Lines", "CopyLines_Floor", 4.0);

// Start-up reads and shut-down writes of a settings file holding n ticks.
void SettingsReadAndWrite(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string folder = BenchFolder() + "/settings" + std::to_string(n);
    std::filesystem::create_directories(folder);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    std::vector<core::Recipient> recipients;
    recipients.reserve(n);
    for (int i = 0; i < n; ++i) recipients.push_back({core::DosToWindows(DosLine(i)), i % 3 == 0});
    auto& host = platform::HostPlatform();
    for (auto _ : state) {
        {
            const core::SettingsFile file(host);
            benchmark::DoNotOptimize(file.ReadSettings({}));
            for (auto& r : recipients) r.ticked = file.ReadTick(r.line) || r.ticked;
        }
        core::SettingsFile file(host);
        file.WriteSettings({}, false);
        for (const auto& r : recipients) file.WriteTick(r.line, r.ticked);
        file.Save();
    }
    std::filesystem::current_path(previous);
}
BENCHMARK(SettingsReadAndWrite)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

const bench::RegisterRatio kSettingsRatio("settings start-up and shut-down, 100k / 10k ticks",
                                          "SettingsReadAndWrite/100000",
                                          "SettingsReadAndWrite/10000", 12.0);

}  // namespace
