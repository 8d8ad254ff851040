#include "ui/win32/Unit2.h"

#include <algorithm>
#include <array>

#include <uxtheme.h>

#include "core/Texts.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/LettersView.h"

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TForm2";
constexpr COLORREF kMaroon = RGB(128, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
// Not 1 or 2: the dialog keys send IDOK and IDCANCEL as commands, and the
// button would take Escape's for a click.
constexpr int kButton2 = 100;
constexpr int kTree = 10;
constexpr SIZE kClientSize{524, 295};  // at 96 DPI

std::string TextOf(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return platform::Utf8(text);
}

}  // namespace

TForm2::TForm2(platform::Platform& platform, core::Messages& messages, HWND owner)
    : form_(platform, messages, *this), owner_(owner) {
    window_ = CreateFormWindow(
        {kClassName, platform::Wide(core::texts::kSettingsCaption).c_str(),
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
         WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 328, 287, 524, 295, true, owner},
        this, &TForm2::Procedure);
    HWND w = window_.get();

    const std::size_t bold = layout_.addFont({L"MS Sans Serif", 13, FW_BOLD, false});
    const std::size_t plain = layout_.addFont({L"MS Sans Serif", 11, FW_NORMAL, false});
    const std::size_t italic = layout_.addFont({L"MS Sans Serif", 11, FW_NORMAL, true});
    auto control = [&](const wchar_t* kind, const wchar_t* text, DWORD flags, int x, int y,
                       int width, int height, std::size_t font, int id = 0) {
        const bool edit = std::wstring_view(kind) == L"EDIT";
        const RECT place{x, y, x + width, y + height};
        return layout_.add(CreateControl(w, kind, text, flags, place, layout_.font(font), id,
                                         edit ? WS_EX_CLIENTEDGE : 0),
                           place, font);
    };
    Label1 = control(L"STATIC", platform::Wide(core::texts::kMailVariableLabel).c_str(),
                     SS_NOPREFIX, 16, 24, 330, 16, bold);
    Label3 = control(L"STATIC", L"", SS_NOPREFIX, 16, 48, 337, 14, plain);
    Label2 = control(L"STATIC", platform::Wide(core::texts::kLettersFolderLabel).c_str(),
                     SS_NOPREFIX, 16, 80, 330, 16, bold);
    // Tab order: the fields, the check box, the tree, the button.
    Edit1 = control(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 16, 104, 337, 21, italic);
    Label4 = control(L"STATIC", platform::Wide(core::texts::kDeletedFilesLabel).c_str(),
                     SS_NOPREFIX, 16, 144, 330, 16, bold);
    letters_save = control(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 16, 168, 337, 21, italic);
    CheckBox1 = control(L"BUTTON", platform::Wide(core::texts::kDeleteAfterSendingLabel).c_str(),
                        WS_TABSTOP | BS_AUTOCHECKBOX, 16, 224, 297, 17, bold);
    // Under visual styles a themed check box draws its text in the theme's
    // colour whatever WM_CTLCOLORBTN says; unthemed, it keeps its maroon.
    ::SetWindowTheme(CheckBox1, L"", L"");
    const RECT tree{524 - 161, 0, 524, 295};
    ShellTreeView1 = std::make_unique<FolderTree>(platform, w, kTree, tree);
    layout_.add(ShellTreeView1->handle(), tree);
    ShellTreeView1->onChange = [this] { form_.ShellTreeView1Change(); };
    ShellTreeView1->onError = [&messages](const std::string& text) {
        messages.platformError(text);
    };
    Button2 = control(L"BUTTON", platform::Wide(core::texts::kFinishButton).c_str(),
                      WS_TABSTOP | BS_PUSHBUTTON, 280, 256, 75, 25, plain, kButton2);
    layout_.apply(w, kClientSize, DpiOf(owner));
    ::SetWindowPos(::GetDlgItem(w, kTree), CheckBox1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::string TForm2::deletedFilesFolder() const { return text(Field::DeletedFiles); }

void TForm2::setDeletedFilesFolder(const std::string& text) { setText(Field::DeletedFiles, text); }

bool TForm2::deleteAfterSending() const {
    return ::SendMessageW(CheckBox1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm2::setDeleteAfterSending(bool on) {
    ::SendMessageW(CheckBox1, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm2::ShowSettings(const std::string& mailDirectory, core::LettersView& lettersView) {
    ::EnableWindow(owner_, FALSE);
    open(mailDirectory, lettersView);
    running_ = true;
    MSG message;
    while (running_ && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(window_.get(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (running_) {
        // The program is ending: the main loop gets its quit as well.
        ::PostQuitMessage(static_cast<int>(message.wParam));
        finish();
    }
}

HWND TForm2::control(core::SettingsForm::Control which) const {
    return tabOrder()[static_cast<std::size_t>(which)];
}

std::array<HWND, 5> TForm2::tabOrder() const {
    return {Edit1, letters_save, CheckBox1, ShellTreeView1->handle(), Button2};
}

void TForm2::open(const std::string& mailDirectory, core::LettersView& lettersView) {
    lettersView_ = &lettersView;
    ShellTreeView1->showTop();
    ::ShowWindow(window_.get(), SW_SHOW);
    // Placing the focus in a field runs its entering handler.
    const HWND focus = control(form_.focusOnOpening());
    ::SetFocus(focus);
    form_.FormActivate(mailDirectory, lettersView_->root());
    // A path error's box took the focus away; it comes back where it was
    // placed, without running the field's entering again.
    if (::GetFocus() != focus) {
        refocusing_ = true;
        ::SetFocus(focus);
        refocusing_ = false;
    }
    ShellTreeView1->resumeWatching();
}

std::string TForm2::text(Field field) const {
    return field == Field::Tree ? ShellTreeView1->selectedPath() : TextOf(textControl(field));
}

void TForm2::setText(Field field, const std::string& text) {
    if (field == Field::Tree) {
        ShellTreeView1->setSelectedPath(text);
    } else {
        ::SetWindowTextW(textControl(field), platform::Wide(text).c_str());
    }
}

HWND TForm2::textControl(Field field) const {
    return field == Field::Letters ? Edit1 : field == Field::DeletedFiles ? letters_save : Label3;
}

bool TForm2::FormClose() {
    const auto order = tabOrder();
    const auto at = std::find(order.begin(), order.end(), ::GetFocus());
    const auto focus = at == order.end()
                           ? core::SettingsForm::Control::LettersField
                           : static_cast<core::SettingsForm::Control>(at - order.begin());
    if (!form_.FormClose([this](const std::string& text) { lettersView_->setRoot(text); }, focus)) {
        return false;
    }
    finish();
    return true;
}

void TForm2::finish() {
    running_ = false;
    ShellTreeView1->stopWatching();
    ::EnableWindow(owner_, TRUE);
    ::ShowWindow(window_.get(), SW_HIDE);
    ::SetActiveWindow(owner_);
}

LRESULT CALLBACK TForm2::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = FormOf<TForm2>(window);
    if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
    return self->handle(message, w, l);
}

LRESULT TForm2::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_DPICHANGED: {
            layout_.apply(window_.get(), kClientSize, HIWORD(w));
            const auto* suggested = reinterpret_cast<const RECT*>(l);
            ::SetWindowPos(window_.get(), nullptr, suggested->left, suggested->top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: {
            const HWND control = reinterpret_cast<HWND>(l);
            const HDC dc = reinterpret_cast<HDC>(w);
            if (control == Label1 || control == Label2 || control == Label4 ||
                control == CheckBox1) {
                ::SetTextColor(dc, kMaroon);
            } else if (control == Edit1 || control == letters_save) {
                ::SetTextColor(dc, kGreen);
                ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
            }
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_COMMAND: {
            const HWND from = reinterpret_cast<HWND>(l);
            if (HIWORD(w) == EN_SETFOCUS && !refocusing_) {
                if (from == Edit1) form_.Edit1Enter();
                if (from == letters_save) form_.letters_saveEnter();
            }
            if (LOWORD(w) == kButton2 && HIWORD(w) == BN_CLICKED) FormClose();
            // Enter closes only from the button itself; Escape never.
            if (LOWORD(w) == IDOK && ::GetFocus() == Button2) FormClose();
            return 0;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (ShellTreeView1 &&
                ShellTreeView1->notify(*reinterpret_cast<const NMHDR*>(l), result)) {
                return result;
            }
            break;
        }
        case FolderWatch::kChanged:
            ShellTreeView1->refillSelected();
            return 0;
        case WM_CLOSE:
            FormClose();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window_.get(), message, w, l);
}

}  // namespace dorvel::ui::win32
