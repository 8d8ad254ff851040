#pragma once
// Sending: the selected file goes to every ticked recipient, one run of the
// mail tool per recipient, each awaited while the program stays usable.

#include <optional>
#include <string>
#include <vector>

#include "core/FolderEntry.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "core/RecipientList.h"
#include "platform/Platform.h"

namespace dorvel::core {

// The four-letter code the mail tool takes after -H.
inline constexpr const char* kToolCode = DORVEL_TOOL_CODE;

// Runs a program and waits for its end, serving the program's events
// meanwhile. False when the program could not be started. Once the program
// is closing it starts programs without waiting for them.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    virtual bool RunAndWait(const platform::Command& command) = 0;
    // The program is closing: a wait in progress ends, and later runs are
    // started without waiting.
    virtual void stopWaiting() {}
};

// The mail tool's arguments for one recipient: each option one argument, so
// that a path with blanks stays whole.
std::vector<std::string> MailToolArguments(const std::string& mailDirectory,
                                           std::string_view recipientCode,
                                           const std::string& fileArgument);
// The same as the one command line the start-failure message shows.
std::string MailToolCommandLine(const std::vector<std::string>& arguments);
// The command line a Windows build hands CreateProcess: the arguments joined
// by blanks, unquoted, so that the system finds the program in a mail
// directory with blanks as it finds any unquoted one. Only a file argument
// that still holds a blank, a tab or a double quote (a volume without short
// names) is quoted by the Windows rules, so that it stays one argument and
// can never hand the mail tool options of its own.
std::string MailToolWindowsCommandLine(const std::vector<std::string>& arguments);
// The run of the mail tool for these arguments: hidden, on each system's
// own form of them.
platform::Command MailToolCommand(const std::vector<std::string>& arguments);

// The file as the mail tool is given it: its path while it exists, else the
// empty text.
std::string FileArgument(const platform::Platform& platform, const std::string& path);

std::string SendSelected(const std::optional<FolderEntry>& selected,
                         const std::vector<Recipient>& recipients, const std::string& mailDirectory,
                         bool deleteAfterSending, std::string deletedFilesFolder,
                         Progress& progress, ProcessRunner& runner, platform::Platform& platform,
                         Messages& messages);

}  // namespace dorvel::core
