#pragma once
// What the Windows suites share: the build machine's files as Wine sees
// them, and the recording tool's lines.

#include <sstream>
#include <string>
#include <vector>

namespace dorvel::fakes {

// A file of the build machine, on Wine's drive Z:.
inline std::string OnBuildMachine(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

// The recording stand-in for TOMAIL.EXE, built beside the suites.
inline std::string RecordingTool() { return OnBuildMachine(DORVEL_RECORDING_TOOL); }

// The lines of a record, without their CRs.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace dorvel::fakes
