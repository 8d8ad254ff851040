#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/Platform.h"
#include "qt/ProgramOnDisk.h"
#include "ui/qt/LettersView.h"
#include "ui/qt/Unit1.h"
#include "ui/qt/Unit2.h"
#include "ui/qt/Unit3.h"

using namespace dorvel;
using dorvel::fakes::RecordingMessages;
namespace fs = std::filesystem;

namespace {

// Ends every process started from the folder, such as a mail tool that hangs.
void KillProcessesUnder(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        std::string command;
        std::getline(in, command, '\0');
        if (command.rfind(folder, 0) == 0) ::kill(std::stoi(name), SIGKILL);
    }
}

class MisbehavingToolTest : public dorvel::fakes::ProgramOnDisk {
protected:
    MisbehavingToolTest() {
        dir.write("letters/REPORT.DOC", "report");
        settings(lettersOption() + "[ListCheck]\r\nL_A first=1\r\nL_B second=1\r\n");
        form = startProgram();
        form->ShellListView1->selectRow(0);
    }
    ~MisbehavingToolTest() override { KillProcessesUnder(dir / "mail"); }
    // Sends, and tells whether the send came back within the time.
    bool sendReturnsWithin(int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        form->form().N3Click();
        return clock.elapsed() < milliseconds;
    }

    std::unique_ptr<ui::TForm1> form;
};

}  // namespace

TEST_F(MisbehavingToolTest, AToolThatHangsCanBeLeftByClosingAndTheSettingsAreSaved) {
    ::setenv("DORVEL_TOMAIL_MISBEHAVE", "hang", 1);
    QTimer::singleShot(300, [this] { form->close(); });
    EXPECT_TRUE(sendReturnsWithin(3000));
    form->FormDestroy();
    EXPECT_NE(dir.read("dorvel.ini").find("L_B second=1\r\n"), std::string::npos);
}

TEST_F(MisbehavingToolTest, ToolsThatCrashFailOrFloodDoNotStopTheProgram) {
    for (const char* how : {"crash", "fail", "flood"}) {
        ::setenv("DORVEL_TOMAIL_MISBEHAVE", how, 1);
        EXPECT_TRUE(sendReturnsWithin(20000)) << how;
        EXPECT_TRUE(messages.errors.empty())
            << how << ": a failed run is not the program's to report";
        EXPECT_FALSE(form->Form3->isVisible());
    }
    EXPECT_EQ(dir.read("mail/journal.txt").size() > 0, true)
        << "the flooding tool never got past its output";
}

TEST_F(MisbehavingToolTest, AToolThatCannotStartGivesOneMessagePerRecipient) {
    ::chmod((dir / "mail/TOMAIL").c_str(), 0644);
    form->form().N3Click();
    EXPECT_EQ(messages.errors.size(), 2u);
    fs::remove(dir / "mail/TOMAIL");
    fs::create_directory(dir / "mail/TOMAIL");
    form->form().N3Click();
    ASSERT_EQ(messages.errors.size(), 4u);
    EXPECT_EQ(messages.errors[3].rfind(
                  "Произошла ошибка при запуске " + (dir / "mail/TOMAIL") + " -H", 0),
              0u);
    EXPECT_TRUE(fs::exists(dir / "letters/REPORT.DOC"));
}
