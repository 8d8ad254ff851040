#include "platform/ProfileFile.h"

namespace dorvel::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Only Latin letters fold; Cyrillic and other bytes compare exactly, as the
// Windows calls do for an ANSI file.
std::string Fold(std::string_view text) {
    std::string folded(Trim(text));
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// A section header's name, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    const auto close = trimmed.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

std::string_view KeyOf(std::string_view text) { return Trim(text.substr(0, text.find('='))); }

}  // namespace

ProfileFile::ProfileFile(std::string_view contents) {
    std::size_t section = kNone;
    while (!contents.empty()) {
        const auto end = contents.find('\n');
        Line line;
        if (end == std::string_view::npos) {
            line.text = contents;
            contents = {};
        } else {
            line.text = contents.substr(0, end);
            line.ending = "\n";
            contents.remove_prefix(end + 1);
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.ending = "\r\n";
            }
        }
        lines_.push_back(std::move(line));
        indexLine(lines_.size() - 1, section);
    }
}

void ProfileFile::indexLine(std::size_t index, std::size_t& section) {
    const std::string_view trimmed = Trim(lines_[index].text);
    if (trimmed.empty()) return;
    if (const auto name = SectionName(trimmed)) {
        section = sections_.size();
        sections_.push_back(Section{index, {}});
        sectionIndex_.emplace(Fold(*name), section);
        return;
    }
    // Lines before the first section belong to none and are never found.
    if (section == kNone) return;
    sections_[section].lastLine = index;
    if (trimmed.find('=') != std::string_view::npos) {
        sections_[section].keys.emplace(Fold(KeyOf(trimmed)), Place{index, kNone});
    }
}

std::string& ProfileFile::textAt(const Place& place) {
    return place.added == kNone ? lines_[place.line].text : lines_[place.line].added[place.added];
}

const std::string& ProfileFile::textAt(const Place& place) const {
    return place.added == kNone ? lines_[place.line].text : lines_[place.line].added[place.added];
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    const auto s = sectionIndex_.find(Fold(section));
    if (s == sectionIndex_.end()) return std::nullopt;
    const auto& keys = sections_[s->second].keys;
    const auto k = keys.find(Fold(key));
    if (k == keys.end()) return std::nullopt;
    const std::string& text = textAt(k->second);
    std::string_view value = Trim(std::string_view(text).substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::size_t ProfileFile::appendLine(std::string text) {
    if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = "\r\n";
    lines_.push_back(Line{std::move(text), "\r\n", {}});
    return lines_.size() - 1;
}

void ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string foldedKey = Fold(key);
    const std::string newText = std::string(Trim(key)) + "=" + std::string(Trim(value));
    const std::string foldedSection = Fold(section);
    auto s = sectionIndex_.find(foldedSection);
    if (s == sectionIndex_.end()) {
        std::size_t index = kNone;
        const std::size_t header = appendLine("[" + std::string(Trim(section)) + "]");
        indexLine(header, index);
        indexLine(appendLine(newText), index);
        return;
    }
    Section& target = sections_[s->second];
    const auto k = target.keys.find(foldedKey);
    if (k != target.keys.end()) {
        std::string& text = textAt(k->second);
        // The stored spelling of the key stays.
        text = std::string(KeyOf(text)) + "=" + std::string(Trim(value));
        if (k->second.added == kNone) lines_[k->second.line].ending = "\r\n";
        return;
    }
    Line& last = lines_[target.lastLine];
    if (last.ending.empty()) last.ending = "\r\n";
    last.added.push_back(newText);
    target.keys.emplace(foldedKey, Place{target.lastLine, last.added.size() - 1});
}

std::string ProfileFile::contents() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.ending;
        for (const std::string& added : line.added) {
            out += added;
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace dorvel::platform
