#pragma once
// The separator rules of a system's paths. On Windows `\` separates and a
// drive's `:` ends a part too (C:\A.B\REPORT has no extension; C: becomes
// C:\ as a root); on Linux `/` alone separates and `:` is an ordinary
// character. Every rule is a plain function of its text, so both sets are
// tested on either system.

#include <string>
#include <string_view>

namespace dorvel::core {

class PathRules {
public:
    static const PathRules& Posix();
    static const PathRules& Windows();
    // The rules of the system the program was built for.
    static const PathRules& Host();

    char separator() const { return windows_ ? '\\' : '/'; }
    // The text from the name's last dot, when that dot follows the last
    // separator (and on Windows the last colon); otherwise empty.
    std::string_view extension(std::string_view path) const;
    // The text after the last separator (and on Windows the last colon).
    std::string_view fileNamePart(std::string_view path) const;
    // The folder the path names an entry of; the top of the file system
    // stays itself, and a path without separator has none.
    std::string folderOf(std::string_view path) const;
    // The text with a separator appended when it does not end in one.
    std::string withSeparator(std::string text) const;
    // A root text as it is stored: on Windows a drive C: gets its separator.
    std::string rootText(std::string text) const;
    // A path from the top of a file system: /... on Linux; C:\... or a share
    // \\server\... on Windows. Only such a path is taken as a folder root.
    bool isWholePath(std::string_view text) const;
    // The top of the file system: "/" or a drive's "C:\".
    bool isTop(std::string_view folder) const;
    // The top shown when nothing better is known.
    std::string fileSystemTop() const { return windows_ ? "C:\\" : "/"; }
    // The folder without trailing separators; a top keeps its own.
    std::string withoutTrailingSeparators(std::string folder) const;
    // The deleted-files folder of a first run: "c:\letters_save" on Windows,
    // letters_save in the user's home folder elsewhere.
    std::string defaultDeletedFilesFolder(const std::string& homeFolder) const;

private:
    explicit constexpr PathRules(bool windows) : windows_(windows) {}
    std::size_t lastSeparator(std::string_view path) const;

    bool windows_;
};

}  // namespace dorvel::core
