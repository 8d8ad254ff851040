#pragma once
// A sectioned key=value file with the semantics of the Windows profile
// calls: case-insensitive Latin names, first match wins, and a write that
// touches only its own line and keeps every other byte of the file.
// Parsed once; every lookup and write after that is a hash lookup, and the
// lines stay views into the text read, so that 100,000 keys cost little.
// A file that begins with a UTF-16 byte-order mark (as Notepad's "Unicode"
// and PowerShell write it) is read as Windows-1251 text, like every other,
// and written back in UTF-16 of the same byte order; its lines that were
// not written keep their very bytes, characters outside Windows-1251 too.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dorvel::platform {

class ProfileFile {
public:
    ProfileFile() = default;
    explicit ProfileFile(std::string contents);
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;
    ProfileFile(ProfileFile&&) = default;
    ProfileFile& operator=(ProfileFile&&) = default;

    // The value with surrounding blanks and one pair of quotes removed.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    std::string contents() const;

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Names compare with Latin letters folded. A small open-addressing table
    // of line numbers: a probe touches one 8-byte slot, which keeps lookups
    // cheap when 100,000 keys no longer fit a cache.
    class NameIndex {
    public:
        // The value stored for the name, or kNone; nameOf(value) gives the
        // name a stored value stands for.
        template <typename NameOf>
        std::size_t find(std::string_view name, NameOf&& nameOf) const;
        // Keeps an earlier value of the same name: the first one wins. True
        // when the name was new.
        template <typename NameOf>
        bool insert(std::string_view name, std::size_t value, NameOf&& nameOf);

    private:
        struct Slot {
            std::uint32_t hash = 0;
            std::uint32_t value = 0;  // value + 1; 0 marks an empty slot
        };
        void grow();
        std::vector<Slot> slots_;
        std::size_t count_ = 0;
    };

    struct Line {
        std::string_view text;    // without its line end
        std::string_view ending;  // as read; written lines get "\r\n"
    };
    struct Section {
        std::size_t header;    // its [name] line
        std::size_t lastLine;  // its last non-blank line: new keys follow it
        NameIndex keys;        // key -> line
    };

    std::string_view keyAt(std::size_t line) const;
    std::size_t findKey(std::size_t section, std::string_view name) const;
    auto KeyAt() const {
        return [this](std::size_t line) { return keyAt(line); };
    }
    auto SectionNameAt() const {
        return [this](std::size_t section) { return sectionNameAt(section); };
    }
    std::string_view sectionNameAt(std::size_t section) const;
    void readUtf16(std::string contents, bool bigEndian);
    bool isRead(std::string_view text) const;
    std::size_t wideOffset(std::size_t offset) const;
    void appendWide(std::string& out, std::string_view text) const;
    std::string_view own(std::string text);
    std::size_t addLine(std::string_view text, std::size_t after);
    void indexLine(std::size_t index, std::size_t& section);

    std::string original_;
    std::string_view bom_;  // a UTF-8 byte-order mark the file began with
    // A UTF-16 file's bytes as read, and for each place where a line's text
    // or ending begins in original_, where it begins in them.
    std::string wide_;
    bool bigEndian_ = false;
    std::vector<std::pair<std::size_t, std::size_t>> wideAt_;
    std::deque<std::string> written_;  // texts of written lines; a deque keeps views valid
    std::vector<Line> lines_;
    // Lines added after the file was read are kept in a list behind the line
    // they follow: next_[i] is the line after i in the file's order.
    std::vector<std::size_t> next_;
    std::size_t first_ = kNone;
    std::size_t last_ = kNone;
    std::vector<Section> sections_;
    NameIndex sectionIndex_;  // name -> first section of that name
    // For each line, the section whose index finds it by its key, or kNone
    // (a header, a later duplicate, a line that is no key).
    std::vector<std::size_t> foundIn_;
    // Reads mostly come in the file's order: the line after the one found
    // last is tried before the index, which spares a random memory access
    // per read of a long file.
    mutable std::size_t lastFound_ = kNone;
};

}  // namespace dorvel::platform
