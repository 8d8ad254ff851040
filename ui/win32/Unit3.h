#pragma once
// The progress window: a small topmost window that sending and moving fill,
// show and close, with the shell's copy-files animation beside the texts.

#include <windows.h>

#include <string>

#include "core/Progress.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

class TForm3 final : public core::Progress {
public:
    explicit TForm3(HWND owner);
    ~TForm3() override;
    TForm3(const TForm3&) = delete;
    TForm3& operator=(const TForm3&) = delete;

    void SetCaption(const std::string& text) override;
    void SetFileLine(const std::string& text) override;
    void SetRecipientLine(const std::string& text) override;
    void Show() override;
    void Close() override;

    // The clip could not be opened: "Cannot open AVI" is the start-up's to show.
    bool animationFailed() const { return animationFailed_; }
    // Which copy-files clip plays.
    enum class Clip { None, Shell, Own };
    Clip clip() const { return clip_; }

    HWND handle() const { return window_.get(); }
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
    HWND Label3 = nullptr;
    HWND Label4 = nullptr;
    HWND Animate1 = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);

    // The fonts outlive the window that uses them.
    ScaledLayout layout_;
    OwnedWindow window_;
    bool animationFailed_ = false;
    Clip clip_ = Clip::None;
};

}  // namespace dorvel::ui::win32
