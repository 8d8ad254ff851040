#include "core/Texts.h"

#include <cstdio>

namespace dorvel::core::texts {

std::string SizeText(std::uint64_t bytes) {
    return std::to_string(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0)) + " KB";
}

std::string ModifiedText(int year, int month, int day, int hour, int minute) {
    char shown[40];
    std::snprintf(shown, sizeof shown, "%02d.%02d.%04d %02d:%02d", day, month, year, hour, minute);
    return shown;
}

std::string FileNotFoundText(std::string_view path) {
    return "Не найден файл " + std::string(path);
}

std::string ToolStartFailedText(std::string_view commandLine) {
    return "Произошла ошибка при запуске " + std::string(commandLine);
}

std::string CannotShowFolderText(std::string_view folder) {
    return "Не могу показать директорию " + std::string(folder);
}

std::string ErrorSettingPathText(std::string_view text) {
    return "Error setting path: \"" + std::string(text) + "\"";
}

std::string RenameFailedText(std::string_view newName) {
    return "Rename to " + std::string(newName) + " failed";
}

std::string CannotOpenText(std::string_view path) { return "Cannot open " + std::string(path); }

}  // namespace dorvel::core::texts
