#pragma once
// The main window's frame as the form reads and sets it: the window's
// placement (its normal rectangle and show state) and the work area of the
// monitor nearest a frame. Once the operator closes the window, it stays
// what it was then.

#include <windows.h>

#include <functional>
#include <optional>
#include <utility>

#include "core/MainForm.h"
#include "ui/win32/ApplicationWindow.h"
#include "ui/win32/Handles.h"

namespace dorvel::ui::win32 {

class WindowFrame final : public core::FrameView {
public:
    // The window may be made later; applied runs after each frame applied,
    // to lay out the contents.
    WindowFrame(const OwnedWindow& window, const ApplicationWindow& application,
                std::function<void()> applied)
        : window_(window), application_(application), applied_(std::move(applied)) {}

    std::optional<core::ScreenRect> availableArea(const core::ScreenRect& frame) const override;
    void applyFrame(const core::ScreenRect& frame) override;
    core::ScreenRect normalFrame() const override;
    bool knowsPosition() const override { return true; }
    int windowState() const override;
    // The window is closing: what the exit writes is its frame now, hidden
    // or not by then.
    void keepAtClose();

private:
    WINDOWPLACEMENT placement() const;
    // The placement's normal rectangle is in workspace coordinates, counted
    // from the primary monitor's work area; the settings hold screen
    // coordinates, as the frame is applied. The difference is measured
    // while the window is in its normal state, where both name one
    // rectangle, rather than assumed.
    void measureWorkspace();
    POINT workspaceOrigin() const;

    const OwnedWindow& window_;
    const ApplicationWindow& application_;
    std::function<void()> applied_;
    WINDOWPLACEMENT placementAtClose_{};
    std::optional<POINT> workspaceOrigin_;
    bool minimizedAtClose_ = false;
};

}  // namespace dorvel::ui::win32
