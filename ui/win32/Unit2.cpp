#include "ui/win32/Unit2.h"

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/LettersView.h"

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TForm2";
constexpr COLORREF kMaroon = RGB(128, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr int kButton2 = 2;
constexpr int kTree = 10;

std::string TextOf(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return platform::Utf8(text);
}

}  // namespace

TForm2::TForm2(platform::Platform& platform, core::Messages& messages, HWND owner)
    : platform_(platform), messages_(messages), owner_(owner) {
    window_ = CreateFormWindow(
        {kClassName, L"Настройки", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
         WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 328, 287, 524, 295, true, owner},
        this, &TForm2::Procedure);
    HWND w = window_.get();

    bold_ = MakeFont(L"MS Sans Serif", 13, FW_BOLD);
    plain_ = MakeFont(L"MS Sans Serif", 11);
    italic_ = MakeFont(L"MS Sans Serif", 11, FW_NORMAL, true);
    auto control = [&](const wchar_t* kind, const wchar_t* text, DWORD flags, int x, int y,
                       int width, int height, HFONT font, int id = 0) {
        const bool edit = std::wstring_view(kind) == L"EDIT";
        return CreateControl(w, kind, text, flags, {x, y, x + width, y + height}, font, id,
                             edit ? WS_EX_CLIENTEDGE : 0);
    };
    Label1 = control(L"STATIC", L"Переменная окружения ZOVOVOD", SS_NOPREFIX, 16, 24, 330, 16,
                     bold_.get());
    Label3 = control(L"STATIC", L"", SS_NOPREFIX, 16, 48, 337, 14, plain_.get());
    Label2 = control(L"STATIC", L"Почтовый ящик", SS_NOPREFIX, 16, 80, 330, 16, bold_.get());
    // Tab order: the fields, the check box, the tree, the button.
    Edit1 = control(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 16, 104, 337, 21, italic_.get());
    Label4 = control(L"STATIC", L"Папка для удаления файлов", SS_NOPREFIX, 16, 144, 330, 16,
                     bold_.get());
    letters_save =
        control(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, 16, 168, 337, 21, italic_.get());
    CheckBox1 = control(L"BUTTON", L"Удалять файлы при отправке почты",
                        WS_TABSTOP | BS_AUTOCHECKBOX, 16, 224, 297, 17, bold_.get());
    ShellTreeView1 =
        std::make_unique<FolderTree>(platform_, w, kTree, RECT{524 - 161, 0, 524, 295});
    ShellTreeView1->onChange = [this] { ShellTreeView1Change(); };
    ShellTreeView1->onError = [this](const std::string& text) { messages_.platformError(text); };
    Button2 = control(L"BUTTON", L"Завершить", WS_TABSTOP | BS_PUSHBUTTON, 280, 256, 75, 25,
                      plain_.get(), kButton2);
    ::SetWindowPos(::GetDlgItem(w, kTree), CheckBox1, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::string TForm2::deletedFilesFolder() const { return TextOf(letters_save); }

void TForm2::setDeletedFilesFolder(const std::string& text) {
    ::SetWindowTextW(letters_save, platform::Wide(text).c_str());
}

bool TForm2::deleteAfterSending() const {
    return ::SendMessageW(CheckBox1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm2::setDeleteAfterSending(bool on) {
    ::SendMessageW(CheckBox1, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm2::ShowSettings(const std::string& mailDirectory, ShellListView& lettersView) {
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

void TForm2::open(const std::string& mailDirectory, ShellListView& lettersView) {
    lettersView_ = &lettersView;
    ::ShowWindow(window_.get(), SW_SHOW);
    // The focus first: the letters field the first time, afterwards the
    // field that had it when the dialog last closed.
    ::SetFocus(opened_ && lastFocus_ != nullptr ? lastFocus_ : Edit1);
    opened_ = true;
    FormActivate(mailDirectory);
}

void TForm2::FormActivate(const std::string& mailDirectory) {
    fillTarget_ = 0;
    ::SetWindowTextW(Label3, platform::Wide(mailDirectory).c_str());
    ::SetWindowTextW(Edit1, platform::Wide(lettersView_->root()).c_str());
    try {
        ShellTreeView1->setSelectedPath(TextOf(Edit1));
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
}

void TForm2::enterField(HWND field) {
    const std::string text = TextOf(field);
    if (const auto info = platform_.inspect(text); !info || !info->isFolder) return;
    // A folder without a node (a hidden one) clears the tree's selection; the
    // field keeps the text the operator gave it rather than going empty.
    keepFieldText_ = true;
    try {
        ShellTreeView1->setSelectedPath(text);
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
    keepFieldText_ = false;
}

void TForm2::Edit1Enter() {
    fillTarget_ = 0;
    enterField(Edit1);
}

void TForm2::letters_saveEnter() {
    fillTarget_ = 1;
    enterField(letters_save);
}

void TForm2::ShellTreeView1Change() {
    const std::wstring path = platform::Wide(ShellTreeView1->selectedPath());
    if (path.empty() && keepFieldText_) return;
    ::SetWindowTextW(fillTarget_ == 0 ? Edit1 : letters_save, path.c_str());
}

bool TForm2::FormClose() {
    try {
        lettersView_->setRoot(TextOf(Edit1));
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
        return false;
    }
    finish();
    return true;
}

void TForm2::finish() {
    const HWND focus = ::GetFocus();
    if (focus == Edit1 || focus == letters_save || focus == CheckBox1 || focus == Button2) {
        lastFocus_ = focus;
    }
    running_ = false;
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
            if (HIWORD(w) == EN_SETFOCUS && from == Edit1) Edit1Enter();
            if (HIWORD(w) == EN_SETFOCUS && from == letters_save) letters_saveEnter();
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
