#pragma once
// A sectioned key=value file with the semantics of the Windows profile
// calls: case-insensitive Latin names, first match wins, and a write that
// touches only its own line and keeps every other byte of the file.
// Parsed once; every lookup and write after that is a hash lookup.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dorvel::platform {

class ProfileFile {
public:
    ProfileFile() = default;
    explicit ProfileFile(std::string_view contents);

    // The value with surrounding blanks and one pair of quotes removed.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    std::string contents() const;

private:
    struct Line {
        std::string text;                // without its line end
        std::string ending;              // as read; written lines get "\r\n"
        std::vector<std::string> added;  // new key lines that follow this one
    };
    struct Place {
        std::size_t line;
        std::size_t added;  // kNone, or the index into that line's added keys
    };
    struct Section {
        std::size_t lastLine;                         // its last non-blank line, where new keys go
        std::unordered_map<std::string, Place> keys;  // folded key -> first line
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void indexLine(std::size_t index, std::size_t& section);
    std::string& textAt(const Place& place);
    const std::string& textAt(const Place& place) const;
    std::size_t appendLine(std::string text);

    std::vector<Line> lines_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
};

}  // namespace dorvel::platform
