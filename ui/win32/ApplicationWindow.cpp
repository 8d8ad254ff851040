#include "ui/win32/ApplicationWindow.h"

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"

namespace dorvel::ui::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TApplication";
// Posted to itself: the activation that brought it to the front is over.
constexpr UINT kActivateForm = WM_APP + 1;

}  // namespace

ApplicationWindow::ApplicationWindow(const std::string& title) {
    const std::wstring caption = platform::Wide(title);
    window_ =
        CreateFormWindow({kClassName, caption.c_str(),
                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                          ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2,
                          0, 0, false, nullptr},
                         this, &ApplicationWindow::Procedure);
}

void ApplicationWindow::show(bool minimised, int formShow) {
    formShow_ = formShow;
    if (minimised) {
        ::ShowWindow(window_.get(), SW_SHOWMINNOACTIVE);
        return;
    }
    ::ShowWindow(window_.get(), SW_SHOWNA);
    if (form_ != nullptr) ::ShowWindow(form_, formShow);
}

void ApplicationWindow::minimize() {
    if (form_ != nullptr) {
        formShow_ = ::IsZoomed(form_) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
        ::ShowWindow(form_, SW_HIDE);
    }
    ::ShowWindow(window_.get(), SW_MINIMIZE);
}

void ApplicationWindow::restoreForm() {
    if (form_ == nullptr) return;
    if (!::IsWindowVisible(form_)) ::ShowWindow(form_, formShow_);
    ::PostMessageW(window_.get(), kActivateForm, 0, 0);
}

LRESULT CALLBACK ApplicationWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = FormOf<ApplicationWindow>(window);
    if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
    return self->handle(message, w, l);
}

LRESULT ApplicationWindow::handle(UINT message, WPARAM w, LPARAM l) {
    HWND window = window_.get();
    switch (message) {
        case WM_SYSCOMMAND:
            switch (w & 0xFFF0) {
                case SC_MINIMIZE:
                    minimize();
                    return 0;
                case SC_RESTORE:
                    ::DefWindowProcW(window, message, w, l);
                    restoreForm();
                    return 0;
                case SC_CLOSE:
                    if (form_ != nullptr) ::PostMessageW(form_, WM_CLOSE, 0, 0);
                    return 0;
                default:
                    break;
            }
            break;
        case WM_CLOSE:
            if (form_ != nullptr) ::PostMessageW(form_, WM_CLOSE, 0, 0);
            return 0;
        case WM_ACTIVATE:
            // The taskbar button activates this window; the main window, or
            // the dialog open over it, is the one to get the focus.
            if (LOWORD(w) != WA_INACTIVE && !minimized()) {
                ::PostMessageW(window, kActivateForm, 0, 0);
            }
            return 0;
        case kActivateForm:
            if (form_ != nullptr && ::IsWindowVisible(form_)) {
                ::SetForegroundWindow(::GetLastActivePopup(form_));
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, w, l);
}

}  // namespace dorvel::ui::win32
