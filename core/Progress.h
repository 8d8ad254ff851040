#pragma once
// The progress display that sending and moving fill, show and close.
// Texts are UTF-8.

#include <string>

namespace dorvel::core {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetFileLine(const std::string& text) = 0;
    virtual void SetRecipientLine(const std::string& text) = 0;
    virtual void Show() = 0;
    virtual void Close() = 0;
};

}  // namespace dorvel::core
