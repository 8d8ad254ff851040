#pragma once
// The two kinds of message box, as core needs them. The program's own
// checks are shown through Messages; failures that the platform raises
// inside an action travel as PlatformError and are shown by whoever runs
// the handler, after which the program carries on.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace dorvel::core {

class Messages {
public:
    virtual ~Messages() = default;
    // The program's own checks: "Error" with the stop icon.
    virtual void error(const std::string& text) = 0;
    // The program's own checks: "Information" with the information icon.
    virtual void information(const std::string& text) = 0;
    // A platform failure: titled with the program's title, stop icon.
    virtual void platformError(const std::string& text) = 0;
};

// The message boxes: which title and icon each kind of message gets. A face
// shows a box with what it is handed and decides nothing.
class MessageBoxes : public Messages {
public:
    enum class Icon { Stop, Information };

    explicit MessageBoxes(std::string programTitle) : programTitle_(std::move(programTitle)) {}
    void error(const std::string& text) final;
    void information(const std::string& text) final;
    void platformError(const std::string& text) final;

protected:
    // Shows one box with an OK button and returns when it has closed.
    virtual void show(Icon icon, const std::string& title, const std::string& text) = 0;

private:
    std::string programTitle_;
};

class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of a platform failure as its box shows it: a full stop is added
// after any character whose code lies above the full stop's.
std::string PlatformErrorText(std::string_view text);

// The executable's file name up to its first dot, every letter after the
// first in lower case.
std::string ProgramTitle(std::string_view executablePath);

// The input/output error report for a Windows error number.
std::string IoErrorText(int windowsCode);

}  // namespace dorvel::core
