#pragma once
// Waits for a started program inside a local event loop: every event, the
// watch timer and a close request are served at once, and nothing polls,
// so the program uses no processor time while the mail tool runs.

#include <QObject>
#include <vector>

#include "core/MailSending.h"
#include "platform/Platform.h"

class QEventLoop;

namespace dorvel::ui {

class EventLoopRunner final : public QObject, public core::ProcessRunner {
    Q_OBJECT
public:
    explicit EventLoopRunner(platform::Platform& platform, QObject* parent = nullptr)
        : QObject(parent), platform_(platform) {}

    bool RunAndWait(const platform::Command& command) override;
    // The program is closing: every wait ends now, later runs are not awaited.
    void stopWaiting() override;

private:
    platform::Platform& platform_;
    bool closing_ = false;
    std::vector<QEventLoop*> loops_;
};

}  // namespace dorvel::ui
