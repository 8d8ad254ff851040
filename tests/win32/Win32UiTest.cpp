// The Windows windows driven in-process through their controls' messages,
// as the system delivers a person's clicks and keys.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "FakePlatform.h"
#include "TempDir.h"
#include "core/Texts.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/Unit1.h"
#include "win32/WineTestHelpers.h"

using namespace dorvel;
using fakes::Lines;
using fakes::RecordingTool;
namespace fs = std::filesystem;

namespace {

// Serves the program's messages for a while, as its loop would.
void Serve(std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < until) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The shell's objects want COM on the thread, as the program's entry sets it up.
const ui::win32::ComApartment kCom;

// The font a control draws with asks for the Cyrillic set, which makes
// Windows' font mapper pick a face that has it whatever the ANSI code page
// (Wine's substitutes have it anyway), and the system realises it so here.
bool DrawsCyrillic(HWND control) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW asked{};
    if (font == nullptr || ::GetObjectW(font, sizeof asked, &asked) == 0 ||
        asked.lfCharSet != RUSSIAN_CHARSET) {
        return false;
    }
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous =
        ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
    FONTSIGNATURE signature{};
    const int charset = ::GetTextCharsetInfo(dc, &signature, 0);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return charset == RUSSIAN_CHARSET || (signature.fsCsb[0] & FS_CYRILLIC) != 0;
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        fs::create_directory(dir / "mail");
        fs::create_directory(dir / "letters");
        fs::create_directory(dir / "run");
        // Three recipients in the DOS code page, a comment between them.
        dir.write("mail/LUSERS.NDE",
                  "L_KIEV \x8A\xA8\xA5\xA2\r\n; route\r\nL_LVIV Lviv\r\nL_ODESA Odesa\r\n");
        fs::copy_file(RecordingTool(), dir / "mail/TOMAIL.EXE");
        dir.write("letters/REPORT.DOC", "report");
        dir.write("letters/NOTE.TXT", "note");
        dir.write("run/dorvel.ini", "[Options]\r\nLetters=" + dir / "letters" +
                                        "\r\nMoveDir=" + dir / "deleted" + "\r\n");
        ::SetEnvironmentVariableW(L"ZOVOVOD", platform::Wide(dir / "mail").c_str());
        ::SetEnvironmentVariableW(L"DORVEL_RECORD", platform::Wide(dir / "record.txt").c_str());
    }
    ~MainWindow() override {
        form.reset();
        ::SetEnvironmentVariableW(L"ZOVOVOD", nullptr);
        ::SetEnvironmentVariableW(L"DORVEL_RECORD", nullptr);
    }
    void start() {
        cd = std::make_unique<fakes::InDirectory>(dir / "run");
        form = std::make_unique<ui::win32::TForm1>(platform::HostPlatform(), messages);
        ASSERT_FALSE(form->startFailed());
        form->showInStoredState(SW_SHOWNORMAL);
    }
    // A toolbar button's click, as the toolbar tells its window.
    void press(core::texts::Command command) {
        ::SendMessageW(form->handle(), WM_COMMAND, static_cast<WPARAM>(command),
                       reinterpret_cast<LPARAM>(form->ToolBar1));
    }
    HWND list() const { return form->CheckListBox1->handle(); }
    HWND view() const { return form->ShellListView1->handle(); }
    LPARAM rowPoint(int x, int row) const {
        return MAKELPARAM(x, row * ui::win32::CheckListBox::kRowHeight + 5);
    }
    void click(int x, int row) {
        ::SendMessageW(list(), WM_LBUTTONDOWN, MK_LBUTTON, rowPoint(x, row));
        ::SendMessageW(list(), WM_LBUTTONUP, 0, rowPoint(x, row));
    }
    // As the system delivers one: down, up, double-click, up.
    void doubleClick(int x, int row) {
        click(x, row);
        ::SendMessageW(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, rowPoint(x, row));
        ::SendMessageW(list(), WM_LBUTTONUP, 0, rowPoint(x, row));
    }
    std::vector<bool> ticks() {
        std::vector<bool> t;
        for (const auto& r : form->form().recipients()) t.push_back(r.ticked);
        return t;
    }
    int selectedRecipient() const {
        return static_cast<int>(::SendMessageW(list(), LB_GETCURSEL, 0, 0));
    }
    // Selects the letter by its name, as a click in the view would.
    void selectLetter(const std::string& name) {
        const auto& listing = form->ShellListView1->listing();
        for (std::size_t i = 0; i < listing.count(); ++i) {
            if (listing.displayName(i) != name) continue;
            ListView_SetItemState(view(), static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
            return;
        }
        FAIL() << name << " is not listed";
    }

    // The view's end of an in-place edit of the row, as the system sends it.
    void endEdit(int row, std::wstring name) {
        NMLVDISPINFOW done{};
        done.hdr = {view(), static_cast<UINT_PTR>(::GetDlgCtrlID(view())), LVN_ENDLABELEDITW};
        done.item.iItem = row;
        done.item.pszText = name.data();
        ::SendMessageW(form->handle(), WM_NOTIFY, done.hdr.idFrom, reinterpret_cast<LPARAM>(&done));
    }

    fakes::TempDir dir;
    fakes::RecordingMessages messages;
    std::unique_ptr<fakes::InDirectory> cd;
    std::unique_ptr<ui::win32::TForm1> form;
};

// The header's captions and one row's texts, as the view shows them.
struct Shown {
    std::vector<std::string> captions;
    std::vector<std::string> row;
};

Shown ShownRow(HWND view, int row) {
    Shown shown;
    const HWND header = ListView_GetHeader(view);
    for (int c = 0; c < Header_GetItemCount(header); ++c) {
        wchar_t text[128] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        Header_GetItem(header, c, &item);
        shown.captions.push_back(platform::Utf8(text));
        wchar_t cell[256] = {};
        ListView_GetItemText(view, row, c, cell, 256);
        shown.row.push_back(platform::Utf8(cell));
    }
    return shown;
}

}  // namespace

TEST_F(MainWindow, TheCheckBoxColumnTicksAndTheTextOnlySelects) {
    start();
    ASSERT_EQ(form->form().recipients().size(), 3u);
    EXPECT_EQ(form->form().recipients()[0].line, "L_KIEV \xCA\xE8\xE5\xE2")
        << "converted to Windows-1251";
    click(5, 1);
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(selectedRecipient(), 1);
    click(60, 2);
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, false}))
        << "a click on the text ticks nothing";
    EXPECT_EQ(selectedRecipient(), 2);
    click(5, 2);
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, true})) << "text, then box: one toggle";
    doubleClick(5, 0);
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, true})) << "a double-click toggles twice";
    click(ui::win32::CheckListBox::kCheckColumnWidth + 2, 0);
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, true})) << "just right of the box";
    ::SendMessageW(list(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(ticks(), (std::vector<bool>{true, true, true})) << "Space toggles the selected row";
    EXPECT_TRUE(messages.errors.empty());
}

// Narrator and NVDA read the owner-drawn rows through the list's accessible
// object: each row's text, its tick, and a default action that ticks it.
TEST_F(MainWindow, AScreenReaderReadsEachRecipientsTextAndTickAndCanTickIt) {
    start();
    click(5, 0);
    IAccessible* list_ = nullptr;
    ASSERT_TRUE(SUCCEEDED(::AccessibleObjectFromWindow(list(), static_cast<DWORD>(OBJID_CLIENT),
                                                       __uuidof(IAccessible),
                                                       reinterpret_cast<void**>(&list_))));
    auto row = [](long id) {
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = id;
        return child;
    };
    auto name = [&](long id) {
        BSTR text = nullptr;
        std::wstring result;
        if (SUCCEEDED(list_->get_accName(row(id), &text)) && text != nullptr) result = text;
        ::SysFreeString(text);
        return platform::Utf8(result);
    };
    auto checked = [&](long id) {
        VARIANT state{};
        return SUCCEEDED(list_->get_accState(row(id), &state)) && state.vt == VT_I4 &&
               (state.lVal & STATE_SYSTEM_CHECKED) != 0;
    };
    long count = 0;
    EXPECT_TRUE(SUCCEEDED(list_->get_accChildCount(&count)));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(name(1), "L_KIEV Киев");
    EXPECT_EQ(name(2), "L_LVIV Lviv");
    EXPECT_TRUE(checked(1));
    EXPECT_FALSE(checked(2));
    EXPECT_TRUE(SUCCEEDED(list_->accDoDefaultAction(row(2))));
    EXPECT_TRUE(checked(2));
    EXPECT_EQ(ticks(), (std::vector<bool>{true, true, false}));
    list_->Release();
}

TEST_F(MainWindow, ASendReachesTheTickedRecipientsInOrderAndTheTicksSurviveTheClose) {
    start();
    click(5, 0);
    click(5, 2);
    selectLetter("REPORT.DOC");
    press(core::texts::Command::Send);
    const std::string file = *platform::HostPlatform().shortPath(dir / "letters/REPORT.DOC");
    const std::string tool = dir / "mail/TOMAIL";
    EXPECT_EQ(Lines(dir.read("record.txt")),
              (std::vector<std::string>{tool + " -HPOST -NL_KIEV -F" + file + " -X -SOFFICE\t0",
                                        tool + " -HPOST -NL_ODESA -F" + file + " -X -SOFFICE\t0"}));
    EXPECT_TRUE(messages.errors.empty());
    EXPECT_TRUE(messages.informations.empty());
    form->FormDestroy();
    const std::string ini = dir.read("run/dorvel.ini");
    EXPECT_NE(ini.find("L_KIEV \xCA\xE8\xE5\xE2=1\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("L_LVIV Lviv=0\r\n"), std::string::npos);
    EXPECT_NE(ini.find("L_ODESA Odesa=1\r\n"), std::string::npos);
}

// At log-off the process ends as soon as the window has answered
// WM_ENDSESSION: the settings must be written by then.
TEST_F(MainWindow, ALogOffWritesTheSettingsBeforeTheWindowAnswers) {
    start();
    click(5, 1);
    const HWND window = form->handle();
    EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(dir.read("run/dorvel.ini").find("L_LVIV"), std::string::npos)
        << "asking may not end anything";
    ::SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const std::string ini = dir.read("run/dorvel.ini");
    EXPECT_NE(ini.find("L_LVIV Lviv=1\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Letters=" + dir / "letters"), std::string::npos) << ini;
    EXPECT_FALSE(::IsWindowVisible(window));
    // The loop's own end writes nothing more.
    dir.write("run/dorvel.ini", "written once");
    form->FormDestroy();
    EXPECT_EQ(dir.read("run/dorvel.ini"), "written once");
}

TEST_F(MainWindow, NothingSelectedOrNobodyTickedGivesItsInformation) {
    start();
    press(core::texts::Command::Send);
    selectLetter("REPORT.DOC");
    press(core::texts::Command::Send);
    EXPECT_EQ(messages.informations, (std::vector<std::string>{"Выберите файл для отправки",
                                                               "Выберите получателей письма"}));
    EXPECT_FALSE(fs::exists(dir / "record.txt"));
}

TEST_F(MainWindow, DeleteNumbersTheSecondLetterOfTheSameName) {
    start();
    selectLetter("REPORT.DOC");
    press(core::texts::Command::Delete);
    dir.write("letters/REPORT.DOC", "second");
    form->ShellListView1->Relist();
    selectLetter("REPORT.DOC");
    press(core::texts::Command::Delete);
    EXPECT_EQ(dir.read("deleted/REPORT.DOC"), "report");
    EXPECT_EQ(dir.read("deleted/REPORT.1.DOC"), "second");
    EXPECT_EQ(form->Form2->deletedFilesFolder(), dir / "deleted/")
        << "the folder gets its backslash";
    EXPECT_TRUE(messages.platformErrors.empty());
}

TEST_F(MainWindow, TheWatchRelistsAChangedFolderWithinTwoTicksAndLeavesAnUnchangedOne) {
    start();
    ASSERT_EQ(ListView_GetItemCount(view()), 2);
    selectLetter("REPORT.DOC");
    const int selected = ListView_GetNextItem(view(), -1, LVNI_SELECTED);
    Serve(std::chrono::milliseconds(1300));
    EXPECT_EQ(ListView_GetNextItem(view(), -1, LVNI_SELECTED), selected)
        << "an unchanged folder keeps its selection";
    dir.write("letters/NEW.DOC", "new");
    Serve(std::chrono::milliseconds(2200));
    EXPECT_EQ(ListView_GetItemCount(view()), 3);
}

TEST_F(MainWindow, F5RelistsKeepingTheSelectionByPosition) {
    start();
    selectLetter("REPORT.DOC");
    const int selected = ListView_GetNextItem(view(), -1, LVNI_SELECTED);
    dir.write("letters/ZZZ.DOC", "new");
    ::SendMessageW(view(), WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(ListView_GetItemCount(view()), 3);
    EXPECT_EQ(ListView_GetNextItem(view(), -1, LVNI_SELECTED), selected);
    ASSERT_TRUE(form->ShellListView1->SelectedEntry());
    EXPECT_EQ(form->ShellListView1->SelectedEntry()->displayName, "REPORT.DOC");
}

// The program's own clip opens in an animation control and plays its 34
// frames, as the progress window would play it.
TEST(ProgressWindow, TheProgramsOwnCopyFilesClipPlays) {
    const HWND animation = ::CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_POPUP | ACS_TRANSPARENT, 0,
                                             0, 272, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(::SendMessageW(animation, ACM_OPENW,
                               reinterpret_cast<WPARAM>(::GetModuleHandleW(nullptr)),
                               reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(2))));
    EXPECT_TRUE(::SendMessageW(animation, ACM_PLAY, 1, MAKELONG(0, 33))) << "frames 1 to 34";
    // Its main header: 34 frames of 272 by 60.
    const HRSRC clip = ::FindResourceW(nullptr, MAKEINTRESOURCEW(2), L"AVI");
    ASSERT_NE(clip, nullptr);
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, clip)));
    const std::string head(bytes, std::min<DWORD>(::SizeofResource(nullptr, clip), 256));
    const auto avih = head.find("avih");
    ASSERT_NE(avih, std::string::npos);
    auto field = [&](std::size_t at) {
        DWORD value = 0;
        std::memcpy(&value, head.data() + avih + 8 + at, sizeof value);
        return value;
    };
    EXPECT_EQ(field(16), 34u);
    EXPECT_EQ(field(32), 272u);
    EXPECT_EQ(field(36), 60u);
    ::DestroyWindow(animation);
}

TEST_F(MainWindow, TheProgressWindowIsFixedTopmostAndPlaced) {
    start();
    ASSERT_TRUE(form->Form3);
    HWND progress = form->Form3->handle();
    RECT client;
    ::GetClientRect(progress, &client);
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 87);
    RECT frame;
    ::GetWindowRect(progress, &frame);
    EXPECT_EQ(frame.left, 276);
    EXPECT_EQ(frame.top, 226);
    EXPECT_TRUE(::GetWindowLongW(progress, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(::GetWindowLongW(progress, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_FALSE(::GetWindowLongW(progress, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
        << "a dialog's caption, not a tool window's";
    EXPECT_NE(::GetWindow(progress, GW_OWNER), nullptr) << "no taskbar button of its own";
    for (HWND label : {form->Form3->Label1, form->Form3->Label2}) {
        EXPECT_TRUE(DrawsCyrillic(label)) << "under the ANSI code page " << ::GetACP();
    }
    // shell32's own clip where it is the copy-files clip; under Wine, whose
    // clip 160 is a placeholder, the program's.
    EXPECT_FALSE(form->Form3->animationFailed());
    EXPECT_NE(form->Form3->clip(), ui::win32::TForm3::Clip::None);
    std::cout << "the progress window plays "
              << (form->Form3->clip() == ui::win32::TForm3::Clip::Shell ? "shell32's" : "its own")
              << " copy-files clip\n";
    EXPECT_FALSE(::IsWindowVisible(progress));
    wchar_t text[64] = {};
    ::GetWindowTextW(form->Form3->Label1, text, 64);
    EXPECT_EQ(platform::Utf8(text), "Отправляется");
}

// The start's failure (its message and the exit's writes are the form's)
// reaches the entry, which shows no window and still runs the exit.
TEST(MainWindowStart, AStartThatFailsIsToldToTheEntryAndItsExitStillRuns) {
    fakes::TempDir dir;
    fakes::InDirectory cd(dir.path());
    ::SetEnvironmentVariableW(L"ZOVOVOD", nullptr);
    fakes::RecordingMessages messages;
    ui::win32::TForm1 form(platform::HostPlatform(), messages);
    EXPECT_TRUE(form.startFailed());
    EXPECT_FALSE(::IsWindowVisible(form.handle()));
    form.FormDestroy();
    EXPECT_TRUE(fs::exists(dir / "dorvel.ini"));
}
// Which field the tree fills is the form's; here its events and texts go
// through the real controls.
TEST_F(MainWindow, EnteringAFieldAndTheTreesChangeReachTheFormAndItsTextsTheControls) {
    fs::create_directory(dir / "letters/archive");
    fs::create_directory(dir / "outgoing");
    start();
    auto& dialog = *form->Form2;
    dialog.open(form->form().mailDirectory(), *form->ShellListView1);
    EXPECT_EQ(dialog.ShellTreeView1->selectedPath(), dir / "letters")
        << "the tree opens on the letters folder";
    wchar_t shown[MAX_PATH] = {};
    ::GetWindowTextW(dialog.Label3, shown, MAX_PATH);
    EXPECT_EQ(platform::Utf8(shown), dir / "mail/");
    ::SetFocus(dialog.letters_save);
    EXPECT_EQ(dialog.fillTarget(), 1);
    dialog.ShellTreeView1->setSelectedPath(dir / "letters/archive");
    EXPECT_EQ(dialog.deletedFilesFolder(), dir / "letters/archive");
    ::SetWindowTextW(dialog.Edit1, platform::Wide(dir / "outgoing").c_str());
    ASSERT_TRUE(dialog.FormClose());
    EXPECT_EQ(form->ShellListView1->root(), dir / "outgoing") << "the letters view follows";
    EXPECT_TRUE(messages.platformErrors.empty());
}

// The settings button reaches the form, which opens the dialog modally on
// the letters root; the finish button ends it.
TEST_F(MainWindow, TheSettingsButtonOpensTheDialog) {
    start();
    auto& dialog = *form->Form2;
    ::PostMessageW(dialog.handle(), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(dialog.Button2), BN_CLICKED),
                   reinterpret_cast<LPARAM>(dialog.Button2));
    press(core::texts::Command::Settings);
    wchar_t field[MAX_PATH] = {};
    ::GetWindowTextW(dialog.Edit1, field, MAX_PATH);
    EXPECT_EQ(platform::Utf8(field), dir / "letters");
    EXPECT_FALSE(::IsWindowVisible(dialog.handle()));
    EXPECT_TRUE(::IsWindowEnabled(form->handle()));
}
TEST_F(MainWindow, AFolderTheViewRefusesKeepsTheDialogOpen) {
    start();
    auto& dialog = *form->Form2;
    dialog.open(form->form().mailDirectory(), *form->ShellListView1);
    ::SetWindowTextW(dialog.Edit1, L"Q:\\no\\such\\folder");
    EXPECT_FALSE(dialog.FormClose());
    EXPECT_EQ(messages.platformErrors,
              std::vector<std::string>{"Error setting path: \"Q:\\no\\such\\folder\""});
    EXPECT_TRUE(::IsWindowVisible(dialog.handle()));
    EXPECT_EQ(form->ShellListView1->root(), dir / "letters");
}
TEST_F(MainWindow, TheSettingsDialogHasItsSizePlaceAndCaption) {
    start();
    HWND dialog = form->Form2->handle();
    RECT client;
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 524);
    EXPECT_EQ(client.bottom, 295);
    wchar_t caption[32] = {};
    ::GetWindowTextW(dialog, caption, 32);
    EXPECT_EQ(platform::Utf8(caption), "Настройки");
    RECT edit;
    ::GetWindowRect(form->Form2->Edit1, &edit);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&edit), 2);
    EXPECT_EQ(edit.left, 16);
    EXPECT_EQ(edit.top, 104);
    EXPECT_EQ(edit.right - edit.left, 337);
    for (HWND label : {form->Form2->Label1, form->Form2->Edit1, form->Form2->CheckBox1}) {
        EXPECT_TRUE(DrawsCyrillic(label)) << "under the ANSI code page " << ::GetACP();
    }
}

// The texts of a tree node's children.
std::vector<std::string> ChildTexts(HWND tree, HTREEITEM node) {
    std::vector<std::string> texts;
    for (HTREEITEM child = TreeView_GetChild(tree, node); child != nullptr;
         child = TreeView_GetNextSibling(tree, child)) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT | TVIF_HANDLE;
        data.hItem = child;
        data.pszText = text;
        data.cchTextMax = MAX_PATH;
        TreeView_GetItem(tree, &data);
        texts.push_back(platform::Utf8(text));
    }
    return texts;
}

// The tree is the shell's name space: My Computer, and the drives in it,
// stand under the desktop, as they do in the letters view.
TEST_F(MainWindow, TheTreeShowsTheDesktopsOwnEntriesWithTheDrivesUnderMyComputer) {
    start();
    form->Form2->open(form->form().mailDirectory(), *form->ShellListView1);
    const HWND tree = form->Form2->ShellTreeView1->handle();
    EXPECT_EQ(form->Form2->ShellTreeView1->selectedPath(), dir / "letters")
        << "the letters folder is reached through My Computer";
    ITEMIDLIST* drives = nullptr;
    ASSERT_TRUE(SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));
    SHFILEINFOW shown{};
    ::SHGetFileInfoW(reinterpret_cast<const wchar_t*>(drives), 0, &shown, sizeof shown,
                     SHGFI_PIDL | SHGFI_DISPLAYNAME);
    ::ILFree(drives);
    const std::string computer = platform::Utf8(shown.szDisplayName);
    const HTREEITEM top = TreeView_GetRoot(tree);
    const auto below = ChildTexts(tree, top);
    const auto at = std::find(below.begin(), below.end(), computer);
    ASSERT_NE(at, below.end()) << computer << " is not under the desktop";
    EXPECT_EQ(std::find(below.begin(), below.end(), "C:"), below.end())
        << "the drives stand under My Computer, not beside it";
    HTREEITEM node = TreeView_GetChild(tree, top);
    for (auto i = below.begin(); i != at; ++i) node = TreeView_GetNextSibling(tree, node);
    TreeView_Expand(tree, node, TVE_EXPAND);
    const auto inComputer = ChildTexts(tree, node);
    EXPECT_NE(std::find(inComputer.begin(), inComputer.end(), "C:"), inComputer.end());
    ASSERT_TRUE(form->Form2->FormClose());
}

// A screen reader names each folder field by its caption.
TEST_F(MainWindow, TheDialogsFolderFieldsAreNamedByTheirCaptions) {
    start();
    auto nameOf = [](HWND control) {
        IAccessible* object = nullptr;
        std::wstring result;
        if (SUCCEEDED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                                   __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&object)))) {
            VARIANT self{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr;
            if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr) result = name;
            ::SysFreeString(name);
            object->Release();
        }
        return platform::Utf8(result);
    };
    EXPECT_EQ(nameOf(form->Form2->Edit1), core::texts::kLettersFolderLabel);
    EXPECT_EQ(nameOf(form->Form2->letters_save), core::texts::kDeletedFilesLabel);
}

TEST_F(MainWindow, EscapeLeavesTheDialogOpenAndItsFolderIsLetGoOnceItCloses) {
    start();
    HWND dialog = form->Form2->handle();
    form->Form2->open(form->form().mailDirectory(), *form->ShellListView1);
    EXPECT_EQ(form->Form2->ShellTreeView1->watchedFolder(), dir / "letters");
    MSG escape{form->Form2->Edit1, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(::IsDialogMessageW(dialog, &escape));
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "Escape closed the dialog";
    ASSERT_TRUE(form->Form2->FormClose());
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(form->Form2->ShellTreeView1->watchedFolder(), "")
        << "the folder last selected is still held open";
}

// The system's box takes the focus while it is up, and gives it to nobody in
// particular when it goes.
struct FocusTakingMessages final : core::Messages {
    std::vector<std::string> platformErrors;
    void error(const std::string&) override {}
    void information(const std::string&) override {}
    void platformError(const std::string& text) override {
        platformErrors.push_back(text);
        const HWND box = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                           nullptr, nullptr, nullptr, nullptr);
        ::SetFocus(box);
        ::DestroyWindow(box);
    }
};

TEST(MainWindowStart, AFirstRunOpensTheDialogOverThePathErrorForTheDesktop) {
    fakes::TempDir dir;
    fs::create_directory(dir / "mail");
    dir.write("mail/LUSERS.NDE", "L_KIEV Kiev\r\n");
    fakes::InDirectory cd(dir.path());
    ::SetEnvironmentVariableW(L"ZOVOVOD", platform::Wide(dir / "mail").c_str());
    FocusTakingMessages messages;
    ui::win32::TForm1 form(platform::HostPlatform(), messages);
    ASSERT_FALSE(form.startFailed());
    form.Form2->open(form.form().mailDirectory(), *form.ShellListView1);
    EXPECT_EQ(messages.platformErrors,
              std::vector<std::string>{"Error setting path: \"rfDesktop\""});
    EXPECT_EQ(::GetFocus(), form.Form2->Edit1) << "typing after the box would go nowhere";
    EXPECT_TRUE(form.Form2->FormClose()) << "the unchanged root closes";
    EXPECT_EQ(form.ShellListView1->root(), "rfDesktop");
    ::SetEnvironmentVariableW(L"ZOVOVOD", nullptr);
}

TEST_F(MainWindow, TheTreeHasNoNodeForAHiddenFolder) {
    fs::create_directory(dir / "secret");
    ::SetFileAttributesW(platform::Wide(dir / "secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    start();
    auto& dialog = *form->Form2;
    dialog.open(form->form().mailDirectory(), *form->ShellListView1);
    dialog.ShellTreeView1->setSelectedPath(dir / "secret");
    EXPECT_EQ(dialog.ShellTreeView1->selectedPath(), "");
    EXPECT_TRUE(messages.platformErrors.empty());
    EXPECT_TRUE(dialog.FormClose());
}
TEST_F(MainWindow, AShortcutSetToRunMaximisedOrMinimisedOverridesTheStoredState) {
    cd = std::make_unique<fakes::InDirectory>(dir / "run");
    // Minimised, the program is its taskbar button alone.
    auto minimised = [&] {
        return form->application().minimized() && !::IsWindowVisible(form->handle());
    };
    form = std::make_unique<ui::win32::TForm1>(platform::HostPlatform(), messages);
    form->showInStoredState(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(::IsZoomed(form->handle()));
    form.reset();
    form = std::make_unique<ui::win32::TForm1>(platform::HostPlatform(), messages);
    form->showInStoredState(SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(minimised());
    form.reset();
    dir.write("run/dorvel.ini", "[Form1]\r\nWindowState=1\r\n");
    form = std::make_unique<ui::win32::TForm1>(platform::HostPlatform(), messages);
    form->showInStoredState(SW_SHOWNORMAL);
    EXPECT_TRUE(minimised()) << "a stored state of 1 starts minimised";
}

// The keyboard alone: a control has the focus from the start, Tab walks the
// controls and wraps, the toolbar's arrows choose a button and Space presses
// it, and the dialog keys Enter and Escape never send or delete.
TEST_F(MainWindow, TheKeyboardAloneReachesEveryControlAndPressesTheToolbar) {
    start();
    auto key = [&](WPARAM code) {
        MSG down{::GetFocus(), WM_KEYDOWN, code, 0, 0, {}};
        if (!form->dialogKey(down)) {
            ::TranslateMessage(&down);
            ::DispatchMessageW(&down);
        }
    };
    const HWND toolbar = form->ToolBar1;
    EXPECT_EQ(::GetFocus(), list()) << "no control had the focus after the start";
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), view());
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), toolbar);
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), list()) << "Tab wraps round";
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    key(VK_TAB);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(::GetFocus(), toolbar) << "Shift+Tab goes back";

    selectLetter("REPORT.DOC");
    ::SetFocus(list());
    key(VK_RETURN);
    key(VK_ESCAPE);
    EXPECT_FALSE(fs::exists(dir / "record.txt")) << "Enter sent";
    EXPECT_TRUE(fs::exists(dir / "letters/REPORT.DOC")) << "Escape deleted";
    EXPECT_TRUE(messages.informations.empty());

    ::SetFocus(toolbar);
    EXPECT_EQ(::SendMessageW(toolbar, TB_GETHOTITEM, 0, 0), 0) << "the first button is chosen";
    key(VK_RIGHT);
    EXPECT_EQ(::SendMessageW(toolbar, TB_GETHOTITEM, 0, 0), 1);
    key(VK_SPACE);  // the delete button
    EXPECT_FALSE(fs::exists(dir / "letters/REPORT.DOC"));
    EXPECT_TRUE(fs::exists(dir / "deleted/REPORT.DOC"));
}

// A taskbar on the top or the left: the work area does not begin at 0,0,
// and Windows counts the window's placement from it (Wine counts it from
// the screen's corner, which the program must not rely on either way).
TEST_F(MainWindow, TenRestartsWithTheTaskbarOnTheTopLeftLeaveTheGeometryAsItWas) {
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    RECT moved = work;
    moved.left += 100;
    moved.top += 60;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETWORKAREA, 0, &moved, 0));
    struct Restore {
        RECT work;
        ~Restore() { ::SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0); }
    } restore{work};
    const std::string geometry = "[Form1]\r\nTop=220\r\nLeft=250\r\nHeight=500\r\nWidth=700";
    dir.write("run/dorvel.ini", geometry + "\r\n[Options]\r\nLetters=" + dir / "letters" + "\r\n");
    auto keys = [&] {
        const std::string ini = dir.read("run/dorvel.ini");
        return ini.substr(0, ini.find("\r\nPanel1"));
    };
    for (int run = 0; run < 10; ++run) {
        start();
        RECT shown{};
        ::GetWindowRect(form->handle(), &shown);
        ASSERT_EQ(shown.left, 250) << "run " << run << ": the window is not where it was stored";
        ASSERT_EQ(shown.top, 220) << "run " << run;
        form->form().FormDestroy();
        form.reset();
        cd.reset();
        ASSERT_EQ(keys(), geometry) << "run " << run;
    }
}

TEST_F(MainWindow, TheTaskbarButtonCarriesTheProgramsTitleAndMinimisesTheProgram) {
    start();
    const HWND application = ::GetWindow(form->handle(), GW_OWNER);
    ASSERT_EQ(application, form->application().handle());
    wchar_t title[64] = {};
    ::GetWindowTextW(application, title, 64);
    EXPECT_EQ(platform::Utf8(title), ui::win32::RunningProgramTitle());
    ::GetWindowTextW(form->handle(), title, 64);
    EXPECT_EQ(std::wstring(title), L".") << "the main window keeps its caption";
    RECT place{};
    ::GetWindowRect(application, &place);
    EXPECT_TRUE(::IsRectEmpty(&place)) << "the button's window is never seen";

    ::SendMessageW(form->handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(form->application().minimized());
    EXPECT_FALSE(::IsWindowVisible(form->handle()));
    ::SendMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(form->application().minimized());
    EXPECT_TRUE(::IsWindowVisible(form->handle()));

    // Closed from the taskbar while minimised: the state is kept as 1.
    ::SendMessageW(form->handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ::SendMessageW(application, WM_CLOSE, 0, 0);
    Serve(std::chrono::milliseconds(100));
    ASSERT_TRUE(form->closeRequested());
    form->FormDestroy();
    EXPECT_NE(dir.read("run/dorvel.ini").find("WindowState=1\r\n"), std::string::npos);
}

TEST_F(MainWindow, MinimisedByTheSystemItselfThePanelKeepsItsWidth) {
    // Show Desktop and Win+Down minimise the main window itself, not through
    // the taskbar button's window; its client area is empty meanwhile.
    start();
    const int panel = form->panelWidth();
    ASSERT_GT(panel, 100);
    ::ShowWindow(form->handle(), SW_MINIMIZE);
    ::SendMessageW(form->handle(), WM_SIZE, SIZE_MINIMIZED, 0);
    ::ShowWindow(form->handle(), SW_RESTORE);
    EXPECT_EQ(form->panelWidth(), panel);
    form->FormDestroy();
    EXPECT_NE(dir.read("run/dorvel.ini").find("Panel1=" + std::to_string(panel) + "\r\n"),
              std::string::npos);
}

TEST_F(MainWindow, TheTreeFollowsChangesInTheFolderLastSelected) {
    fs::create_directory(dir / "letters/one");
    start();
    auto& dialog = *form->Form2;
    dialog.open(form->form().mailDirectory(), *form->ShellListView1);
    const std::string letters = dir / "letters";
    ASSERT_EQ(dialog.ShellTreeView1->selectedPath(), letters);
    EXPECT_EQ(dialog.ShellTreeView1->childNames(letters), std::vector<std::string>{"one"});
    fs::create_directory(dir / "letters/two");
    for (int i = 0; i < 40 && dialog.ShellTreeView1->childNames(letters).size() < 2; ++i) {
        Serve(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(dialog.ShellTreeView1->childNames(letters), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(dialog.ShellTreeView1->selectedPath(), letters) << "the same folder stays selected";
    EXPECT_TRUE(dialog.FormClose());
}

TEST_F(MainWindow, TheTreesMenuRenamesAFolderInPlaceNeverOverAnother) {
    fs::create_directory(dir / "letters/one");
    fs::create_directory(dir / "letters/two");
    start();
    auto& dialog = *form->Form2;
    dialog.open(form->form().mailDirectory(), *form->ShellListView1);
    auto& tree = *dialog.ShellTreeView1;
    auto renameTo = [&](const wchar_t* name) {
        tree.runVerb("rename");
        const HWND edit = TreeView_GetEditControl(tree.handle());
        ASSERT_NE(edit, nullptr) << "the rename edits the node in place";
        ::SetWindowTextW(edit, name);
        TreeView_EndEditLabelNow(tree.handle(), FALSE);
    };
    tree.setSelectedPath(dir / "letters/one");
    renameTo(L"uno");
    EXPECT_TRUE(fs::is_directory(dir / "letters/uno"));
    EXPECT_EQ(tree.selectedPath(), dir / "letters/uno");
    wchar_t field[MAX_PATH] = {};
    ::GetWindowTextW(dialog.Edit1, field, MAX_PATH);
    EXPECT_EQ(platform::Utf8(field), dir / "letters/uno") << "the field follows the new name";

    renameTo(L"two");
    EXPECT_EQ(messages.platformErrors, std::vector<std::string>{"Rename to two failed"});
    EXPECT_TRUE(fs::is_directory(dir / "letters/uno")) << "never over another folder";

    tree.setSelectedPath(dir / "letters");
    EXPECT_EQ(tree.childNames(dir / "letters"), (std::vector<std::string>{"uno", "two"}))
        << "renamed where it stood";
    // Wine's delete asks first even when told not to: the node's removal
    // after a delete is seen on Windows only.
    EXPECT_TRUE(dialog.FormClose());
}

TEST_F(MainWindow, TheLettersViewShowsTheShellsColumnsAndRelistsFromTheTop) {
    dir.write("letters/LETTER.TXT", std::string(2000, 'x'));
    for (int i = 0; i < 200; ++i)
        dir.write("letters/NOTE" + std::to_string(1000 + i) + ".TXT", "n");
    start();
    Serve(std::chrono::milliseconds(100));
    const Shown shown = ShownRow(view(), 0);
    ASSERT_GE(shown.captions.size(), 4u) << "name, size, type and modification time at least";
    EXPECT_EQ(shown.row[0], "LETTER.TXT");
    const auto size = std::find(shown.captions.begin(), shown.captions.end(), "Size");
    ASSERT_NE(size, shown.captions.end());
    EXPECT_EQ(shown.row[static_cast<std::size_t>(size - shown.captions.begin())], "2 KB")
        << "the shell's own text";

    // F5 after scrolling down: the view starts from its first row again.
    form->ShellListView1->select(150);
    const std::string selected = form->ShellListView1->listing().fullPath(150);
    ASSERT_GT(ListView_GetTopIndex(view()), 0);
    ::SendMessageW(view(), WM_KEYDOWN, VK_F5, 0);
    EXPECT_EQ(ListView_GetTopIndex(view()), 0);
    ASSERT_TRUE(form->ShellListView1->SelectedEntry());
    EXPECT_EQ(form->ShellListView1->SelectedEntry()->fullPath, selected) << "kept by position";
}

// The face a window's font asks for, and its character set.
LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (handle != nullptr) ::GetObjectW(handle, sizeof font, &font);
    return font;
}

TEST_F(MainWindow, TheLettersViewHasGridLinesWholeRowsAndTheWindowsFont) {
    start();
    const DWORD styles = ListView_GetExtendedListViewStyle(view());
    EXPECT_NE(styles & LVS_EX_GRIDLINES, 0u);
    EXPECT_NE(styles & LVS_EX_FULLROWSELECT, 0u);
    const LOGFONTW font = FontOf(view());
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_EQ(font.lfCharSet, RUSSIAN_CHARSET);
    // A click in the Modified column selects the row.
    RECT cell{};
    cell.top = 3;  // the last column
    cell.left = LVIR_BOUNDS;
    ASSERT_TRUE(::SendMessageW(view(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell)));
    const LPARAM at = MAKELPARAM(cell.left + 5, (cell.top + cell.bottom) / 2);
    // The view follows the mouse until the button is let go.
    ::PostMessageW(view(), WM_LBUTTONUP, 0, at);
    ::SendMessageW(view(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    Serve(std::chrono::milliseconds(50));
    EXPECT_EQ(ListView_GetNextItem(view(), -1, LVNI_SELECTED), 1);
}

// Dragged onto a screen at 200%, the window is told so: everything it draws
// doubles, pictures drawn anew, and the settings keep 96-DPI pixels. Wine
// never changes the scale under a running program, so the message is sent
// here as Windows sends it.
TEST_F(MainWindow, MovedToAScreenAtTwiceTheScaleEverythingDoublesAndTheSettingsDoNot) {
    start();
    ASSERT_EQ(ui::win32::DpiOf(form->handle()), 96u) << "the suite runs at 96 DPI";
    RECT before{};
    ::GetWindowRect(form->handle(), &before);
    const int panel = form->form().currentValues().panel1;
    RECT suggested{before.left, before.top, before.left + 2 * (before.right - before.left),
                   before.top + 2 * (before.bottom - before.top)};
    ::SendMessageW(form->handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                   reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(::SendMessageW(list(), LB_GETITEMHEIGHT, 0, 0), 26);
    EXPECT_EQ(FontOf(list()).lfHeight, -26);
    EXPECT_EQ(FontOf(view()).lfHeight, -22);
    const auto images =
        reinterpret_cast<HIMAGELIST>(::SendMessageW(form->ToolBar1, TB_GETIMAGELIST, 0, 0));
    int width = 0, height = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, 64);
    RECT bar{};
    ::GetWindowRect(form->ToolBar1, &bar);
    EXPECT_EQ(bar.bottom - bar.top, 86);
    EXPECT_EQ(bar.right - bar.left, 2 * panel) << "the panel keeps its share of the window";
    // What would be written is what was stored: the same window at 96 DPI.
    EXPECT_EQ(form->form().currentValues().panel1, panel);
}

// A laptop's screen at 150% with a monitor at 100% beside it, or at 200%,
// left or right: a place stored on one monitor comes back on that one and
// at that very place. Wine has one monitor and one scale, so the monitors
// are described here as the system describes them.
TEST(MonitorScales, APlaceStoredOnAMonitorOfAnyScaleComesBackThere) {
    using ui::win32::MonitorScale;
    const std::vector<std::vector<MonitorScale>> desks = {
        {{{0, 0, 2880, 1800}, 144}, {{2880, 0, 4800, 1080}, 96}},
        {{{0, 0, 1920, 1080}, 96}, {{1920, -500, 5760, 1660}, 192}},
        {{{0, 0, 1920, 1080}, 96}, {{-3840, 0, 0, 2160}, 192}, {{0, 1080, 1920, 2160}, 120}},
    };
    for (std::size_t d = 0; d < desks.size(); ++d) {
        const auto& monitors = desks[d];
        for (std::size_t m = 0; m < monitors.size(); ++m) {
            const RECT& bounds = monitors[m].bounds;
            for (int x = bounds.left; x < bounds.right; x += 37) {
                for (int y = bounds.top; y < bounds.bottom; y += 53) {
                    const POINT stored = ui::win32::ToStored({x, y}, monitors[m]);
                    const auto on = ui::win32::MonitorOfStored(stored, monitors);
                    ASSERT_TRUE(on.has_value()) << d << "/" << m << ": " << x << "," << y;
                    ASSERT_TRUE(::EqualRect(&on->bounds, &bounds))
                        << d << "/" << m << ": " << x << "," << y << " came back elsewhere";
                    const POINT shown = ui::win32::ToScreen(stored, *on);
                    ASSERT_LE(std::abs(shown.x - x), 1) << d << "/" << m << ": " << x << "," << y;
                    ASSERT_LE(std::abs(shown.y - y), 1) << d << "/" << m << ": " << x << "," << y;
                    ASSERT_EQ(ui::win32::ToStored(shown, *on).x, stored.x);
                    ASSERT_EQ(ui::win32::ToStored(shown, *on).y, stored.y);
                }
            }
        }
    }
    // On the main monitor, whose corner is the screen's origin, a place is
    // stored as before: scaled as a whole.
    const POINT stored = ui::win32::ToStored({600, 300}, {{0, 0, 2880, 1800}, 144});
    EXPECT_EQ(stored.x, 400);
    EXPECT_EQ(stored.y, 200);
}

TEST_F(MainWindow, ALetterIsRenamedInPlaceAndNeverOverAnother) {
    start();
    auto renameSelected = [&](const wchar_t* name) {
        const int row = ListView_GetNextItem(view(), -1, LVNI_SELECTED);
        ::SetFocus(view());
        HWND edit = ListView_EditLabel(view(), row);
        ASSERT_NE(edit, nullptr);
        ::SetWindowTextW(edit, name);
        ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        Serve(std::chrono::milliseconds(100));
    };
    selectLetter("NOTE.TXT");
    renameSelected(L"MEMO.TXT");
    EXPECT_TRUE(fs::exists(dir / "letters/MEMO.TXT"));
    EXPECT_FALSE(fs::exists(dir / "letters/NOTE.TXT"));
    EXPECT_TRUE(messages.platformErrors.empty());
    selectLetter("REPORT.DOC");
    renameSelected(L"MEMO.TXT");
    EXPECT_EQ(messages.platformErrors, std::vector<std::string>{"Rename to MEMO.TXT failed"});
    EXPECT_EQ(dir.read("letters/REPORT.DOC"), "report");
    EXPECT_EQ(dir.read("letters/MEMO.TXT"), "note");
}

// A shell menu handler that writes down the messages it is handed.
struct RecordingMenu final : IContextMenu3 {
    std::vector<UINT> handed;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IContextMenu) ||
            IsEqualIID(id, IID_IContextMenu2) || IsEqualIID(id, IID_IContextMenu3)) {
            *out = static_cast<IContextMenu3*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT message, WPARAM w, LPARAM l) override {
        return HandleMenuMsg2(message, w, l, nullptr);
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT message, WPARAM, LPARAM,
                                             LRESULT* result) override {
        handed.push_back(message);
        if (result != nullptr) *result = message == WM_MENUCHAR ? MAKELRESULT(2, MNC_EXECUTE) : 0;
        return S_OK;
    }
};

TEST_F(MainWindow, AShellMenuGetsTheMessagesThatBuildAndDrawItsSubmenus) {
    start();
    RecordingMenu menu;
    const HWND window = form->handle();
    DRAWITEMSTRUCT menuItem{};
    menuItem.CtlType = ODT_MENU;
    DRAWITEMSTRUCT listItem{};
    listItem.CtlType = ODT_LISTBOX;
    MEASUREITEMSTRUCT measured{};
    measured.CtlType = ODT_MENU;
    {
        const ui::win32::MenuMessageForwarding forwarding(window, &menu);
        ::SendMessageW(window, WM_INITMENUPOPUP, 0, 0);
        ::SendMessageW(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measured));
        ::SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem));
        ::SendMessageW(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&listItem));
        EXPECT_EQ(::SendMessageW(window, WM_MENUCHAR, MAKEWPARAM('s', MF_POPUP), 0),
                  MAKELRESULT(2, MNC_EXECUTE))
            << "the handler's answer is the window's";
    }
    ::SendMessageW(window, WM_INITMENUPOPUP, 0, 0);
    EXPECT_EQ(menu.handed,
              (std::vector<UINT>{WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM, WM_MENUCHAR}))
        << "a control's drawing, and anything after the menu, stay the window's";
}

// The watch goes on re-listing while a name is typed; a new letter that
// sorts first moves the rows under the edit.
TEST_F(MainWindow, ARenameGoesToTheLetterBeingEditedAfterTheRowsMoved) {
    start();
    selectLetter("NOTE.TXT");
    const int row = ListView_GetNextItem(view(), -1, LVNI_SELECTED);
    ::SetFocus(view());
    HWND edit = ListView_EditLabel(view(), row);
    ASSERT_NE(edit, nullptr);
    dir.write("letters/ANNEX.DOC", "annex");
    Serve(std::chrono::milliseconds(2500));  // two ticks of the watch
    ASSERT_EQ(form->ShellListView1->listing().count(), 3u) << "the watch did not re-list";
    if (::IsWindow(edit)) {
        ::SetWindowTextW(edit, L"MEMO.TXT");
        ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        // The re-listing ended the edit; the notification is what counts.
        endEdit(row, L"MEMO.TXT");
    }
    Serve(std::chrono::milliseconds(100));
    EXPECT_EQ(dir.read("letters/MEMO.TXT"), "note");
    EXPECT_EQ(dir.read("letters/ANNEX.DOC"), "annex") << "the letter now in the edited row";
    EXPECT_FALSE(fs::exists(dir / "letters/NOTE.TXT"));

    // An entry gone meanwhile is refused with the message.
    selectLetter("REPORT.DOC");
    const int report = ListView_GetNextItem(view(), -1, LVNI_SELECTED);
    edit = ListView_EditLabel(view(), report);
    ASSERT_NE(edit, nullptr);
    fs::remove(dir / "letters/REPORT.DOC");
    Serve(std::chrono::milliseconds(2500));
    endEdit(report, L"GONE.DOC");
    EXPECT_EQ(messages.platformErrors, std::vector<std::string>{"Rename to GONE.DOC failed"});
    EXPECT_FALSE(fs::exists(dir / "letters/GONE.DOC"));
}

TEST_F(MainWindow, TheShellsVerbsRunOnAnEntryAndKeepTheCurrentDirectory) {
    start();
    using ui::win32::ShellMenuResult;
    // Wine's menus run copy, not paste onto a folder's item: the paste and
    // delete that re-list the view are seen on Windows only.
    EXPECT_EQ(ui::win32::RunShellVerb(form->handle(), dir / "letters/NOTE.TXT", "copy"),
              ShellMenuResult::Ran);
    EXPECT_EQ(ui::win32::RunShellVerb(form->handle(), dir / "letters/NOTE.TXT", "rename"),
              ShellMenuResult::Rename)
        << "rename is left to the view's own editing";
    EXPECT_EQ(fs::current_path(), fs::path(dir / "run")) << "the current directory is kept";
    EXPECT_EQ(ui::win32::RunShellVerb(form->handle(), dir / "letters/gone.doc", "copy"),
              ShellMenuResult::Nothing);
    EXPECT_EQ(dir.read("letters/NOTE.TXT"), "note");
}
