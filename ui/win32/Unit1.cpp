#include "ui/win32/Unit1.h"

#include <commctrl.h>
#include <windowsx.h>

#include "core/DeletedFilesMover.h"
#include "core/FileBrowser.h"
#include "core/LettersWatch.h"
#include "core/MailSending.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Artwork.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/MessageBoxes.h"

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TForm1";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kToolBarId = 100;
constexpr int kCheckListId = 101;
constexpr int kLettersId = 102;
constexpr int kToolBarHeight = 43;
constexpr int kSplitterWidth = 3;
constexpr int kMinimumPanel = 30;

struct ToolButton {
    int command;
    int image;
    const char* hint;
};
// Left to right: send, delete, view deleted, settings.
constexpr ToolButton kButtons[] = {{1, 0, "Отправить файл на выбранные адреса"},
                                   {2, 1, "Удалить файл"},
                                   {4, 3, "Просмотреть удалённые файлы"},
                                   {3, 2, "Настройки"}};

}  // namespace

TForm1::TForm1(platform::Platform& platform, core::Messages& messages)
    : ShellListView2(MakeShellListing(platform)),
      platform_(platform),
      messages_(messages),
      runner_(platform),
      application_(RunningProgramTitle()) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&controls);
    const core::SettingsRecord design;
    window_ =
        CreateFormWindow({kClassName, L".", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, design.left,
                          design.top, design.width, design.height, false, application_.handle()},
                         this, &TForm1::Procedure);
    HWND w = window_.get();
    application_.setMainForm(w);
    font_ = MakeFont(L"MS Sans Serif", 11);
    icon_ = WindowIcon();
    ::SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    ::SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));

    buildToolBar();
    CheckListBox1 = std::make_unique<CheckListBox>(w, kCheckListId);
    ShellListView1 = std::make_unique<ShellListView>(platform_, w, kLettersId);
    ShellListView1->onError = [this](const std::string& text) { messages_.platformError(text); };
    // Armed as soon as the contents exist, so it ticks under a start-up
    // message too.
    ::SetTimer(w, kTimer1, 1000, nullptr);
    timerRunning_ = true;
    panelWidth_ = design.panel1;
    layout();
    FormCreate();
    // The progress window comes right after the main window, hidden.
    if (!startFailed_) {
        Form3 = std::make_unique<TForm3>();
        if (Form3->animationFailed()) messages_.platformError("Cannot open AVI");
    }
}

TForm1::~TForm1() {
    // The window goes before the objects its procedure reaches.
    ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void TForm1::buildToolBar() {
    HWND w = window_.get();
    ToolBar1 = ::CreateWindowExW(WS_EX_STATICEDGE, TOOLBARCLASSNAMEW, L"",
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                     CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                 0, 0, 10, kToolBarHeight, w,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)), nullptr,
                                 nullptr);
    ::SendMessageW(ToolBar1, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    images_ = ToolBarImages();
    ::SendMessageW(ToolBar1, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    ::SendMessageW(ToolBar1, TB_SETBITMAPSIZE, 0, MAKELPARAM(32, 32));
    for (const auto& b : kButtons) {
        TBBUTTON button{};
        button.iBitmap = b.image;
        button.idCommand = b.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        ::SendMessageW(ToolBar1, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    ::SendMessageW(ToolBar1, TB_SETBUTTONSIZE, 0, MAKELPARAM(39, 38));
}

void TForm1::layout() {
    RECT client;
    ::GetClientRect(window_.get(), &client);
    const int height = client.bottom;
    panelWidth_ = std::max(
        kMinimumPanel, std::min<int>(panelWidth_, client.right - kSplitterWidth - kMinimumPanel));
    ::MoveWindow(ToolBar1, 0, 0, panelWidth_, kToolBarHeight, TRUE);
    ::MoveWindow(CheckListBox1->handle(), 0, kToolBarHeight, panelWidth_,
                 std::max(0, height - kToolBarHeight), TRUE);
    const int left = panelWidth_ + kSplitterWidth;
    ::MoveWindow(ShellListView1->handle(), left, 0,
                 std::max(0, static_cast<int>(client.right) - left), height, TRUE);
}

void TForm1::FormCreate() {
    // The busy pointer is never set by this face's listings, so nothing
    // needs mapping to the arrow here.
    const core::SettingsFile settings(platform_);
    core::SettingsRecord defaults;
    defaults.moveDir = core::DefaultMoveDir(platform_);
    const core::SettingsRecord stored = settings.ReadSettings(defaults);
    settingsReadFailed_ = settings.readFailed();
    if (settingsReadFailed_) messages_.platformError(core::UnableToWriteSettingsText());
    // The stored size is the frame's, as Top and Left are the frame's place.
    ::MoveWindow(window_.get(), stored.left, stored.top, stored.width, stored.height, FALSE);
    storedWindowState_ = stored.windowState;
    panelWidth_ = stored.panel1;
    layout();
    try {
        // A special-folder name is a root as well as a path is.
        const auto info = platform_.inspect(stored.letters);
        if ((info && info->isFolder) || VirtualSpecialFolder(stored.letters) ||
            platform_.specialFolder(stored.letters)) {
            ShellListView1->setRoot(stored.letters);
        } else {
            storedLetters_ = stored.letters;
            ShellListView1->ensureListed();
        }
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
    rootAtStart_ = ShellListView1->root();
    Form2 = std::make_unique<TForm2>(platform_, messages_, window_.get());
    Form2->setDeleteAfterSending(stored.postMove);
    Form2->setDeletedFilesFolder(stored.moveDir);

    auto load = core::LoadRecipients(platform_, messages_);
    if (!load.ok) {
        startFailed_ = true;
        return;
    }
    mailDirectory_ = std::move(load.mailDirectory);
    recipients_ = std::move(load.recipients);
    for (auto& r : recipients_) r.ticked = settings.ReadTick(r.line);
    CheckListBox1->setRecipients(&recipients_);
}

void TForm1::showInStoredState(int showRequest) {
    int show = storedWindowState_ == 2   ? SW_SHOWMAXIMIZED
               : storedWindowState_ == 1 ? SW_SHOWMINIMIZED
                                         : SW_SHOWNORMAL;
    // A shortcut set to run maximised or minimised has the last word.
    if (showRequest == SW_SHOWMAXIMIZED || showRequest == SW_SHOWMINNOACTIVE) show = showRequest;
    // Minimised, the program is its taskbar button alone, as after the
    // operator minimises it.
    const bool minimised = show == SW_SHOWMINIMIZED || show == SW_SHOWMINNOACTIVE;
    application_.show(minimised, storedWindowState_ == 2 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    if (!minimised) ::ShowWindow(window_.get(), show);
    ::UpdateWindow(window_.get());
}

core::SettingsRecord TForm1::currentValues() const {
    core::SettingsRecord r;
    WINDOWPLACEMENT placement = placementAtClose_;
    if (placement.length == 0) {
        placement.length = sizeof placement;
        ::GetWindowPlacement(window_.get(), &placement);
    }
    r.left = placement.rcNormalPosition.left;
    r.top = placement.rcNormalPosition.top;
    r.width = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    r.height = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;
    r.windowState = minimizedAtClose_ || placement.showCmd == SW_SHOWMINIMIZED ? 1
                    : placement.showCmd == SW_SHOWMAXIMIZED                    ? 2
                                                                               : 0;
    r.panel1 = panelWidth_;
    r.letters = ShellListView1->root() == rootAtStart_ && !storedLetters_.empty()
                    ? storedLetters_
                    : ShellListView1->root();
    r.postMove = Form2->deleteAfterSending();
    r.moveDir = Form2->deletedFilesFolder();
    return r;
}

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (timerRunning_) ::KillTimer(window_.get(), kTimer1);
    timerRunning_ = false;
    try {
        const core::SettingsRecord values = currentValues();
        core::SaveAtExit(platform_, values, values.windowState == 2, recipients_,
                         settingsReadFailed_);
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void TForm1::close() {
    if (closeRequested_) return;
    closeRequested_ = true;
    placementAtClose_.length = sizeof placementAtClose_;
    ::GetWindowPlacement(window_.get(), &placementAtClose_);
    minimizedAtClose_ = application_.minimized();
    // A send waiting on the mail tool stops waiting; its remaining runs and
    // its move still happen before the program ends.
    runner_.stopWaiting();
    ::ShowWindow(window_.get(), SW_HIDE);
    ::ShowWindow(application_.handle(), SW_HIDE);  // the taskbar button goes too
    ::PostQuitMessage(0);
}

void TForm1::Timer1Timer() {
    try {
        if (core::OnWatchTick(ShellListView1->listing(), ShellListView2)) ShellListView1->Relist();
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void TForm1::N3Click() {
    // What the operation leaves in the folder text is written back even when
    // it stops with an error midway.
    std::string folder = Form2->deletedFilesFolder();
    try {
        folder = core::SendSelected(ShellListView1->SelectedEntry(), recipients_, mailDirectory_,
                                    Form2->deleteAfterSending(), folder, *Form3, runner_, platform_,
                                    messages_);
    } catch (const core::PlatformError& e) {
        Form2->setDeletedFilesFolder(folder);
        messages_.platformError(e.what());
        return;
    }
    Form2->setDeletedFilesFolder(folder);
}

void TForm1::ToolButton2Click() {
    try {
        Form2->setDeletedFilesFolder(core::MoveToDeleted(ShellListView1->SelectedEntry(),
                                                         Form2->deletedFilesFolder(), *Form3,
                                                         platform_, messages_));
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void TForm1::ToolButton4Click() {
    const std::string folder = Form2->deletedFilesFolder();
    if (!platform_.start(core::FileBrowserCommand(platform_, folder))) {
        messages_.error("Не могу показать директорию " + folder);
    }
}

void TForm1::ToolButton3Click() { Form2->ShowSettings(mailDirectory_, *ShellListView1); }

LRESULT CALLBACK TForm1::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = FormOf<TForm1>(window);
    if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
    return self->handle(message, w, l);
}

LRESULT TForm1::handle(UINT message, WPARAM w, LPARAM l) {
    HWND window = window_.get();
    switch (message) {
        case WM_SIZE:
            layout();
            return 0;
        case WM_TIMER:
            if (w == kTimer1 && timerRunning_) Timer1Timer();
            return 0;
        case WM_COMMAND:
            switch (LOWORD(w)) {
                case 1:
                    N3Click();
                    return 0;
                case 2:
                    ToolButton2Click();
                    return 0;
                case 3:
                    ToolButton3Click();
                    return 0;
                case 4:
                    ToolButton4Click();
                    return 0;
                default:
                    break;
            }
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (item->hwndItem == CheckListBox1->handle()) {
                CheckListBox1->draw(*item);
                return TRUE;
            }
            break;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            if (header->code == TTN_GETDISPINFOW) {
                auto* tip = reinterpret_cast<NMTTDISPINFOW*>(l);
                for (const auto& b : kButtons) {
                    if (static_cast<int>(header->idFrom) != b.command) continue;
                    static std::wstring hint;
                    hint = platform::Wide(b.hint);
                    tip->lpszText = hint.data();
                }
                return 0;
            }
            LRESULT result = 0;
            if (ShellListView1 && ShellListView1->notify(*header, result)) return result;
            break;
        }
        case WM_SETCURSOR: {
            POINT at;
            ::GetCursorPos(&at);
            ::ScreenToClient(window, &at);
            if (reinterpret_cast<HWND>(w) == window && at.x >= panelWidth_ &&
                at.x < panelWidth_ + kSplitterWidth) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONDOWN:
            if (GET_X_LPARAM(l) >= panelWidth_ && GET_X_LPARAM(l) < panelWidth_ + kSplitterWidth) {
                dragging_ = true;
                ::SetCapture(window);
            }
            return 0;
        case WM_MOUSEMOVE:
            if (dragging_) {
                panelWidth_ = GET_X_LPARAM(l);
                layout();
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_) {
                dragging_ = false;
                ::ReleaseCapture();
            }
            return 0;
        case WM_CLOSE:
            close();
            return 0;
        case WM_SYSCOMMAND:
            // An owned window would minimise onto the desktop; the program
            // minimises to its taskbar button.
            if ((w & 0xFFF0) == SC_MINIMIZE) {
                application_.minimize();
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, w, l);
}

}  // namespace dorvel::ui::win32
