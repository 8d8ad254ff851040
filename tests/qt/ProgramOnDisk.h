#pragma once
// The program's surroundings on real folders: a mail directory with an
// address file and the stand-in mail tool, a letters folder, and the
// current directory where the settings file lives.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "FakePlatform.h"
#include "TempDir.h"
#include "platform/Platform.h"
#include "ui/qt/Unit1.h"

namespace dorvel::fakes {

class ProgramOnDisk : public ::testing::Test {
protected:
    explicit ProgramOnDisk(const std::string& addresses = "L_A first\r\nL_B second\r\n")
        : cd(dir.path()) {
        std::filesystem::create_directories(dir / "mail");
        std::filesystem::create_directories(dir / "letters");
        std::filesystem::copy_file(DORVEL_TOMAIL_PATH, dir / "mail/TOMAIL");
        dir.write("mail/LUSERS.NDE", addresses);
        ::setenv("ZOVOVOD", (dir / "mail").c_str(), 1);
    }
    ~ProgramOnDisk() override {
        ::unsetenv("ZOVOVOD");
        ::unsetenv("DORVEL_TOMAIL_DELAY_MS");
        ::unsetenv("DORVEL_TOMAIL_MISBEHAVE");
    }
    // An [Options] section that points the letters view at the letters folder.
    std::string lettersOption() const {
        return "[Options]\r\nLetters=" + (dir / "letters") + "\r\n";
    }
    void settings(const std::string& text) { dir.write("dorvel.ini", text); }
    std::unique_ptr<ui::TForm1> startProgram() {
        auto form = std::make_unique<ui::TForm1>(platform::HostPlatform(), messages);
        form->show();
        return form;
    }

    TempDir dir;
    InDirectory cd;
    RecordingMessages messages;
};

}  // namespace dorvel::fakes
