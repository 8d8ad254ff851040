#include "platform/formats/ProfileFile.h"

#include <algorithm>
#include <cstring>

#include "platform/formats/CodePages.h"

namespace dorvel::platform {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// What the Windows calls trim around names and values: blanks, tabs, the
// other white space of the C locale, and the DOS end-of-file mark Ctrl-Z.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Only Latin letters fold; Cyrillic and other bytes compare exactly, as the
// Windows calls do for an ANSI file.
char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A section header's name, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    const auto close = trimmed.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

std::string_view KeyOf(std::string_view text) { return Trim(text.substr(0, text.find('='))); }

// Consistent with FoldedEqual: bytes equal once folded are equal with the
// 0x20 bit set. Eight bytes at a time, since names are hashed on every read.
std::uint64_t FoldedHash(std::string_view name) {
    constexpr std::uint64_t kCaseBits = 0x2020202020202020ull;
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = name.size() * kMultiplier;
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + i, 8);
        hash = (hash ^ (word | kCaseBits)) * kMultiplier;
        hash ^= hash >> 32;
    }
    if (i < name.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + i, name.size() - i);
        hash = (hash ^ (word | kCaseBits)) * kMultiplier;
        hash ^= hash >> 32;
    }
    return hash ^ (hash >> 29);
}

bool FoldedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;  // a name is nearly always found as it was written
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// Where the first line end begins, or the text's size: the next LF, unless
// a lone CR comes before it.
std::size_t LineEnd(std::string_view text) {
    const char* begin = text.data();
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', text.size()));
    const std::size_t upTo = lf == nullptr ? text.size() : static_cast<std::size_t>(lf - begin);
    const auto* cr = static_cast<const char*>(std::memchr(begin, '\r', upTo));
    return cr == nullptr ? upTo : static_cast<std::size_t>(cr - begin);
}

}  // namespace

template <typename NameOf>
std::size_t ProfileFile::NameIndex::find(std::string_view name, NameOf&& nameOf) const {
    if (slots_.empty()) return kNone;
    const auto hash = static_cast<std::uint32_t>(FoldedHash(name));
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.value == 0) return kNone;
        if (slot.hash == hash && FoldedEqual(nameOf(slot.value - 1), name)) return slot.value - 1;
    }
}

template <typename NameOf>
bool ProfileFile::NameIndex::insert(std::string_view name, std::size_t value, NameOf&& nameOf) {
    if ((count_ + 1) * 2 > slots_.size()) grow();
    const auto hash = static_cast<std::uint32_t>(FoldedHash(name));
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.value == 0) {
            slot = Slot{hash, static_cast<std::uint32_t>(value + 1)};
            ++count_;
            return true;
        }
        if (slot.hash == hash && FoldedEqual(nameOf(slot.value - 1), name)) return false;
    }
}

std::string_view ProfileFile::keyAt(std::size_t line) const { return KeyOf(lines_[line].text); }

std::string_view ProfileFile::sectionNameAt(std::size_t section) const {
    return *SectionName(Trim(lines_[sections_[section].header].text));
}

void ProfileFile::NameIndex::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.value == 0) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].value != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

ProfileFile::ProfileFile(std::string contents) {
    const bool little = contents.starts_with("\xFF\xFE");
    if (little || contents.starts_with("\xFE\xFF")) {
        readUtf16(std::move(contents), !little);
    } else {
        original_ = std::move(contents);
    }
    std::string_view rest = original_;
    // An editor's byte-order mark is read through and written back.
    if (rest.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bom_ = rest.substr(0, kUtf8Bom.size());
        rest.remove_prefix(kUtf8Bom.size());
    }
    std::size_t section = kNone;
    std::size_t count = 0;
    for (char c : rest) count += c == '\n';
    lines_.reserve(count + 1);
    next_.reserve(count + 1);
    foundIn_.reserve(count + 1);
    while (!rest.empty()) {
        // LF, CRLF and a lone CR each end a line.
        const auto end = LineEnd(rest);
        Line line;
        if (end == rest.size()) {
            line.text = rest;
            rest = {};
        } else {
            const std::size_t width = rest.substr(end, 2) == kCrLf ? 2 : 1;
            line.text = rest.substr(0, end);
            line.ending = rest.substr(end, width);
            rest.remove_prefix(end + width);
        }
        lines_.push_back(line);
        next_.push_back(kNone);
        foundIn_.push_back(kNone);
        const std::size_t index = lines_.size() - 1;
        if (last_ == kNone) {
            first_ = index;
        } else {
            next_[last_] = index;
        }
        last_ = index;
        indexLine(index, section);
    }
}

void ProfileFile::readUtf16(std::string contents, bool bigEndian) {
    wide_ = std::move(contents);
    bigEndian_ = bigEndian;
    auto unit = [&](std::size_t at) -> char16_t {
        const auto a = static_cast<unsigned char>(wide_[at]);
        const auto b = static_cast<unsigned char>(wide_[at + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    original_.reserve(wide_.size() / 2);
    wideAt_.emplace_back(0, 2);
    std::size_t at = 2;
    while (at + 1 < wide_.size()) {
        char32_t c = unit(at);
        std::size_t width = 2;
        if (c >= 0xD800 && c < 0xDC00 && at + 3 < wide_.size()) {
            const char16_t low = unit(at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                width = 4;
            }
        }
        // One byte a character; one the program cannot hold reads as "?",
        // as the system's ANSI calls read it.
        const auto byte = UnicodeToCp1251(c);
        const char narrow = byte ? static_cast<char>(*byte) : '?';
        if (narrow == '\r' || narrow == '\n') wideAt_.emplace_back(original_.size(), at);
        original_ += narrow;
        at += width;
        if (narrow == '\r' || narrow == '\n') wideAt_.emplace_back(original_.size(), at);
    }
    wideAt_.emplace_back(original_.size(), wide_.size() - wide_.size() % 2);
}

bool ProfileFile::isRead(std::string_view text) const {
    return !wide_.empty() && text.data() >= original_.data() &&
           text.data() + text.size() <= original_.data() + original_.size();
}

std::size_t ProfileFile::wideOffset(std::size_t offset) const {
    const auto found = std::lower_bound(
        wideAt_.begin(), wideAt_.end(), offset,
        [](const std::pair<std::size_t, std::size_t>& p, std::size_t o) { return p.first < o; });
    return found != wideAt_.end() ? found->second : wide_.size();
}

// A text as the file holds it: the bytes read where it was read, and
// otherwise UTF-16 of its Windows-1251 characters.
void ProfileFile::appendWide(std::string& out, std::string_view text) const {
    if (isRead(text)) {
        const auto start = static_cast<std::size_t>(text.data() - original_.data());
        const std::size_t from = wideOffset(start);
        out.append(wide_, from, wideOffset(start + text.size()) - from);
        return;
    }
    for (char c : text) {
        const auto unit = static_cast<std::uint16_t>(Cp1251ToUnicode(static_cast<std::uint8_t>(c)));
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        out += bigEndian_ ? high : low;
        out += bigEndian_ ? low : high;
    }
}

void ProfileFile::indexLine(std::size_t index, std::size_t& section) {
    const std::string_view trimmed = Trim(lines_[index].text);
    if (trimmed.empty()) return;
    if (const auto name = SectionName(trimmed)) {
        section = sections_.size();
        sections_.push_back(Section{index, index, {}});
        sectionIndex_.insert(*name, section, [this](std::size_t v) { return sectionNameAt(v); });
        return;
    }
    // Lines before the first section belong to none and are never found.
    if (section == kNone) return;
    sections_[section].lastLine = index;
    if (trimmed.find('=') != std::string_view::npos) {
        if (sections_[section].keys.insert(KeyOf(trimmed), index, KeyAt())) {
            foundIn_[index] = section;
        }
    }
}

std::size_t ProfileFile::findKey(std::size_t section, std::string_view name) const {
    if (lastFound_ != kNone) {
        const std::size_t guess = next_[lastFound_];
        if (guess != kNone && foundIn_[guess] == section && FoldedEqual(keyAt(guess), name)) {
            lastFound_ = guess;
            return guess;
        }
    }
    const std::size_t found = sections_[section].keys.find(name, KeyAt());
    if (found != kNone) lastFound_ = found;
    return found;
}

std::optional<std::string> ProfileFile::value(std::string_view section,
                                              std::string_view key) const {
    const std::size_t s = sectionIndex_.find(Trim(section), SectionNameAt());
    if (s == kNone) return std::nullopt;
    const std::size_t k = findKey(s, Trim(key));
    if (k == kNone) return std::nullopt;
    const std::string_view text = lines_[k].text;
    std::string_view value = Trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string_view ProfileFile::own(std::string text) {
    written_.push_back(std::move(text));
    return written_.back();
}

std::size_t ProfileFile::addLine(std::string_view text, std::size_t after) {
    // The line a new one follows must end, even if it was the file's last.
    if (after != kNone && lines_[after].ending.empty()) lines_[after].ending = kCrLf;
    lines_.push_back(Line{text, kCrLf});
    foundIn_.push_back(kNone);
    const std::size_t index = lines_.size() - 1;
    if (after == kNone) {
        next_.push_back(first_);
        first_ = index;
    } else {
        next_.push_back(next_[after]);
        next_[after] = index;
    }
    if (after == last_) last_ = index;
    return index;
}

void ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::size_t s = sectionIndex_.find(Trim(section), SectionNameAt());
    if (s == kNone) {
        std::size_t index = kNone;
        const std::size_t header = addLine(own("[" + std::string(Trim(section)) + "]"), last_);
        indexLine(header, index);
        indexLine(addLine(own(std::string(Trim(key)) + "=" + std::string(Trim(value))), header),
                  index);
        return;
    }
    Section& target = sections_[s];
    const std::size_t k = findKey(s, Trim(key));
    if (k != kNone) {
        Line& line = lines_[k];
        // The stored spelling of the key stays.
        line.text = own(std::string(KeyOf(line.text)) + "=" + std::string(Trim(value)));
        line.ending = kCrLf;
        return;
    }
    const std::size_t index =
        addLine(own(std::string(Trim(key)) + "=" + std::string(Trim(value))), target.lastLine);
    target.lastLine = index;
    if (target.keys.insert(KeyOf(lines_[index].text), index, KeyAt())) foundIn_[index] = s;
}

std::string ProfileFile::contents() const {
    if (!wide_.empty()) {
        std::string out = wide_.substr(0, 2);
        out.reserve(wide_.size() + 64);
        for (std::size_t i = first_; i != kNone; i = next_[i]) {
            appendWide(out, lines_[i].text);
            appendWide(out, lines_[i].ending);
        }
        // An odd last byte belongs to no character; it stays.
        if (wide_.size() % 2 != 0) out += wide_.back();
        return out;
    }
    std::size_t size = bom_.size();
    for (const Line& line : lines_) size += line.text.size() + line.ending.size();
    std::string out;
    out.reserve(size);
    out += bom_;
    for (std::size_t i = first_; i != kNone; i = next_[i]) {
        out += lines_[i].text;
        out += lines_[i].ending;
    }
    return out;
}

}  // namespace dorvel::platform
