#pragma once
// The message box on Qt's own box, centred on the primary screen.

#include <string>

#include "core/Messages.h"

namespace dorvel::ui {

class MessageBoxes final : public core::MessageBoxes {
public:
    using core::MessageBoxes::MessageBoxes;

private:
    void show(Icon icon, const std::string& title, const std::string& text) override;
};

}  // namespace dorvel::ui
