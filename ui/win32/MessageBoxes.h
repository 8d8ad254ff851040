#pragma once
// The message box on the system's own box: owned by no window, it is
// centred on the screen.

#include <string>

#include "core/Messages.h"

namespace dorvel::ui::win32 {

class MessageBoxes final : public core::MessageBoxes {
public:
    // The title from the executable's name: dorvel.exe gives "Dorvel".
    using core::MessageBoxes::MessageBoxes;

private:
    void show(Icon icon, const std::string& title, const std::string& text) override;
};

// The running program's title, from its own file name.
std::string RunningProgramTitle();

}  // namespace dorvel::ui::win32
