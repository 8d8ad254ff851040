#pragma once
// Loads fonts on a thread of its own while the caller does other work; the
// font and MIME databases are shared by all threads, so what it loads is
// there for the widgets. Its end waits for the thread.

#include <QFont>
#include <QList>
#include <thread>

namespace dorvel::ui {

class FontWarmUp {
public:
    explicit FontWarmUp(QList<QFont> fonts);
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread thread_;
};

}  // namespace dorvel::ui
