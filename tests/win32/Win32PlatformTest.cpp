// What only the Windows program does, on the system's own calls: the mail
// tool's command line as the transport has always been handed it, the
// numbering of deleted files with backslashes, the folder errors the
// messages are worded by.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "FakePlatform.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "core/DeletedFilesMover.h"
#include "core/MailSending.h"
#include "core/SettingsFile.h"
#include "platform/win32/FileSteps.h"
#include "platform/win32/WideText.h"
#include "win32/WineTestHelpers.h"

using namespace dorvel;
using fakes::Lines;
using fakes::RecordingMessages;
using fakes::RecordingProgress;
using fakes::RecordingTool;
namespace fs = std::filesystem;

namespace {

// Waits for each run by blocking on its process handle.
class BlockingRunner final : public core::ProcessRunner {
public:
    bool RunAndWait(const platform::Command& command) override {
        auto process = platform::HostPlatform().start(command);
        if (!process) return false;
        const auto waitable = process->waitable();
        if (waitable != platform::Process::kNothingToWaitOn) {
            ::WaitForSingleObject(reinterpret_cast<HANDLE>(waitable), 30'000);
        }
        return process->hasEnded();
    }
};

// The arguments a Windows program reads back from its command line.
std::vector<std::string> AsTheProgramReadsIt(const std::string& line) {
    int count = 0;
    wchar_t** split = ::CommandLineToArgvW(platform::Wide(line).c_str(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(platform::Utf8(split[i]));
    ::LocalFree(split);
    return arguments;
}

class MailTool : public ::testing::Test {
protected:
    MailTool() {
        fs::create_directory(dir / "mail dir");
        fs::create_directory(dir / "letters");
        ::SetEnvironmentVariableW(L"DORVEL_RECORD", platform::Wide(dir / "record.txt").c_str());
    }
    ~MailTool() override { ::SetEnvironmentVariableW(L"DORVEL_RECORD", nullptr); }
    void installTool() { fs::copy_file(RecordingTool(), dir / "mail dir/TOMAIL.EXE"); }
    std::string mailDirectory() const { return dir / "mail dir/"; }
    void send(const std::string& letter) {
        core::SendSelected(core::FolderEntry{letter, dir / ("letters/" + letter)}, recipients,
                           mailDirectory(), false, dir / "del", progress, runner,
                           platform::HostPlatform(), messages);
    }

    fakes::TempDir dir;
    std::vector<core::Recipient> recipients{{"L_KIEV Kiev", true},
                                            {"L_LVIV Lviv", false},
                                            {"L_ODESA Odesa", true},
                                            {"L_RIVNE Rivne", true}};
    RecordingProgress progress;
    RecordingMessages messages;
    BlockingRunner runner;
};

}  // namespace

TEST_F(MailTool, EachTickedRecipientGetsTheCommandLineByteForByteHidden) {
    installTool();
    dir.write("letters/REPORT.DOC", "letter");
    send("REPORT.DOC");
    EXPECT_TRUE(messages.errors.empty());
    const std::string file = *platform::HostPlatform().shortPath(dir / "letters/REPORT.DOC");
    std::vector<std::string> expected;
    for (const char* code : {"L_KIEV", "L_ODESA", "L_RIVNE"}) {
        // The mail directory holds a blank and stays unquoted: the system
        // finds the program in it as it always did.
        expected.push_back(mailDirectory() + "TOMAIL -HPOST -N" + code + " -F" + file +
                           " -X -SOFFICE\t0");
    }
    EXPECT_EQ(Lines(dir.read("record.txt")), expected) << "in list order, SW_HIDE each";
}

TEST_F(MailTool, AFileWhoseShortFormHoldsABlankStaysOneArgument) {
    installTool();
    // A name that would hand the tool an option of its own if split.
    const std::string name = "a b -X.doc";
    dir.write("letters/" + name, "letter");
    recipients = {{"L_KIEV Kiev", true}};
    send(name);
    const auto lines = Lines(dir.read("record.txt"));
    ASSERT_EQ(lines.size(), 1u);
    const std::string line = lines[0].substr(0, lines[0].rfind('\t'));
    const std::string file = *platform::HostPlatform().shortPath(dir / ("letters/" + name));
    // The mail directory's blank splits the program's own name; the options
    // after it are the tool's.
    auto arguments = AsTheProgramReadsIt(line);
    ASSERT_GE(arguments.size(), 4u) << line;
    arguments.erase(arguments.begin(), arguments.end() - 4);
    EXPECT_EQ(arguments, (std::vector<std::string>{"-NL_KIEV", "-F" + file, "-X", "-SOFFICE"}));
    EXPECT_EQ(line, core::MailToolWindowsCommandLine(
                        core::MailToolArguments(mailDirectory(), "L_KIEV", file)));
}

// The recipient code stays Windows-1251 bytes as the address file holds it.
// A Unicode tool must read the letters themselves, and an ANSI tool on a
// system whose ANSI code page is 1251 the very bytes of the file. The
// suites run this under a Cyrillic and an English system locale
// (DORVEL_EXPECT_ACP says which).
TEST_F(MailTool, ACyrillicRecipientCodeReachesTheToolAsItsLetters) {
    wchar_t expected[16] = {};
    const bool locale = ::GetEnvironmentVariableW(L"DORVEL_EXPECT_ACP", expected, 16) > 0;
    if (locale) {
        ASSERT_EQ(::GetACP(), static_cast<UINT>(std::wcstoul(expected, nullptr, 10)))
            << "the suite did not run under the locale it asked for";
    }
    installTool();
    dir.write("letters/REPORT.DOC", "letter");
    ::SetEnvironmentVariableW(L"DORVEL_RECORD_HEX", platform::Wide(dir / "hex.txt").c_str());
    recipients = {{"L_\xCA\xC8\xC5\xC2 \xCA\xE8\xBF\xE2", true}};  // L_КИЕВ Київ
    send("REPORT.DOC");
    ::SetEnvironmentVariableW(L"DORVEL_RECORD_HEX", nullptr);
    EXPECT_TRUE(messages.errors.empty());
    const auto lines = Lines(dir.read("hex.txt"));
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines[0];
    EXPECT_NE(line.find("W:"), std::string::npos);
    EXPECT_NE(line.find(" 002D 004E 004C 005F 041A 0418 0415 0412 0020 "), std::string::npos)
        << "a Unicode tool reads other letters: " << line;
    if (::GetACP() == 1251) {
        EXPECT_NE(line.find(" 2D 4E 4C 5F CA C8 C5 C2 20 "), std::string::npos)
            << "an ANSI tool reads other bytes than the address file's: " << line;
    }
    std::cout << "ANSI code page " << ::GetACP() << ": " << line << "\n";
}

TEST_F(MailTool, AGoneFileIsSentAsTheEmptyText) {
    installTool();
    recipients = {{"L_KIEV Kiev", true}};
    send("GONE.DOC");
    EXPECT_EQ(
        Lines(dir.read("record.txt")),
        std::vector<std::string>{mailDirectory() + "TOMAIL -HPOST -NL_KIEV -F -X -SOFFICE\t0"});
}

TEST_F(MailTool, AMissingToolGivesTheStartFailureMessageForEachRecipient) {
    dir.write("letters/REPORT.DOC", "letter");
    recipients = {{"L_KIEV Kiev", true}, {"L_LVIV Lviv", true}};
    send("REPORT.DOC");
    const std::string file = *platform::HostPlatform().shortPath(dir / "letters/REPORT.DOC");
    EXPECT_EQ(messages.errors,
              (std::vector<std::string>{"Произошла ошибка при запуске " + mailDirectory() +
                                            "TOMAIL -HPOST -NL_KIEV -F" + file + " -X -SOFFICE",
                                        "Произошла ошибка при запуске " + mailDirectory() +
                                            "TOMAIL -HPOST -NL_LVIV -F" + file + " -X -SOFFICE"}));
}

TEST(DeletedFilesOnWindows, NumberingGoesBeforeTheExtensionOfTheNameAlone) {
    fakes::TempDir dir;
    fs::create_directory(dir / "letters");
    fs::create_directory(dir / "old.box");
    RecordingProgress progress;
    RecordingMessages messages;
    auto& host = platform::HostPlatform();
    auto deleteLetter = [&](const std::string& name, const std::string& folder) {
        dir.write("letters/" + name, name);
        return core::MoveToDeleted(core::FolderEntry{name, dir / ("letters/" + name)}, folder,
                                   progress, host, messages);
    };
    // A folder text without its backslash gets one.
    EXPECT_EQ(deleteLetter("REPORT.DOC", dir / "del"), dir / "del/");
    EXPECT_EQ(deleteLetter("REPORT.DOC", dir / "del"), dir / "del/");
    EXPECT_EQ(deleteLetter("REPORT.DOC", dir / "del/"), dir / "del/");
    EXPECT_EQ(dir.read("del/REPORT.DOC"), "REPORT.DOC");
    EXPECT_EQ(dir.read("del/REPORT.1.DOC"), "REPORT.DOC");
    EXPECT_EQ(dir.read("del/REPORT.2.DOC"), "REPORT.DOC");
    // The dot of a folder's name is no extension of the file in it.
    deleteLetter("README", dir / "old.box");
    deleteLetter("README", dir / "old.box");
    EXPECT_TRUE(fs::exists(dir / "old.box/README"));
    EXPECT_TRUE(fs::exists(dir / "old.box/README.1"));
    EXPECT_FALSE(fs::exists(dir / "letters/README"));
    EXPECT_TRUE(messages.errors.empty());
}

TEST(DeletedFilesOnWindows, AFolderThatCannotBeMadeGivesTheSystemsNumber) {
    fakes::TempDir dir;
    dir.write("REPORT.DOC", "letter");
    RecordingProgress progress;
    RecordingMessages messages;
    auto deleteInto = [&](const std::string& folder) -> std::string {
        try {
            core::MoveToDeleted(core::FolderEntry{"REPORT.DOC", dir / "REPORT.DOC"}, folder,
                                progress, platform::HostPlatform(), messages);
        } catch (const core::PlatformError& e) {
            return e.what();
        }
        return "moved";
    };
    EXPECT_EQ(platform::HostPlatform().createFolder(dir / "no/such").code(), 3);
    EXPECT_EQ(deleteInto(dir / "no/such"), core::IoErrorText(3)) << "a missing parent";
    dir.write("taken", "a file where a folder should be");
    EXPECT_EQ(deleteInto(dir / "taken"), core::IoErrorText(183));
    EXPECT_EQ(dir.read("REPORT.DOC"), "letter");
}

// Under Wine, the Linux kernel's own file system (drive Z:\sys) refuses any
// new folder, even to root, as a folder without rights does on Windows.
TEST(DeletedFilesOnWindows, AFolderThatMayNotBeMadeGivesAccessDenied) {
    if (!fs::is_directory("Z:\\sys\\kernel")) GTEST_SKIP() << "no folder here refuses root";
    fakes::TempDir dir;
    dir.write("REPORT.DOC", "letter");
    RecordingProgress progress;
    RecordingMessages messages;
    EXPECT_EQ(platform::HostPlatform().createFolder("Z:\\sys\\dorvel").code(), 5);
    try {
        core::MoveToDeleted(core::FolderEntry{"REPORT.DOC", dir / "REPORT.DOC"}, "Z:\\sys\\dorvel",
                            progress, platform::HostPlatform(), messages);
        ADD_FAILURE() << "the move went ahead";
    } catch (const core::PlatformError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(dir.read("REPORT.DOC"), "letter");
}

TEST(Win32Platform, SpecialFoldersAndTheEnvironmentComeFromTheSystem) {
    auto& host = platform::HostPlatform();
    const auto desktop = host.specialFolder("rfDesktop");
    ASSERT_TRUE(desktop);
    EXPECT_TRUE(fs::is_directory(platform::Wide(*desktop)));
    EXPECT_FALSE(host.specialFolder("rfNoSuchFolder"));
    ::SetEnvironmentVariableW(L"ZOVOVOD", L"C:\\Почта");
    EXPECT_EQ(host.environment("ZOVOVOD").value_or("?"), "C:\\Почта");
    ::SetEnvironmentVariableW(L"ZOVOVOD", nullptr);
    EXPECT_FALSE(host.environment("ZOVOVOD"));
    EXPECT_TRUE(host.environment("SystemRoot"));
}

TEST(Win32Platform, NamesOutsideAnyCodePageRoundTrip) {
    fakes::TempDir dir;
    const std::string name = dir / "Лист ✓ 日本.doc";
    auto& host = platform::HostPlatform();
    ASSERT_TRUE(host.replaceFile(name, "x"));
    bool seen = false;
    ASSERT_TRUE(host.enumerateFolder(dir.path(), [&](const platform::FolderItem& item) {
        seen = seen || item.name == "Лист ✓ 日本.doc";
    }));
    EXPECT_TRUE(seen);
    EXPECT_EQ(platform::ReadWholeFile(host, name, 10).value_or("?"), "x");
    EXPECT_TRUE(host.move(name, dir / "Ёж.doc"));
}

TEST(Win32Platform, AReadOnlySettingsFileIsRefusedAndKept) {
    fakes::TempDir dir;
    dir.write("dorvel.ini", "old");
    ::SetFileAttributesW(platform::Wide(dir / "dorvel.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(platform::HostPlatform().replaceFile(dir / "dorvel.ini", "new").code(),
              platform::kAccessDenied);
    ::SetFileAttributesW(platform::Wide(dir / "dorvel.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(dir.read("dorvel.ini"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1)
        << "a temporary file was left behind";
}

TEST(Win32Platform, TheSettingsFileIsReplacedAgainAndAgainInTheCurrentDirectory) {
    fakes::TempDir dir;
    fakes::InDirectory cd(dir.path());
    for (int panel : {200, 210, 220}) {
        core::SettingsFile file(platform::HostPlatform());
        core::SettingsRecord record;
        record.panel1 = panel;
        file.WriteSettings(record, false);
        EXPECT_NO_THROW(file.Save()) << "save " << panel;
    }
    EXPECT_EQ(core::SettingsFile(platform::HostPlatform()).ReadSettings({}).panel1, 220);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator{}), 1);
}

namespace {

// Letters that Linux or Samba left on a shared folder, under names that the
// ordinary path rules would rewrite: trailing dots and blanks, device names.
class NamesThePathRulesRewrite : public MailTool {
protected:
    NamesThePathRulesRewrite() {
        for (const auto& [name, text] : letters) put("letters/" + name, text);
    }
    // The ordinary rules, which the scratch folder's removal follows, cannot
    // remove these names.
    ~NamesThePathRulesRewrite() override {
        for (const auto& [name, text] : letters) {
            ::DeleteFileW(exact(dir / ("letters/" + name)).c_str());
            ::DeleteFileW(exact(dir / ("del/" + name)).c_str());
        }
    }
    void put(const std::string& name, const std::string& text) {
        const HANDLE file = ::CreateFileW(exact(dir / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        DWORD put = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
        ::CloseHandle(file);
    }
    static std::wstring exact(const std::string& path) { return L"\\\\?\\" + platform::Wide(path); }
    std::string get(const std::string& path) {
        return platform::ReadWholeFile(platform::HostPlatform(), path, 1000).value_or("<none>");
    }

    const std::vector<std::pair<std::string, std::string>> letters{
        {"REPORT.DOC", "the twin"},
        {"REPORT.DOC.", "the dotted one"},
        {"NOTE..", "a note"},
        {"con.doc", "not a console"},
        {"trail ", "a blank at the end"}};
};

}  // namespace

TEST_F(NamesThePathRulesRewrite, EachIsListedReadAndDeletedAsItselfNeverAsItsTwin) {
    auto& host = platform::HostPlatform();
    std::vector<std::string> listed;
    ASSERT_TRUE(host.enumerateFolder(dir / "letters", [&](const platform::FolderItem& item) {
        listed.emplace_back(item.name);
    }));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"NOTE..", "REPORT.DOC", "REPORT.DOC.", "con.doc",
                                                "trail "}));
    for (const auto& [name, text] : letters) {
        EXPECT_EQ(get(dir / ("letters/" + name)), text) << name;
        core::MoveToDeleted(core::FolderEntry{name, dir / ("letters/" + name)}, dir / "del",
                            progress, host, messages);
    }
    for (const auto& [name, text] : letters) {
        EXPECT_EQ(get(dir / ("del/" + name)), text) << name << " did not arrive as itself";
        EXPECT_FALSE(host.inspect(dir / ("letters/" + name))) << name << " stayed";
    }
}

TEST_F(NamesThePathRulesRewrite, TheMailToolGetsEachLettersOwnShortNameOrNoneAtAll) {
    auto& host = platform::HostPlatform();
    const auto dotted = host.shortPath(dir / "letters/REPORT.DOC.");
    ASSERT_TRUE(dotted);
    EXPECT_NE(*dotted, host.shortPath(dir / "letters/REPORT.DOC").value_or(""));
    EXPECT_EQ(dotted->find("\\\\?\\"), std::string::npos) << *dotted;
    // The ordinary rules, as the mail tool uses them, reach the dotted letter.
    std::ifstream in(fs::path(platform::Wide(*dotted)), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the dotted one");
    // A device name has no short form that names the file: sent as a file
    // without one.
    EXPECT_FALSE(host.shortPath(dir / "letters/con.doc"));

    installTool();
    recipients = {{"L_KIEV Kiev", true}};
    send("REPORT.DOC.");
    send("con.doc");
    EXPECT_EQ(Lines(dir.read("record.txt")),
              (std::vector<std::string>{
                  mailDirectory() + "TOMAIL -HPOST -NL_KIEV -F" + *dotted + " -X -SOFFICE\t0",
                  mailDirectory() + "TOMAIL -HPOST -NL_KIEV -F -X -SOFFICE\t0"}));
}

TEST(ExactPaths, TheUsualRulesAreLeftToRelativePathsAndDotParts) {
    EXPECT_EQ(platform::ExactPath("C:\\Letters\\REPORT.DOC."), L"\\\\?\\C:\\Letters\\REPORT.DOC.");
    EXPECT_EQ(platform::ExactPath("C:/Letters//a/"), L"\\\\?\\C:\\Letters\\a\\");
    EXPECT_EQ(platform::ExactPath("\\\\server\\share\\con.doc"),
              L"\\\\?\\UNC\\server\\share\\con.doc");
    EXPECT_EQ(platform::ExactPath(".\\dorvel.ini"), L".\\dorvel.ini");
    EXPECT_EQ(platform::ExactPath("C:\\a\\..\\b"), L"C:\\a\\..\\b");
    EXPECT_EQ(platform::WithoutExactPrefix(L"\\\\?\\UNC\\server\\x"), L"\\\\server\\x");
    EXPECT_TRUE(platform::RewrittenByPathRules(L"C:\\a\\com1.txt"));
    EXPECT_TRUE(platform::RewrittenByPathRules(L"C:\\dir.\\a.txt"));
    EXPECT_TRUE(platform::RewrittenByPathRules(L"C:\\a\\Nul"));
    EXPECT_FALSE(platform::RewrittenByPathRules(L"C:\\a\\console.doc"));
    EXPECT_FALSE(platform::RewrittenByPathRules(L"C:\\LETTERS\\REPO~DXP.DOC"));
}
