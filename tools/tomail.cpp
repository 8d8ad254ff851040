// A stand-in for the mail transport's TOMAIL, for the demo and the tests.
// It accepts exactly the mail tool's command line, appends each run to
// journal.txt in its own folder and drops a copy of the file into
// outbox/<recipient code>/, so that a send can be seen on disk. Anything
// else it refuses with exit status 2. DORVEL_TOMAIL_DELAY_MS makes it take
// its time, as a real transport does; DORVEL_TOMAIL_MISBEHAVE makes it fail
// on purpose: "hang", "crash", "fail" (exit 1 at once) or "flood" (write
// 64 MiB to its output first).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool ToolCode(const std::string& option) {
    if (option.size() != 6 || !StartsWith(option, "-H")) return false;
    for (std::size_t i = 2; i < 6; ++i) {
        if (option[i] < 'A' || option[i] > 'Z') return false;
    }
    return true;
}

// One argument per field; backslash, tab and newline escaped, so that every
// byte of a hostile name can be read back.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// The folder the tool lies in.
fs::path OwnFolder(const char* argv0) {
#ifdef _WIN32
    // The command line names the tool unquoted: a mail directory with a blank
    // splits argv[0], so the system is asked instead.
    (void)argv0;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
#else
    return fs::path(argv0).parent_path();
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The options are the last five arguments, however many the tool's own
    // unquoted name took.
    if (argc > 6) {
        argv += argc - 6;
        argc = 6;
    }
#endif
    if (argc != 6 || !ToolCode(argv[1]) || !StartsWith(argv[2], "-N") ||
        !StartsWith(argv[3], "-F") || std::string(argv[4]) != "-X" ||
        std::string(argv[5]) != "-SOFFICE") {
        std::fprintf(stderr, "usage: TOMAIL -HCODE -NRECIPIENT -FFILE -X -SOFFICE\n");
        return 2;
    }
    if (const char* misbehave = std::getenv("DORVEL_TOMAIL_MISBEHAVE")) {
        const std::string how = misbehave;
        if (how == "hang") {
            for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
        }
        if (how == "crash") std::abort();
        if (how == "fail") return 1;
        if (how == "flood") {
            const std::string block(1 << 16, 'x');
            for (int i = 0; i < 1024; ++i) std::fwrite(block.data(), 1, block.size(), stdout);
        }
    }
    if (const char* delay = std::getenv("DORVEL_TOMAIL_DELAY_MS")) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(delay)));
    }
    const fs::path folder = OwnFolder(argv[0]);
    const std::string code = std::string(argv[2]).substr(2);
    const std::string file = std::string(argv[3]).substr(2);
    {
        std::ofstream journal(folder / "journal.txt", std::ios::app | std::ios::binary);
        for (int i = 1; i < argc; ++i) journal << (i > 1 ? "\t" : "") << Escaped(argv[i]);
        journal << '\n';
    }
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error)) return 1;
    const fs::path outbox = folder / "outbox" / (code.empty() ? std::string("-") : code);
    fs::create_directories(outbox, error);
    fs::path target = outbox / fs::path(file).filename();
    for (int n = 1; fs::exists(target, error); ++n) {
        target = outbox / (fs::path(file).filename().string() + "." + std::to_string(n));
    }
    fs::copy_file(file, target, error);
    return error ? 1 : 0;
}
