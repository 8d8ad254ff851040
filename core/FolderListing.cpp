#include "core/FolderListing.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/Messages.h"
#include "core/PathRules.h"
#include "core/Texts.h"

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

// One character's small letter for Latin and Cyrillic, as UTF-8 bytes.
void AppendFolded(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
            ++i;
        } else if ((c == 0xD0 || c == 0xD1) && i + 1 < text.size()) {
            unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            if (cp >= 0x0410 && cp <= 0x042F) cp += 0x20;
            if (cp >= 0x0400 && cp <= 0x040F) cp += 0x50;
            AppendUtf8(out, cp);
            i += 2;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
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

void FolderContents::add(const OutsideEntry& entry) {
    const std::uint32_t nameOffset = offset();
    text_.append(entry.name);
    const std::uint32_t pathOffset = offset();
    text_.append(entry.fullPath);
    const std::uint32_t keyOffset = offset();
    text_.append(entry.key);
    // Kept beside its record even where a source mixed in entries of the
    // file system, which have none.
    outside_.resize(records_.size());
    records_.push_back(Record{nameOffset, static_cast<std::uint32_t>(entry.name.size()),
                              entry.isFolder, entry.canRename});
    outside_.push_back(Outside{pathOffset, static_cast<std::uint32_t>(entry.fullPath.size()),
                               keyOffset, static_cast<std::uint32_t>(entry.key.size())});
}

void FolderContents::clear() {
    text_.clear();
    records_.clear();
    outside_.clear();
    ownOrder_ = false;
}

bool FolderContents::operator==(const FolderContents& other) const {
    auto sameRecord = [](const Record& a, const Record& b) {
        return a.nameOffset == b.nameOffset && a.nameSize == b.nameSize &&
               a.isFolder == b.isFolder && a.canRename == b.canRename;
    };
    auto sameOutside = [](const Outside& a, const Outside& b) {
        return a.pathOffset == b.pathOffset && a.pathSize == b.pathSize &&
               a.keyOffset == b.keyOffset && a.keySize == b.keySize;
    };
    return ownOrder_ == other.ownOrder_ && text_ == other.text_ &&
           std::equal(records_.begin(), records_.end(), other.records_.begin(),
                      other.records_.end(), sameRecord) &&
           std::equal(outside_.begin(), outside_.end(), other.outside_.begin(),
                      other.outside_.end(), sameOutside);
}

std::optional<FolderPlace> FileSystemSource::placeForRoot(const std::string& /*text*/) const {
    return std::nullopt;
}

bool FileSystemSource::list(const FolderPlace& place, FolderContents& contents) {
    if (place.outside) return false;
    return platform_
        .enumerateFolder(place.folder,
                         [&](const platform::FolderItem& item) {
                             if (!item.hidden) contents.add(item.name, item.isFolder);
                         })
        .ok();
}

std::string FileSystemSource::title(const FolderPlace& place) const { return place.folder; }

std::optional<FolderPlace> FileSystemSource::parentOf(const FolderPlace& /*place*/) const {
    return std::nullopt;
}

std::optional<FolderPlace> FileSystemSource::childOf(const FolderPlace& /*place*/,
                                                     std::string_view /*key*/) const {
    return std::nullopt;
}

bool FileSystemSource::rename(const FolderPlace& /*place*/, std::string_view /*key*/,
                              std::string_view /*newName*/, FolderContents& /*renamed*/) {
    return false;
}

FolderListing::FolderListing(platform::Platform& platform)
    : FolderListing(platform, std::make_unique<FileSystemSource>(platform)) {}

FolderListing::FolderListing(platform::Platform& platform, std::unique_ptr<FolderSource> source)
    : platform_(platform), source_(std::move(source)), root_(kDesktopRoot) {
    if (auto outside = source_->placeForRoot(root_)) {
        place_ = std::move(*outside);
        title_ = source_->title(place_);
    } else {
        place_.folder = WithoutTrailingSlash(
            platform_.specialFolder(root_).value_or(PathRules::Host().fileSystemTop()));
    }
}

bool FolderListing::hasRoot(std::string_view text) const {
    return EqualLatinCaseInsensitive(text, root_) && hasListed_;
}

std::optional<FolderPlace> FolderListing::folderForRoot(const std::string& text) const {
    if (auto outside = source_->placeForRoot(text)) return outside;
    if (auto special = platform_.specialFolder(text)) return FolderPlace{*special};
    // The shell parses only whole paths; a relative or missing one fails.
    if (PathRules::Host().isWholePath(text) && platform_.inspect(text)) return FolderPlace{text};
    return std::nullopt;
}

void FolderListing::setRoot(const std::string& given) {
    if (hasRoot(given)) return;
    // A bare drive names its top: C: becomes C:\, in the root text too.
    const std::string text = PathRules::Host().rootText(given);
    const auto place = folderForRoot(text);
    if (!place) throw PlatformError(texts::ErrorSettingPathText(text));
    root_ = text;
    showPlace(*place);
}

void FolderListing::showFolder(const std::string& folder) { showPlace(FolderPlace{folder}); }

void FolderListing::showPlace(const FolderPlace& place) {
    if (place.outside) {
        place_ = place;
        title_ = source_->title(place_);
    } else {
        place_.folder = WithoutTrailingSlash(place.folder);
        place_.outside = false;
        title_.clear();
    }
    selected_.reset();
    list();
}

bool FolderListing::enter(std::size_t index) {
    if (index >= count() || !isFolder(index)) return false;
    if (!place_.outside) {
        showFolder(fullPath(index));
        return true;
    }
    const auto child = source_->childOf(place_, sourceKey(index));
    if (!child) return false;
    showPlace(*child);
    return true;
}

bool FolderListing::showParent() {
    const PathRules& rules = PathRules::Host();
    if (!place_.outside && !rules.isTop(place_.folder)) {
        const std::string parent = rules.folderOf(place_.folder);
        showFolder(parent.empty() ? rules.fileSystemTop() : parent);
        return true;
    }
    // Above a top of the file system the source's folders may go on.
    const auto parent = source_->parentOf(place_);
    if (!parent) return false;
    showPlace(*parent);
    return true;
}

void FolderListing::ensureListed() {
    if (!hasListed_) list();
}

void FolderListing::relist() {
    const auto previous = selected_;
    selected_.reset();
    list();
    if (previous && *previous < count()) selected_ = previous;
}

void FolderListing::list() {
    shownNames_.clear();
    spare_.clear();
    if (!source_->list(place_, spare_)) spare_.clear();  // a folder that cannot be listed is empty
    // An unchanged folder enumerates in the same order: its sorted order is
    // the one already held, and sorting again would only repeat it.
    const bool unchanged = hasListed_ && place_ == listedPlace_ && spare_ == listed_;
    hasListed_ = true;
    listedPlace_ = place_;
    if (unchanged) return;
    std::swap(listed_, spare_);
    if (!listed_.ownOrder_) {
        sort();
        return;
    }
    order_.resize(listed_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
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
    const std::vector<Record>& records = listed_.records_;
    std::string& keys = spareKeys_;
    std::vector<std::uint32_t>& keyOffsets = spareKeyOffsets_;
    keys.clear();
    keyOffsets.resize(records.size() + 1);
    for (std::size_t i = 0; i < records.size(); ++i) {
        keyOffsets[i] = static_cast<std::uint32_t>(keys.size());
        AppendNaturalKey(keys, recordName(records[i]));
    }
    keyOffsets[records.size()] = static_cast<std::uint32_t>(keys.size());
    auto keyOf = [&](std::uint32_t r) {
        return std::string_view(keys).substr(keyOffsets[r], keyOffsets[r + 1] - keyOffsets[r]);
    };
    // Most names differ within their first sixteen key bytes: comparing those
    // as two numbers held next to the record spares a string comparison and
    // two indirections for nearly every pair.
    std::vector<SortItem>& items = spareSortItems_;
    items.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto r = static_cast<std::uint32_t>(i);
        items[i] = SortItem{KeyHead(keyOf(r), 0), KeyHead(keyOf(r), 8), r, records[i].isFolder};
    }
    // Folders first, then the natural order; the bytes of the names break
    // the remaining ties, so two listings of one folder always agree.
    std::sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
        if (a.isFolder != b.isFolder) return a.isFolder;
        if (a.head != b.head) return a.head < b.head;
        if (a.next != b.next) return a.next < b.next;
        const int byKey = keyOf(a.record).compare(keyOf(b.record));
        if (byKey != 0) return byKey < 0;
        return recordName(records[a.record]) < recordName(records[b.record]);
    });
    order_.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) order_[i] = items[i].record;
}

std::string_view FolderListing::name(std::size_t index) const { return recordName(record(index)); }

std::string_view FolderListing::displayName(std::size_t index) const {
    if (place_.outside || !source_->showsOwnNames()) return name(index);
    // Asked for the rows in sight only, as the source may be slow to answer.
    auto known = shownNames_.find(index);
    if (known == shownNames_.end()) {
        known = shownNames_.emplace(index, source_->shownName(fullPath(index), name(index))).first;
    }
    return known->second;
}

bool FolderListing::isFolder(std::size_t index) const { return record(index).isFolder; }

const FolderContents::Outside* FolderListing::outside(std::size_t index) const {
    const std::uint32_t r = order_[index];
    return r < listed_.outside_.size() ? &listed_.outside_[r] : nullptr;
}

std::string_view FolderListing::outsidePath(std::size_t index) const {
    const auto* o = outside(index);
    return o != nullptr ? listed_.textAt(o->pathOffset, o->pathSize) : std::string_view();
}

std::string FolderListing::fullPath(std::size_t index) const {
    if (place_.outside) return std::string(outsidePath(index));
    return PathRules::Host().withSeparator(place_.folder).append(name(index));
}

FolderEntry FolderListing::entry(std::size_t index) const {
    return FolderEntry{std::string(displayName(index)), fullPath(index)};
}

std::string_view FolderListing::sourceKey(std::size_t index) const {
    const auto* o = place_.outside ? outside(index) : nullptr;
    return o != nullptr ? listed_.textAt(o->keyOffset, o->keySize) : std::string_view();
}

bool FolderListing::canRename(std::size_t index) const {
    return index < count() && record(index).canRename;
}

void FolderListing::renameInPlace(std::size_t index, std::string_view newName) {
    Record& r = listed_.records_[order_[index]];
    r.nameOffset = listed_.offset();
    r.nameSize = static_cast<std::uint32_t>(newName.size());
    listed_.text_.append(newName);
    shownNames_.erase(index);
}

bool FolderListing::rename(std::size_t index, std::string_view newName) {
    if (index >= count()) return false;
    if (place_.outside) {
        if (!canRename(index)) return false;
        if (newName == name(index)) return true;
        FolderContents renamed;
        if (!source_->rename(place_, sourceKey(index), newName, renamed) || renamed.size() != 1) {
            return false;
        }
        // The entry as the source now has it, in the place it had.
        const Record& now = renamed.records_.front();
        const auto& nowOutside = renamed.outside_.front();
        const std::uint32_t base = listed_.offset();
        listed_.text_.append(renamed.text_);
        Record& r = listed_.records_[order_[index]];
        r = Record{base + now.nameOffset, now.nameSize, now.isFolder, now.canRename};
        listed_.outside_.resize(listed_.records_.size());
        listed_.outside_[order_[index]] =
            FolderContents::Outside{base + nowOutside.pathOffset, nowOutside.pathSize,
                                    base + nowOutside.keyOffset, nowOutside.keySize};
        return true;
    }
    // A name typed over a shown name without its extension keeps the
    // extension, as a rename in Explorer does.
    std::string target(newName);
    const std::string_view shown = displayName(index);
    const std::string_view file = name(index);
    if (shown != file && file.substr(0, shown.size()) == shown) {
        target.append(file.substr(shown.size()));
    }
    if (target == file) return true;
    const PathRules& rules = PathRules::Host();
    if (target.empty() || target == "." || target == ".." ||
        target.find_first_of(std::string("/") + rules.separator()) != std::string::npos) {
        return false;
    }
    const std::string from = fullPath(index);
    if (!platform_.move(from, rules.withSeparator(place_.folder) + target)) return false;
    renameInPlace(index, target);
    return true;
}

void FolderListing::swapListing(FolderListing& other) {
    using std::swap;
    swap(root_, other.root_);
    swap(place_, other.place_);
    swap(title_, other.title_);
    swap(listed_, other.listed_);
    swap(order_, other.order_);
    swap(hasListed_, other.hasListed_);
    swap(listedPlace_, other.listedPlace_);
    swap(shownNames_, other.shownNames_);
    swap(spare_, other.spare_);
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
    if (place_ != other.place_) return count() == 0;
    for (std::size_t i = 0; i < count(); ++i) {
        if (name(i) != other.name(i)) return false;
    }
    // Outside the file system an entry's name need not tell it apart.
    if (place_.outside) {
        for (std::size_t i = 0; i < count(); ++i) {
            if (outsidePath(i) != other.outsidePath(i) || isFolder(i) != other.isFolder(i)) {
                return false;
            }
        }
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

FolderListing::Mark FolderListing::markOf(std::size_t index) const {
    return Mark{displayedFolder(), index < count() ? std::string(name(index)) : std::string()};
}

std::optional<std::size_t> FolderListing::find(const Mark& mark) const {
    if (mark.folder != displayedFolder()) return std::nullopt;
    for (std::size_t i = 0; i < count(); ++i) {
        if (name(i) == mark.name) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> FolderListing::findByPrefix(std::string_view text,
                                                       std::size_t start) const {
    const std::size_t n = count();
    if (n == 0 || text.empty()) return std::nullopt;
    std::string wanted, name;
    AppendFolded(wanted, text);
    for (std::size_t step = 0; step < n; ++step) {
        const std::size_t i = (start + step) % n;
        name.clear();
        AppendFolded(name, displayName(i));
        if (name.compare(0, wanted.size(), wanted) == 0) return i;
    }
    return std::nullopt;
}

}  // namespace dorvel::core
