#include "ui/qt/EventLoopRunner.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <algorithm>

namespace dorvel::ui {

bool EventLoopRunner::RunAndWait(const platform::Command& command) {
    auto process = platform_.start(command);
    if (!process) return false;
    // Without a process descriptor (a kernel older than 5.3) the run is not
    // awaited, as when the program is closing.
    const std::intptr_t waitable = process->waitable();
    if (!closing_ && waitable != platform::Process::kNothingToWaitOn) {
        QEventLoop loop;
        QSocketNotifier ended(static_cast<qintptr>(waitable), QSocketNotifier::Read);
        QObject::connect(&ended, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        loops_.push_back(&loop);
        loop.exec();
        loops_.erase(std::find(loops_.begin(), loops_.end(), &loop));
    }
    return true;
}

void EventLoopRunner::stopWaiting() {
    closing_ = true;
    // Nested sends wait in nested loops; every one of them ends.
    for (QEventLoop* loop : loops_) loop->quit();
}

}  // namespace dorvel::ui
