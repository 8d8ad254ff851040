#pragma once
// The two kinds of message box: the program's own checks ("Error",
// "Information") and the platform's failures, titled with the program.

#include <string>

#include "core/Messages.h"

namespace dorvel::ui {

class MessageBoxes final : public core::Messages {
public:
    explicit MessageBoxes(std::string programTitle) : title_(std::move(programTitle)) {}
    void error(const std::string& text) override;
    void information(const std::string& text) override;
    void platformError(const std::string& text) override;

private:
    std::string title_;
};

}  // namespace dorvel::ui
