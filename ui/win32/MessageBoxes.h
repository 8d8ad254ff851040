#pragma once
// The two kinds of message box on the system's own box: the program's
// checks ("Error", "Information", centred on the screen) and the platform's
// failures, titled with the program's title.

#include <string>

#include "core/Messages.h"

namespace dorvel::ui::win32 {

class MessageBoxes final : public core::Messages {
public:
    // The title from the executable's name: dorvel.exe gives "Dorvel".
    explicit MessageBoxes(std::string programTitle) : title_(std::move(programTitle)) {}

    void error(const std::string& text) override;
    void information(const std::string& text) override;
    void platformError(const std::string& text) override;

private:
    std::string title_;
};

// The running program's title, from its own file name.
std::string RunningProgramTitle();

}  // namespace dorvel::ui::win32
