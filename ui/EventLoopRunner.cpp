#include "ui/EventLoopRunner.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <algorithm>

namespace dorvel::ui {

bool EventLoopRunner::RunAndWait(const std::vector<std::string>& argv) {
    const auto child = platform_.startProcess(argv);
    if (!child) return false;
    // Without a process descriptor (a kernel older than 5.3) the run is not
    // awaited, as when the program is closing.
    if (!closing_ && child->pidfd >= 0) {
        QEventLoop loop;
        QSocketNotifier ended(child->pidfd, QSocketNotifier::Read);
        QObject::connect(&ended, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        loops_.push_back(&loop);
        loop.exec();
        loops_.erase(std::find(loops_.begin(), loops_.end(), &loop));
    }
    platform_.release(*child);
    return true;
}

void EventLoopRunner::stopWaiting() {
    closing_ = true;
    // Nested sends wait in nested loops; every one of them ends.
    for (QEventLoop* loop : loops_) loop->quit();
}

}  // namespace dorvel::ui
