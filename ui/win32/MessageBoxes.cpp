#include "ui/win32/MessageBoxes.h"

#include <windows.h>

#include "core/Texts.h"
#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {
namespace {

// Owned by no window, a box is centred on the screen; task-modal, it
// disables the program's other windows until it closes.
void Show(const std::string& text, const std::string& title, UINT icon) {
    ::MessageBoxW(nullptr, platform::Wide(text).c_str(), platform::Wide(title).c_str(),
                  MB_OK | icon | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace

void MessageBoxes::error(const std::string& text) {
    Show(text, core::texts::kErrorTitle, MB_ICONERROR);
}

void MessageBoxes::information(const std::string& text) {
    Show(text, core::texts::kInformationTitle, MB_ICONINFORMATION);
}

void MessageBoxes::platformError(const std::string& text) {
    Show(core::PlatformErrorText(text), title_, MB_ICONERROR);
}

std::string RunningProgramTitle() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return core::ProgramTitle(platform::Utf8(path));
}

}  // namespace dorvel::ui::win32
