#include "ui/win32/MessageBoxes.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace dorvel::ui::win32 {

void MessageBoxes::show(Icon icon, const std::string& title, const std::string& text) {
    // Task-modal, it disables the program's other windows until it closes.
    ::MessageBoxW(nullptr, platform::Wide(text).c_str(), platform::Wide(title).c_str(),
                  MB_OK | (icon == Icon::Stop ? MB_ICONERROR : MB_ICONINFORMATION) | MB_TASKMODAL |
                      MB_SETFOREGROUND);
}

std::string RunningProgramTitle() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return core::ProgramTitle(platform::Utf8(path));
}

}  // namespace dorvel::ui::win32
