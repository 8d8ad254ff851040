#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "core/FileBrowser.h"

using namespace dorvel;

TEST(FileBrowser, ExplorerGetsTheFolderUnquotedFromTheSystemFolder) {
    fakes::FakePlatform platform;
    platform.env["SystemRoot"] = "C:\\WINDOWS";
    const auto command = core::FileBrowserCommand(platform, "c:\\letters save");
    EXPECT_EQ(command.windowsCommandLine, "C:\\WINDOWS\\explorer.exe /root,/e,c:\\letters save");
    EXPECT_TRUE(command.windowsProgram.empty()) << "found in the line, as WinExec finds it";
    EXPECT_EQ(command.arguments, (std::vector<std::string>{"xdg-open", "c:\\letters save"}))
        << "elsewhere the folder is one argument";
    EXPECT_FALSE(command.hidden);
    platform.env.clear();
    EXPECT_EQ(core::FileBrowserCommand(platform, "d:\\x").windowsCommandLine,
              "\\explorer.exe /root,/e,d:\\x")
        << "an unset SystemRoot leaves the backslash first";
}
