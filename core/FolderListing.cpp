#include "core/FolderListing.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/Messages.h"
#include "core/PathRules.h"

namespace dorvel::core {
namespace {

bool EqualLatinCaseInsensitive(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string WithoutTrailingSlash(std::string folder) {
    return PathRules::Host().withoutTrailingSeparators(std::move(folder));
}

void AppendUtf8(std::string& key, unsigned cp) {
    key += static_cast<char>(0xC0 | (cp >> 6));
    key += static_cast<char>(0x80 | (cp & 0x3F));
}

// Cyrillic letters in either case sort as their small letter; the letters
// that follow another in the Russian or Ukrainian alphabet (ё and є after е,
// і and ї after и, ґ after г, ў after у) sort right behind it.
void AppendCyrillicKey(std::string& key, unsigned cp) {
    if (cp >= 0x0410 && cp <= 0x042F)
        cp += 0x20;  // А..Я
    else if (cp >= 0x0400 && cp <= 0x040F)
        cp += 0x50;  // Ѐ..Џ
    else if (cp >= 0x0490 && cp <= 0x04BF && (cp & 1) == 0)
        cp += 1;  // Ґ and kin
    unsigned base = cp;
    char after = 0;
    switch (cp) {
        case 0x0451:
            base = 0x0435, after = '\xFF';
            break;  // ё
        case 0x0454:
            base = 0x0435, after = '\xFE';
            break;  // є
        case 0x0456:
            base = 0x0438, after = '\xFE';
            break;  // і
        case 0x0457:
            base = 0x0438, after = '\xFF';
            break;  // ї
        case 0x0491:
            base = 0x0433, after = '\xFF';
            break;  // ґ
        case 0x045E:
            base = 0x0443, after = '\xFF';
            break;  // ў
        default:
            break;
    }
    AppendUtf8(key, base);
    if (after != 0) key += after;
}

}  // namespace

void AppendNaturalKey(std::string& key, std::string_view name) {
    const std::size_t n = name.size();
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= '0' && c <= '9') {
            std::size_t end = i;
            while (end < n && name[end] >= '0' && name[end] <= '9') ++end;
            std::size_t start = i;
            while (start + 1 < end && name[start] == '0') ++start;
            // A longer run of significant digits is the larger number.
            const std::size_t digits = end - start;
            key += '0';
            key += static_cast<char>((digits >> 8) & 0xFF);
            key += static_cast<char>(digits & 0xFF);
            key.append(name.substr(start, digits));
            i = end;
        } else if (c >= 'A' && c <= 'Z') {
            key += static_cast<char>(c - 'A' + 'a');
            ++i;
        } else if (c >= 0xD0 && c <= 0xD2 && i + 1 < n &&
                   (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80) {
            AppendCyrillicKey(key, ((c & 0x1F) << 6) | (name[i + 1] & 0x3F));
            i += 2;
        } else {
            key += static_cast<char>(c);
            ++i;
        }
    }
}

FolderListing::FolderListing(platform::Platform& platform)
    : platform_(platform), root_(kDesktopRoot) {
    folder_ = WithoutTrailingSlash(
        platform_.specialFolder(root_).value_or(PathRules::Host().fileSystemTop()));
}

bool FolderListing::hasRoot(std::string_view text) const {
    return EqualLatinCaseInsensitive(text, root_) && !listedFolder_.empty();
}

std::optional<std::string> FolderListing::folderForRoot(const std::string& text) const {
    if (auto special = platform_.specialFolder(text)) return *special;
    // The shell parses only whole paths; a relative or missing one fails.
    if (PathRules::Host().isWholePath(text) && platform_.inspect(text)) return text;
    return std::nullopt;
}

void FolderListing::setRoot(const std::string& given) {
    if (hasRoot(given)) return;
    // A bare drive names its top: C: becomes C:\, in the root text too.
    const std::string text = PathRules::Host().rootText(given);
    const auto folder = folderForRoot(text);
    if (!folder) throw PlatformError("Error setting path: \"" + text + "\"");
    root_ = text;
    showFolder(*folder);
}

void FolderListing::showFolder(const std::string& folder) {
    folder_ = WithoutTrailingSlash(folder);
    selected_.reset();
    list();
}

bool FolderListing::showParent() {
    const PathRules& rules = PathRules::Host();
    if (rules.isTop(folder_)) return false;
    const std::string parent = rules.folderOf(folder_);
    showFolder(parent.empty() ? rules.fileSystemTop() : parent);
    return true;
}

void FolderListing::ensureListed() {
    if (listedFolder_.empty()) list();
}

void FolderListing::relist() {
    const auto previous = selected_;
    selected_.reset();
    list();
    if (previous && *previous < count()) selected_ = previous;
}

void FolderListing::list() {
    // Enumerate into the spare buffers, which keep their capacity from one
    // listing to the next: leaving a huge folder then frees nothing.
    std::string& names = spareNames_;
    std::vector<Record>& records = spareRecords_;
    names.clear();
    records.clear();
    const auto listed = platform_.enumerateFolder(folder_, [&](const platform::FolderItem& item) {
        if (item.hidden) return;
        records.push_back(Record{static_cast<std::uint32_t>(names.size()),
                                 static_cast<std::uint32_t>(item.name.size()), item.isFolder});
        names.append(item.name);
    });
    if (!listed) {
        names.clear();
        records.clear();
    }
    // An unchanged folder enumerates in the same order: its sorted order is
    // the one already held, and sorting again would only repeat it.
    const bool unchanged =
        folder_ == listedFolder_ && names == names_ && records.size() == records_.size() &&
        std::equal(records.begin(), records.end(), records_.begin(),
                   [](const Record& a, const Record& b) {
                       return a.nameOffset == b.nameOffset && a.nameSize == b.nameSize &&
                              a.isFolder == b.isFolder;
                   });
    listedFolder_ = folder_;
    if (unchanged) return;
    names_.swap(names);
    records_.swap(records);
    sort();
}

namespace {

// The first eight bytes of a key from `from` on, as a number that orders as
// the bytes do; a shorter key is padded with zeros.
std::uint64_t KeyHead(std::string_view key, std::size_t from) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        head <<= 8;
        if (from + i < key.size()) head |= static_cast<unsigned char>(key[from + i]);
    }
    return head;
}

}  // namespace

void FolderListing::sort() {
    std::string& keys = spareKeys_;
    std::vector<std::uint32_t>& keyOffsets = spareKeyOffsets_;
    keys.clear();
    keyOffsets.resize(records_.size() + 1);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        keyOffsets[i] = static_cast<std::uint32_t>(keys.size());
        AppendNaturalKey(keys, recordName(records_[i], names_));
    }
    keyOffsets[records_.size()] = static_cast<std::uint32_t>(keys.size());
    auto keyOf = [&](std::uint32_t r) {
        return std::string_view(keys).substr(keyOffsets[r], keyOffsets[r + 1] - keyOffsets[r]);
    };
    // Most names differ within their first sixteen key bytes: comparing those
    // as two numbers held next to the record spares a string comparison and
    // two indirections for nearly every pair.
    std::vector<SortItem>& items = spareSortItems_;
    items.resize(records_.size());
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const auto r = static_cast<std::uint32_t>(i);
        items[i] = SortItem{KeyHead(keyOf(r), 0), KeyHead(keyOf(r), 8), r, records_[i].isFolder};
    }
    // Folders first, then the natural order; the bytes of the names break
    // the remaining ties, so two listings of one folder always agree.
    std::sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
        if (a.isFolder != b.isFolder) return a.isFolder;
        if (a.head != b.head) return a.head < b.head;
        if (a.next != b.next) return a.next < b.next;
        const int byKey = keyOf(a.record).compare(keyOf(b.record));
        if (byKey != 0) return byKey < 0;
        return recordName(records_[a.record], names_) < recordName(records_[b.record], names_);
    });
    order_.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) order_[i] = items[i].record;
}

std::string_view FolderListing::name(std::size_t index) const {
    return recordName(records_[order_[index]], names_);
}

bool FolderListing::isFolder(std::size_t index) const { return records_[order_[index]].isFolder; }

std::string FolderListing::fullPath(std::size_t index) const {
    return PathRules::Host().withSeparator(folder_).append(name(index));
}

FolderEntry FolderListing::entry(std::size_t index) const {
    return FolderEntry{std::string(name(index)), fullPath(index)};
}

void FolderListing::renameInPlace(std::size_t index, std::string_view newName) {
    Record& r = records_[order_[index]];
    r.nameOffset = static_cast<std::uint32_t>(names_.size());
    r.nameSize = static_cast<std::uint32_t>(newName.size());
    names_.append(newName);
}

bool FolderListing::rename(std::size_t index, std::string_view newName) {
    if (index >= count()) return false;
    if (newName == name(index)) return true;
    const PathRules& rules = PathRules::Host();
    if (newName.empty() || newName == "." || newName == ".." ||
        newName.find_first_of(std::string("/") + rules.separator()) != std::string_view::npos) {
        return false;
    }
    const std::string from = fullPath(index);
    if (!platform_.move(from, rules.withSeparator(folder_) + std::string(newName))) return false;
    renameInPlace(index, newName);
    return true;
}

void FolderListing::swapListing(FolderListing& other) {
    using std::swap;
    swap(root_, other.root_);
    swap(folder_, other.folder_);
    swap(names_, other.names_);
    swap(records_, other.records_);
    swap(order_, other.order_);
    swap(listedFolder_, other.listedFolder_);
    swap(spareNames_, other.spareNames_);
    swap(spareRecords_, other.spareRecords_);
    swap(spareKeys_, other.spareKeys_);
    swap(spareKeyOffsets_, other.spareKeyOffsets_);
    swap(spareSortItems_, other.spareSortItems_);
    swap(selected_, other.selected_);
}

void FolderListing::select(std::optional<std::size_t> index) {
    selected_ = index && *index < count() ? index : std::nullopt;
}

std::optional<FolderEntry> FolderListing::selectedEntry() const {
    if (!selected_) return std::nullopt;
    return entry(*selected_);
}

bool FolderListing::sameEntriesAs(const FolderListing& other) const {
    if (count() != other.count()) return false;
    if (folder_ != other.folder_) return count() == 0;
    for (std::size_t i = 0; i < count(); ++i) {
        if (name(i) != other.name(i)) return false;
    }
    return true;
}

std::vector<std::string> SubfolderNames(platform::Platform& platform, const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> folders;  // key, name
    (void)platform.enumerateFolder(folder, [&](const platform::FolderItem& entry) {
        if (!entry.isFolder || entry.hidden) return;
        std::string key;
        AppendNaturalKey(key, entry.name);
        folders.emplace_back(std::move(key), std::string(entry.name));
    });
    std::sort(folders.begin(), folders.end());
    std::vector<std::string> names;
    names.reserve(folders.size());
    for (auto& [key, name] : folders) names.push_back(std::move(name));
    return names;
}

}  // namespace dorvel::core
