#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "FakePlatform.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "core/MailSending.h"
#include "platform/posix/PosixPlatform.h"

using namespace dorvel;
using dorvel::fakes::RecordingMessages;
using dorvel::fakes::RecordingProgress;
using dorvel::fakes::TempDir;
namespace fs = std::filesystem;

namespace {

// Waits for each run by blocking; the program's own runner serves events.
class BlockingRunner final : public core::ProcessRunner {
public:
    bool RunAndWait(const platform::Command& command) override {
        auto process = platform::HostPlatform().start(command);
        if (!process) return false;
        while (!process->hasEnded()) ::usleep(1000);
        return true;
    }
};

std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size()) {
            const char c = field[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
        } else {
            out += field[i];
        }
    }
    return out;
}

class SendingTest : public ::testing::Test {
protected:
    SendingTest() {
        fs::create_directories(dir / "mail");
        fs::create_directories(dir / "letters");
        fs::copy_file(DORVEL_TOMAIL_PATH, dir / "mail/TOMAIL");
    }
    std::string send(const std::string& name, bool deleteAfter = false) {
        return core::SendSelected(core::FolderEntry{name, dir / ("letters/" + name)}, recipients,
                                  dir / "mail/", deleteAfter, dir / "del", progress, runner,
                                  platform::HostPlatform(), messages);
    }
    // Each run of the tool as its arguments.
    std::vector<std::vector<std::string>> runs() {
        std::vector<std::vector<std::string>> out;
        std::istringstream journal(dir.read("mail/journal.txt"));
        std::string line;
        while (std::getline(journal, line)) {
            std::vector<std::string> args;
            std::size_t start = 0;
            for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
                 start = tab + 1) {
                args.push_back(Unescape(line.substr(start, tab - start)));
            }
            args.push_back(Unescape(line.substr(start)));
            out.push_back(args);
        }
        return out;
    }

    TempDir dir;
    std::vector<core::Recipient> recipients{{"L_ONE first office", true},
                                            {"L_TWO second", false},
                                            {"L_THREE \xCA\xE8\xBF\xE2", true},
                                            {"L_FOUR", true}};
    RecordingProgress progress;
    RecordingMessages messages;
    BlockingRunner runner;
};

}  // namespace

TEST_F(SendingTest, OneRunPerTickedRecipientInListOrderEachWithItsCode) {
    dir.write("letters/REPORT.DOC", "report");
    send("REPORT.DOC");
    const auto r = runs();
    ASSERT_EQ(r.size(), 3u);
    const std::string file = "-F" + (dir / "letters/REPORT.DOC");
    const std::string code = std::string("-H") + core::kToolCode;
    EXPECT_EQ(r[0], (std::vector<std::string>{code, "-NL_ONE", file, "-X", "-SOFFICE"}));
    EXPECT_EQ(r[1], (std::vector<std::string>{code, "-NL_THREE", file, "-X", "-SOFFICE"}));
    // A line without a blank has no code: -N stands alone before -F.
    EXPECT_EQ(r[2], (std::vector<std::string>{code, "-N", file, "-X", "-SOFFICE"}));
    EXPECT_EQ(dir.read("mail/outbox/L_ONE/REPORT.DOC"), "report");
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"caption Отправка почты", "file REPORT.DOC", "show",
                                        "line L_ONE first office", "line L_THREE Київ",
                                        "line L_FOUR", "close"}));
    EXPECT_TRUE(messages.errors.empty());
    EXPECT_EQ(std::string(core::kToolCode).size(), 4u);
}

TEST_F(SendingTest, HostileFileNamesReachTheToolByteForByteAsOneArgument) {
    for (const std::string name : {"with blanks.doc", "q\"uote's", "semi;colon", "$(touch pwned)",
                                   "new\nline", "-dash", "\xFF\xFE bytes"}) {
        dir.write("letters/" + name, "letter " + name);
        send(name);
        EXPECT_EQ(runs().back()[2], "-F" + (dir / ("letters/" + name))) << name;
        EXPECT_EQ(dir.read("mail/outbox/L_ONE/" + name), "letter " + name);
    }
    EXPECT_FALSE(fs::exists(dir / "letters/pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(SendingTest, WithTheOptionOnTheSentFileIsMovedNumberedWhenNeeded) {
    fs::create_directories(dir / "del");
    dir.write("del/REPORT.DOC", "older");
    dir.write("letters/REPORT.DOC", "report");
    EXPECT_EQ(send("REPORT.DOC", true), dir / "del/");
    EXPECT_FALSE(fs::exists(dir / "letters/REPORT.DOC"));
    EXPECT_EQ(dir.read("del/REPORT.1.DOC"), "report");
    EXPECT_EQ(dir.read("del/REPORT.DOC"), "older");
}

TEST_F(SendingTest, AMissingToolGivesOneMessagePerRecipientAndTheMoveStillFollows) {
    fs::remove(dir / "mail/TOMAIL");
    dir.write("letters/REPORT.DOC", "report");
    send("REPORT.DOC", true);
    ASSERT_EQ(messages.errors.size(), 3u);
    EXPECT_EQ(messages.errors[0], "Произошла ошибка при запуске " + (dir / "mail/") + "TOMAIL -H" +
                                      core::kToolCode + " -NL_ONE -F" +
                                      (dir / "letters/REPORT.DOC") + " -X -SOFFICE");
    EXPECT_EQ(dir.read("del/REPORT.DOC"), "report");
}

TEST_F(SendingTest, NothingSelectedOrNobodyTickedRunsNothing) {
    EXPECT_EQ(core::SendSelected(std::nullopt, recipients, dir / "mail/", true, dir / "del",
                                 progress, runner, platform::HostPlatform(), messages),
              dir / "del");
    for (auto& r : recipients) r.ticked = false;
    dir.write("letters/a", "a");
    send("a", true);
    EXPECT_EQ(messages.informations, (std::vector<std::string>{"Выберите файл для отправки",
                                                               "Выберите получателей письма"}));
    EXPECT_FALSE(fs::exists(dir / "mail/journal.txt"));
    EXPECT_TRUE(progress.events.empty());
    EXPECT_TRUE(fs::exists(dir / "letters/a"));
}

TEST_F(SendingTest, AFileGoneBeforeTheRunIsPassedAsTheEmptyText) {
    send("gone.doc");
    EXPECT_EQ(runs().front()[2], "-F");
}

namespace {

// How the Windows C runtime splits a command line into arguments (after the
// program name), to read back what a quoted argument becomes.
std::vector<std::string> SplitAsWindowsDoes(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    const auto blank = [&](std::size_t k) { return line[k] == ' ' || line[k] == '\t'; };
    while (true) {
        while (i < line.size() && blank(i)) ++i;
        if (i == line.size()) return out;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || !blank(i))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
            if (i < line.size() && line[i] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    arg += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(backslashes, '\\');
                if (i < line.size() && (quoted || !blank(i))) arg += line[i++];
            }
        }
        out.push_back(arg);
    }
}

}  // namespace

TEST(WindowsCommandLine, IsBuiltUnquotedAsTheTransportExpects) {
    const auto arguments =
        core::MailToolArguments("C:\\MAIL BOX\\", "L_ABC", "C:\\LETTERS\\REPORT~1.DOC");
    EXPECT_EQ(core::MailToolWindowsCommandLine(arguments),
              std::string("C:\\MAIL BOX\\TOMAIL -H") + core::kToolCode +
                  " -NL_ABC -FC:\\LETTERS\\REPORT~1.DOC -X -SOFFICE");
    EXPECT_EQ(core::MailToolWindowsCommandLine(core::MailToolArguments("C:\\MAIL\\", "L_A", "")),
              std::string("C:\\MAIL\\TOMAIL -H") + core::kToolCode + " -NL_A -F -X -SOFFICE");
}

TEST(WindowsCommandLine, AFileWithoutAShortFormStaysOneArgumentAndAddsNoOptions) {
    for (const std::string& file :
         {std::string("C:\\Letters\\a b -X.doc"), std::string("C:\\Let ters\\tab\there.doc"),
          std::string("C:\\odd\"name\\\" -SOTHER.doc"), std::string("C:\\ends in backslash\\")}) {
        const auto arguments = core::MailToolArguments("C:\\MAIL\\", "L_A", file);
        const auto split = SplitAsWindowsDoes(core::MailToolWindowsCommandLine(arguments));
        ASSERT_EQ(split.size(), 6u) << file;
        EXPECT_EQ(split[3], "-F" + file);
        EXPECT_EQ(split[4], "-X");
        EXPECT_EQ(split[5], "-SOFFICE");
    }
}

TEST(WindowsCommandLine, ACyrillicRecipientCodeIsReadAsWindows1251) {
    const auto arguments = core::MailToolArguments("C:\\MAIL\\", "L_\xCA\xC8\xC5\xC2", "");
    EXPECT_EQ(core::MailToolWindowsCommandLine(arguments),
              std::string("C:\\MAIL\\TOMAIL -H") + core::kToolCode +
                  " -NL_\u041A\u0418\u0415\u0412 -F -X -SOFFICE");
}

TEST(WindowsCommandLine, TheToolIsNamedOutrightSoThatNoPartOfTheDirectoryRunsInstead) {
    const auto command = core::MailToolCommand(
        core::MailToolArguments("C:\\Program Files\\Mail\\", "L_A", "C:\\L\\R.DOC"));
    EXPECT_EQ(command.windowsProgram, "C:\\Program Files\\Mail\\TOMAIL.exe")
        << "left to a search, the system would try C:\\Program.exe first";
    EXPECT_EQ(command.windowsCommandLine, std::string("C:\\Program Files\\Mail\\TOMAIL -H") +
                                              core::kToolCode +
                                              " -NL_A -FC:\\L\\R.DOC -X -SOFFICE");
    EXPECT_TRUE(command.hidden);
}
