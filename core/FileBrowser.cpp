#include "core/FileBrowser.h"

namespace dorvel::core {

platform::Command FileBrowserCommand(const platform::Platform& platform,
                                     const std::string& folder) {
    platform::Command command;
    command.arguments = {"xdg-open", folder};
    // An unset SystemRoot leaves the line starting with the backslash.
    command.windowsCommandLine =
        platform.environment("SystemRoot").value_or({}) + "\\explorer.exe /root,/e," + folder;
    return command;
}

}  // namespace dorvel::core
