#include "core/MailSending.h"
#include "core/Texts.h"

#include "core/DeletedFilesMover.h"
#include "platform/formats/CodePages.h"
#include "platform/formats/CommandLine.h"

namespace dorvel::core {

std::vector<std::string> MailToolArguments(const std::string& mailDirectory,
                                           std::string_view recipientCode,
                                           const std::string& fileArgument) {
    return {mailDirectory + "TOMAIL",
            std::string("-H") + kToolCode,
            "-N" + std::string(recipientCode),
            "-F" + fileArgument,
            "-X",
            "-SOFFICE"};
}

std::string MailToolCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        // The recipient code is Windows-1251 like the address file; the rest
        // is as the file system gives it.
        line += i == 2 ? platform::Cp1251ToUtf8(arguments[i]) : arguments[i];
    }
    return line;
}

std::string MailToolWindowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) line += ' ';
        const std::string& a = arguments[i];
        const bool file = i == 3;
        // The line is UTF-8 until the wide call; the recipient code must be
        // read as the Windows-1251 it is, or its letters become U+FFFD.
        if (i == 2) {
            line += platform::Cp1251ToUtf8(a);
        } else {
            line += file && a.find_first_of(" \t\"") != std::string::npos
                        ? platform::QuotedWindowsArgument(a)
                        : a;
        }
    }
    return line;
}

platform::Command MailToolCommand(const std::vector<std::string>& arguments) {
    platform::Command command;
    command.arguments = arguments;
    command.windowsCommandLine = MailToolWindowsCommandLine(arguments);
    // The file the system would find for the unquoted line, named outright.
    command.windowsProgram = arguments.front() + ".exe";
    command.hidden = true;
    return command;
}

std::string FileArgument(const platform::Platform& platform, const std::string& path) {
    return platform.shortPath(path).value_or("");
}

std::string SendSelected(const std::optional<FolderEntry>& selected,
                         const std::vector<Recipient>& recipients, const std::string& mailDirectory,
                         bool deleteAfterSending, std::string deletedFilesFolder,
                         Progress& progress, ProcessRunner& runner, platform::Platform& platform,
                         Messages& messages) {
    if (!selected) {
        messages.information(texts::kChooseFileToSend);
        return deletedFilesFolder;
    }
    if (TickedEntries(recipients).empty()) {
        messages.information(texts::kChooseRecipients);
        return deletedFilesFolder;
    }
    // The entry is taken once; a change of the selection during the waits
    // does not change what is sent. The list is walked by position, so a
    // tick changed meanwhile counts for the recipients still to come.
    const FolderEntry& entry = *selected;
    progress.SetCaption(texts::kSendingCaption);
    progress.SetFileLine(entry.displayName);
    progress.Show();
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        if (!recipients[i].ticked) continue;
        const std::string line = recipients[i].line;
        progress.SetRecipientLine(platform::Cp1251ToUtf8(line));
        const auto arguments = MailToolArguments(mailDirectory, RecipientCode(line),
                                                 FileArgument(platform, entry.fullPath));
        if (!runner.RunAndWait(MailToolCommand(arguments))) {
            messages.error(texts::ToolStartFailedText(MailToolCommandLine(arguments)));
        }
    }
    progress.Close();
    if (!deleteAfterSending) return deletedFilesFolder;
    return MoveToDeleted(entry, std::move(deletedFilesFolder), progress, platform, messages);
}

}  // namespace dorvel::core
