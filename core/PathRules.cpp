#include "core/PathRules.h"

namespace dorvel::core {

const PathRules& PathRules::Posix() {
    static constexpr PathRules rules(false);
    return rules;
}

const PathRules& PathRules::Windows() {
    static constexpr PathRules rules(true);
    return rules;
}

const PathRules& PathRules::Host() {
#ifdef _WIN32
    return Windows();
#else
    return Posix();
#endif
}

std::size_t PathRules::lastSeparator(std::string_view path) const {
    return path.find_last_of(windows_ ? std::string_view("\\:") : std::string_view("/"));
}

std::string_view PathRules::extension(std::string_view path) const {
    const auto dot = path.rfind('.');
    const auto separator = lastSeparator(path);
    if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
        return {};
    }
    return path.substr(dot);
}

std::string_view PathRules::fileNamePart(std::string_view path) const {
    const auto separator = lastSeparator(path);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string PathRules::folderOf(std::string_view path) const {
    const auto slash = path.rfind(separator());
    if (slash == std::string_view::npos) return {};
    // "/" and "C:\" are tops: their folder keeps the separator.
    const bool top = slash == 0 || (windows_ && slash == 2 && path[1] == ':');
    return std::string(path.substr(0, top ? slash + 1 : slash));
}

std::string PathRules::withSeparator(std::string text) const {
    if (text.empty() || text.back() != separator()) text += separator();
    return text;
}

std::string PathRules::rootText(std::string text) const {
    if (windows_ && !text.empty() && text.back() == ':') text += '\\';
    return text;
}

bool PathRules::isWholePath(std::string_view text) const {
    if (!windows_) return !text.empty() && text.front() == '/';
    const bool drive = text.size() >= 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/') &&
                       ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    return drive || text.starts_with("\\\\");
}

bool PathRules::isTop(std::string_view folder) const {
    if (!windows_) return folder == "/";
    return folder.size() == 3 && folder[1] == ':' && folder[2] == '\\';
}

std::string PathRules::withoutTrailingSeparators(std::string folder) const {
    if (windows_ && folder.size() == 2 && folder[1] == ':') folder += '\\';
    while (folder.size() > 1 && folder.back() == separator() && !isTop(folder)) folder.pop_back();
    return folder;
}

std::string PathRules::defaultDeletedFilesFolder(const std::string& homeFolder) const {
    if (windows_) return "c:\\letters_save";
    return withSeparator(homeFolder) + "letters_save";
}

}  // namespace dorvel::core
