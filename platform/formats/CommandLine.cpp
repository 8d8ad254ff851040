#include "platform/formats/CommandLine.h"

namespace dorvel::platform {

std::string QuotedWindowsArgument(std::string_view argument) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote, the closing one too.
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string WindowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        const std::string& a = arguments[i];
        line += a.empty() || a.find_first_of(" \t\"") != std::string::npos
                    ? QuotedWindowsArgument(a)
                    : a;
    }
    return line;
}

}  // namespace dorvel::platform
