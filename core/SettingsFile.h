#pragma once
// What survives from run to run: ".\dorvel.ini" in the current directory,
// read once at start-up and written once at shut-down.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/FolderEntry.h"
#include "core/RecipientList.h"
#include "platform/Platform.h"
#include "platform/formats/ProfileFile.h"

namespace dorvel::core {

// Relative on purpose: a program started elsewhere has other settings.
inline constexpr const char* kSettingsPath = "./dorvel.ini";
inline constexpr const char* kSettingsName = ".\\dorvel.ini";  // as messages show it
inline constexpr std::size_t kMaxValueLength = 2047;
// Far beyond a real settings file: 100,000 ticks take a few megabytes.
inline constexpr std::size_t kMaxSettingsBytes = 64u << 20;

// What a refused save says; a start whose settings could not be read says it
// at once.
inline std::string UnableToWriteSettingsText() {
    return std::string("Unable to write to ") + kSettingsName;
}

struct SettingsRecord {
    std::int32_t top = 106;
    std::int32_t left = 197;
    std::int32_t height = 666;
    std::int32_t width = 870;
    std::int32_t windowState = 0;  // 0 normal, 1 minimised, 2 maximised
    std::int32_t panel1 = 185;
    std::string letters = kDesktopRoot;  // a path as the file system gives it
    bool postMove = false;
    std::string moveDir;  // a path as the file system gives it
};

// The deleted-files folder of a first run: letters_save in the home folder.
std::string DefaultMoveDir(const platform::Platform& platform);

// One opening of the settings file. Reads come from one parse of the file;
// writes collect in memory and reach the disk in one replacement by Save.
class SettingsFile {
public:
    explicit SettingsFile(platform::Platform& platform);

    SettingsRecord ReadSettings(const SettingsRecord& defaults) const;
    bool ReadTick(std::string_view recipientLine) const;

    void WriteSettings(const SettingsRecord& record, bool maximised);
    void WriteTick(std::string_view recipientLine, bool ticked);
    // Throws PlatformError "Unable to write to .\dorvel.ini" when refused;
    // the file on disk is then as it was.
    void Save();
    // Something was there that could not be read (held by another program,
    // a FIFO, a device): Save will refuse, and the start says so.
    bool readFailed() const { return unreadable_; }

private:
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;
    std::string readPath(std::string_view section, std::string_view key,
                         const std::string& fallback) const;

    platform::Platform& platform_;
    // Something is there that could not be read as a settings file (a FIFO,
    // a device, an unreadable or absurdly large file): it is never replaced.
    bool unreadable_ = false;
    platform::ProfileFile profile_;
};

// The shut-down's writes in their order: the record, then one tick per
// recipient line in list order, saved in one replacement. A settings file
// that could not be read at the start is never written over: it throws the
// refusal without touching the file, as a refused save does.
void SaveAtExit(platform::Platform& platform, const SettingsRecord& record, bool maximised,
                const std::vector<Recipient>& recipients, bool startReadFailed);

// Paths live in the file as Windows-1251. A path that Windows-1251 cannot
// hold, or that the file's own syntax would change (surrounding blanks or
// quotes, line breaks, the marker itself), is stored as =?UTF-8?B?base64?=.
std::string EncodePathValue(std::string_view path);
std::string DecodePathValue(std::string_view value);

}  // namespace dorvel::core
