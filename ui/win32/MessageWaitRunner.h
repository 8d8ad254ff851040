#pragma once
// Waits for a started program while the program's messages keep flowing:
// the watch timer, repaints, clicks and a close request are served at once,
// and nothing polls, so the program uses no processor time meanwhile.

#include "core/MailSending.h"
#include "platform/Platform.h"

namespace dorvel::ui::win32 {

class MessageWaitRunner final : public core::ProcessRunner {
public:
    explicit MessageWaitRunner(platform::Platform& platform) : platform_(platform) {}

    bool RunAndWait(const platform::Command& command) override;
    // The program is closing: every wait ends now, later runs are not awaited.
    void stopWaiting() override { closing_ = true; }
    bool closing() const { return closing_; }

private:
    platform::Platform& platform_;
    bool closing_ = false;
};

}  // namespace dorvel::ui::win32
