// The profile file: any file, then writes made from the input; after the
// contents are written out and read again, every written key reads back its
// value.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/formats/ProfileFile.h"

namespace {

// Names and values the program can write: no line ends, no '=' in a key, no
// ']' (a key like "[x]" would read as a section), no surrounding blanks or
// quotes in a value.
std::string Name(const std::uint8_t*& p, const std::uint8_t* end, bool key) {
    static const char kAlphabet[] = "abcXYZ_09 ;[\xC0\xE0\xB2";
    std::string out;
    const std::size_t length = p < end ? 1 + *p++ % 8 : 1;
    for (std::size_t i = 0; i < length && p < end; ++i)
        out += kAlphabet[*p++ % (sizeof kAlphabet - 1)];
    while (!out.empty() && out.front() == ' ') out.erase(0, 1);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.empty() || (key && out.front() == '[')) out.insert(0, "k");
    return out;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t split = size > 0 ? data[0] % (size + 1) : 0;
    const std::string file(reinterpret_cast<const char*>(data), split);
    dorvel::platform::ProfileFile profile(file);
    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> writes;
    const std::uint8_t* p = data + split;
    const std::uint8_t* end = data + size;
    while (p < end) {
        std::string section = Name(p, end, false);
        std::string key = Name(p, end, true);
        std::string value = Name(p, end, false);
        if (value.front() == '"' || value.front() == '\'') value.insert(0, "v");
        profile.setValue(section, key, value);
        writes.push_back({{section, key}, value});
    }
    const dorvel::platform::ProfileFile reread(profile.contents());
    // The last write of a key (names compared as the file compares them) wins.
    for (std::size_t i = 0; i < writes.size(); ++i) {
        bool later = false;
        for (std::size_t j = i + 1; j < writes.size() && !later; ++j) {
            later = SameName(writes[j].first.first, writes[i].first.first) &&
                    SameName(writes[j].first.second, writes[i].first.second);
        }
        if (later) continue;
        const auto value = reread.value(writes[i].first.first, writes[i].first.second);
        if (!value || *value != writes[i].second) __builtin_trap();
    }
    return 0;
}
