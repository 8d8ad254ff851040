#include <gtest/gtest.h>

#include "core/Messages.h"

using namespace dorvel;

TEST(Messages, PlatformTextsGetAFullStopAfterLettersDigitsAndSlashes) {
    EXPECT_EQ(core::PlatformErrorText("Unable to write to .\\dorvel.ini"),
              "Unable to write to .\\dorvel.ini.");
    EXPECT_EQ(core::PlatformErrorText("path /tmp/"), "path /tmp/.");
    EXPECT_EQ(core::PlatformErrorText("Файл"), "Файл.");
    EXPECT_EQ(core::PlatformErrorText("done."), "done.");
    EXPECT_EQ(core::PlatformErrorText("list,"), "list,");
    EXPECT_EQ(core::PlatformErrorText("\"q\""), "\"q\"");
    EXPECT_EQ(core::PlatformErrorText("(x)"), "(x)");
    EXPECT_EQ(core::PlatformErrorText(""), "");
}

TEST(Messages, ProgramTitleComesFromTheExecutableName) {
    EXPECT_EQ(core::ProgramTitle("/usr/bin/dorvel"), "dorvel");
    EXPECT_EQ(core::ProgramTitle("C:/prog/DORVEL.EXE"), "Dorvel");
    EXPECT_EQ(core::ProgramTitle("./my.app.bin"), "my");
}
