#include "ui/win32/Unit1.h"

#include <commctrl.h>
#include <windowsx.h>

#include "core/StartupReads.h"
#include "core/Texts.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Artwork.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/MessageBoxes.h"
#include "ui/win32/ShellMenu.h"
#include "ui/win32/ToolbarKeys.h"

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TForm1";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kToolBarId = 100;
constexpr int kCheckListId = 101;
constexpr int kLettersId = 102;
constexpr int kToolBarHeight = 43;

}  // namespace

TForm1::TForm1(platform::Platform& platform, core::Messages& messages)
    : ShellListView2(MakeShellListing(platform)),
      platform_(platform),
      messages_(messages),
      runner_(platform),
      application_(RunningProgramTitle()),
      frame_(window_, application_, [this] { layout(); }),
      form_(platform, messages, runner_, *this, frame_, ShellListView2) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&controls);
    const core::SettingsRecord design;
    window_ = CreateFormWindow({kClassName, platform::Wide(core::texts::kMainCaption).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, design.left, design.top,
                                design.width, design.height, false, application_.handle()},
                               this, &TForm1::Procedure);
    HWND w = window_.get();
    application_.setMainForm(w);
    // In the Cyrillic set: where the ANSI code page is not 1251 the default
    // set's raster face has no Cyrillic letters.
    dpi_ = DpiOf(w);
    icon_ = WindowIcon();
    ::SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    ::SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));

    buildToolBar();
    CheckListBox1 = std::make_unique<CheckListBox>(w, kCheckListId);
    ShellListView1 = std::make_unique<ShellListView>(platform_, w, kLettersId);
    applyDpi(dpi_);
    ShellListView1->onError = [this](const std::string& text) { messages_.platformError(text); };
    // Tab goes from the recipients to the letters and on to the toolbar,
    // whose arrows then move between its buttons.
    ::SetWindowPos(ToolBar1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Armed as soon as the contents exist, so it ticks under a start-up
    // message too.
    ::SetTimer(w, kTimer1, 1000, nullptr);
    timerRunning_ = true;
    panelWidth_ = Scaled(design.panel1, dpi_);
    layout();
    {
        core::StartupReads reads(platform_);
        startFailed_ = !form_.FormCreate(reads, *ShellListView1);
    }
    // The progress window comes right after the main window, hidden.
    if (!startFailed_) {
        Form3 = std::make_unique<TForm3>(application_.handle());
        if (Form3->animationFailed()) messages_.platformError(core::texts::kCannotOpenClip);
    }
}

TForm1::~TForm1() {
    // The window goes before the objects its procedure reaches.
    ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void TForm1::buildToolBar() {
    HWND w = window_.get();
    ToolBar1 = ::CreateWindowExW(
        WS_EX_STATICEDGE, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
            CCS_NODIVIDER | CCS_NOPARENTALIGN,
        0, 0, 10, kToolBarHeight, w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)),
        nullptr, nullptr);
    ::SendMessageW(ToolBar1, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    for (const auto& b : core::texts::kToolbar) {
        TBBUTTON button{};
        button.iBitmap = b.image;
        button.idCommand = static_cast<int>(b.command);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        ::SendMessageW(ToolBar1, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    LetToolbarTakeKeys(ToolBar1);
}

void TForm1::applyDpi(UINT dpi) {
    panelWidth_ = ::MulDiv(panelWidth_, static_cast<int>(dpi), static_cast<int>(dpi_));
    dpi_ = dpi;
    // In the Cyrillic set: where the ANSI code page is not 1251 the default
    // set's raster face has no Cyrillic letters.
    OwnedFont font = MakeFont(L"MS Sans Serif", Scaled(11, dpi), FW_NORMAL, false, RUSSIAN_CHARSET);
    ::SendMessageW(ShellListView1->handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()),
                   TRUE);
    font_ = std::move(font);
    CheckListBox1->applyDpi(dpi);
    // The pictures drawn at the new size, not stretched.
    const int picture = Scaled(32, dpi);
    OwnedImageList images = ToolBarImages(picture);
    ::SendMessageW(ToolBar1, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.get()));
    images_ = std::move(images);
    ::SendMessageW(ToolBar1, TB_SETBITMAPSIZE, 0, MAKELPARAM(picture, picture));
    ::SendMessageW(ToolBar1, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scaled(39, dpi), Scaled(38, dpi)));
    layout();
}

void TForm1::layout() {
    RECT client;
    ::GetClientRect(window_.get(), &client);
    const int height = client.bottom;
    panelWidth_ = core::ShownPanelWidth(panelWidth_, client.right);
    const int toolBarHeight = Scaled(kToolBarHeight, dpi_);
    ::MoveWindow(ToolBar1, 0, 0, panelWidth_, toolBarHeight, TRUE);
    ::MoveWindow(CheckListBox1->handle(), 0, toolBarHeight, panelWidth_,
                 std::max(0, height - toolBarHeight), TRUE);
    const int left = panelWidth_ + splitterWidth();
    ::MoveWindow(ShellListView1->handle(), left, 0,
                 std::max(0, static_cast<int>(client.right) - left), height, TRUE);
}

void TForm1::applyPanelWidth(int width) {
    panelWidth_ = Scaled(width, dpi_);
    layout();
}

void TForm1::stopWatch() {
    if (timerRunning_) ::KillTimer(window_.get(), kTimer1);
    timerRunning_ = false;
}

core::SettingsDialog& TForm1::createSettingsDialog() {
    Form2 = std::make_unique<TForm2>(platform_, messages_, window_.get());
    return *Form2;
}
void TForm1::showRecipients(std::vector<core::Recipient>& recipients) {
    CheckListBox1->setRecipients(&recipients);
}
core::Progress& TForm1::progress() { return *Form3; }

void TForm1::showInStoredState(int showRequest) {
    int show = form_.storedWindowState() == 2   ? SW_SHOWMAXIMIZED
               : form_.storedWindowState() == 1 ? SW_SHOWMINIMIZED
                                                : SW_SHOWNORMAL;
    // A shortcut set to run maximised or minimised has the last word.
    if (showRequest == SW_SHOWMAXIMIZED || showRequest == SW_SHOWMINNOACTIVE) show = showRequest;
    // Minimised, the program is its taskbar button alone, as after the
    // operator minimises it.
    const bool minimised = show == SW_SHOWMINIMIZED || show == SW_SHOWMINNOACTIVE;
    application_.show(minimised, form_.storedWindowState() == 2 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    if (!minimised) ::ShowWindow(window_.get(), show);
    ::UpdateWindow(window_.get());
    // A control has the focus from the start: the recipients, where the
    // operator begins, on both faces.
    focused_ = CheckListBox1->handle();
    if (!minimised) ::SetFocus(focused_);
}

bool TForm1::dialogKey(MSG& message) {
    // Tab, Shift+Tab and the dialog keys between the controls, as in a
    // dialog; a key the focused control wants stays its own.
    return ::IsDialogMessageW(window_.get(), &message) != FALSE;
}

void TForm1::FormDestroy() { form_.FormDestroy(); }

void TForm1::close() {
    if (closeRequested_) return;
    closeRequested_ = true;
    frame_.keepAtClose();
    // A send waiting on the mail tool stops waiting; its remaining runs and
    // its move still happen before the program ends.
    form_.closeRequested();
    ::ShowWindow(window_.get(), SW_HIDE);
    ::ShowWindow(application_.handle(), SW_HIDE);  // the taskbar button goes too
    ::PostQuitMessage(0);
}

LRESULT CALLBACK TForm1::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = FormOf<TForm1>(window);
    if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
    return self->handle(message, w, l);
}

LRESULT TForm1::handle(UINT message, WPARAM w, LPARAM l) {
    HWND window = window_.get();
    switch (message) {
        case WM_SIZE:
            // Minimised, the client area is empty: laid out to it, the
            // panel would come back at its narrowest.
            if (w != SIZE_MINIMIZED) layout();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a screen of another scale, or the scale changed: the
            // place the system suggests, and everything drawn anew at it.
            const auto* suggested = reinterpret_cast<const RECT*>(l);
            ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            applyDpi(HIWORD(w));
            return 0;
        }
        case WM_TIMER:
            if (w == kTimer1 && timerRunning_) form_.Timer1Timer();
            return 0;
        case WM_COMMAND:
            // Only the toolbar's: the dialog keys send IDOK and IDCANCEL,
            // which share the send and delete buttons' numbers.
            if (reinterpret_cast<HWND>(l) != ToolBar1) break;
            switch (static_cast<core::texts::Command>(LOWORD(w))) {
                case core::texts::Command::Send:
                    form_.N3Click();
                    return 0;
                case core::texts::Command::Delete:
                    form_.ToolButton2Click();
                    return 0;
                case core::texts::Command::Settings:
                    form_.ToolButton3Click();
                    return 0;
                case core::texts::Command::ShowDeleted:
                    form_.ToolButton4Click();
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
            if (header->hwndFrom == ToolBar1 && header->code == NM_CUSTOMDRAW) {
                return DrawToolbarFocus(*reinterpret_cast<const NMTBCUSTOMDRAW*>(l));
            }
            if (header->code == TTN_GETDISPINFOW) {
                auto* tip = reinterpret_cast<NMTTDISPINFOW*>(l);
                for (const auto& b : core::texts::kToolbar) {
                    if (header->idFrom != static_cast<UINT_PTR>(b.command)) continue;
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
                at.x < panelWidth_ + splitterWidth()) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONDOWN:
            if (GET_X_LPARAM(l) >= panelWidth_ && GET_X_LPARAM(l) < panelWidth_ + splitterWidth()) {
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
        case WM_ACTIVATE:
            // The focus comes back to the control that had it.
            if (LOWORD(w) == WA_INACTIVE) {
                const HWND had = ::GetFocus();
                if (had != nullptr && ::IsChild(window, had)) focused_ = had;
            } else if (focused_ != nullptr && ::IsWindowVisible(window)) {
                ::SetFocus(focused_);
                return 0;
            }
            break;
        case WM_CLOSE:
            close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The system ends the process once this returns, before the
            // message loop could end: the exit's writes happen here.
            if (w != FALSE) {
                close();
                FormDestroy();
                KeepClipboardAfterExit();
            }
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
