#pragma once
// Every text the program shows, in one place: captions, hints, column
// titles and messages. Both faces take them from here, so a text is fixed
// once and reads the same on every system. UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace dorvel::core::texts {

// The main window.
inline constexpr const char* kMainCaption = ".";
inline constexpr const char* kSendHint = "Отправить файл на выбранные адреса";
inline constexpr const char* kDeleteHint = "Удалить файл";
inline constexpr const char* kDeletedFilesHint = "Просмотреть удалённые файлы";
inline constexpr const char* kSettingsHint = "Настройки";

// The toolbar, left to right: the command each button gives, the picture it
// shows, and its hint.
enum class Command { Send = 1, Delete = 2, Settings = 3, ShowDeleted = 4 };
struct ToolbarButton {
    Command command;
    int image;
    const char* hint;
};
inline constexpr ToolbarButton kToolbar[] = {{Command::Send, 0, kSendHint},
                                             {Command::Delete, 1, kDeleteHint},
                                             {Command::ShowDeleted, 3, kDeletedFilesHint},
                                             {Command::Settings, 2, kSettingsHint}};

// The settings dialog.
inline constexpr const char* kSettingsCaption = "Настройки";
inline constexpr const char* kMailVariableLabel = "Переменная окружения ZOVOVOD";
inline constexpr const char* kLettersFolderLabel = "Почтовый ящик";
inline constexpr const char* kDeletedFilesLabel = "Папка для удаления файлов";
inline constexpr const char* kDeleteAfterSendingLabel = "Удалять файлы при отправке почты";
inline constexpr const char* kFinishButton = "Завершить";
// What screen readers call the settings dialog's folder tree.
inline constexpr const char* kFolderTreeName = "Папки";

// The progress window.
inline constexpr const char* kSendingLine = "Отправляется";
inline constexpr const char* kToLine = "на";
inline constexpr const char* kSendingCaption = "Отправка почты";
inline constexpr const char* kMovingCaption = "Перемещается файл";

// The letters view's own columns, for a folder whose shell reports none.
struct Column {
    const char* caption;
    int widthInX;  // in widths of the letter X
    bool rightAligned;
};
inline constexpr Column kLetterColumns[] = {
    {"Name", 25, false}, {"Size", 10, true}, {"Type", 10, false}, {"Modified", 14, false}};
// A file's size as the Size column shows it: whole kilobytes, rounded up.
std::string SizeText(std::uint64_t bytes);
// A modification time as the Modified column shows it, from local time's
// parts.
std::string ModifiedText(int year, int month, int day, int hour, int minute);

// The message boxes' titles for the program's own checks.
inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kInformationTitle = "Information";

// Messages.
inline constexpr const char* kSetMailVariable = "Установите переменную окружения ZOVOVOD";
inline constexpr const char* kChooseFileToSend = "Выберите файл для отправки";
inline constexpr const char* kChooseRecipients = "Выберите получателей письма";
inline constexpr const char* kChooseFileToDelete = "Выберите файл для удаления";
inline constexpr const char* kCannotOpenClip = "Cannot open AVI";
std::string FileNotFoundText(std::string_view path);
std::string ToolStartFailedText(std::string_view commandLine);
std::string CannotShowFolderText(std::string_view folder);
std::string ErrorSettingPathText(std::string_view text);
std::string RenameFailedText(std::string_view newName);
std::string CannotOpenText(std::string_view path);

}  // namespace dorvel::core::texts
