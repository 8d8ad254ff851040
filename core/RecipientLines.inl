#pragma once
// The address file's line splitter, kept inline so that the reading loop
// compiles with its consumer.

#include <cstring>

namespace dorvel::core {

template <typename OnRecipient>
platform::Status ReadRecipientLines(platform::ByteSource& source, OnRecipient&& onRecipient) {
    constexpr char kEndOfFile = 0x1A;  // Ctrl-Z
    enum class Mode { Collecting, Skipping };
    Mode mode = Mode::Collecting;
    std::string line;
    bool pendingCr = false;  // a CR counts only when LF follows it

    auto finishLine = [&] {
        if (mode == Mode::Collecting && line.size() >= 2 && line[0] == 'L' && line[1] == '_') {
            onRecipient(std::string_view(line));
        }
        line.clear();
        mode = Mode::Collecting;
    };

    static constexpr std::size_t kChunk = 1 << 16;
    std::string buffer(kChunk, '\0');
    for (;;) {
        const auto read = source.read(buffer.data(), kChunk);
        if (!read) return read.status();
        const std::size_t got = *read;
        if (got == 0) break;
        const char* p = buffer.data();
        const char* const end = p + got;
        while (p < end) {
            if (pendingCr) {
                pendingCr = false;
                if (*p == '\n') {
                    ++p;
                    finishLine();
                    continue;
                }
            }
            if (mode == Mode::Skipping) {
                const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
                if (lf == nullptr) {
                    p = end;
                    break;
                }
                p = lf + 1;
                finishLine();
                continue;
            }
            // Take the ordinary bytes in one piece up to the next one that matters.
            const char* q = p;
            while (q < end && *q != '\n' && *q != '\r' && *q != kEndOfFile) ++q;
            line.append(p, q);
            p = q;
            if (line.size() >= 2 && (line[0] != 'L' || line[1] != '_')) {
                mode = Mode::Skipping;
                line.clear();
                continue;
            }
            if (p == end) break;
            const char c = *p++;
            if (c == '\n') {
                finishLine();
            } else if (c == '\r') {
                pendingCr = true;
            } else if (line.empty()) {
                return {};  // Ctrl-Z at the start of a line ends the file
            } else {
                // Ctrl-Z cuts the line here; the rest up to its LF is skipped.
                finishLine();
                mode = Mode::Skipping;
            }
        }
    }
    finishLine();
    return {};
}

}  // namespace dorvel::core
