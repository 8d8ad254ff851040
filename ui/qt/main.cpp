#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

#include "core/Messages.h"
#include "platform/Platform.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/Unit1.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const auto ignored = ::write(signalPipe[1], &byte, 1);
}

// A session that ends or a kill from the terminal closes the window the
// ordinary way, so the settings and ticks are still written.
void CloseOnTermination(QWidget& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const auto ignored = ::read(signalPipe[0], &byte, 1);
        window.close();
        // Every event loop ends, also those of an open dialog or message box
        // and those that would start later on the way out.
        QApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(s, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string title = dorvel::core::ProgramTitle(argc > 0 ? argv[0] : "dorvel");
    QApplication::setApplicationName(QString::fromStdString(title));
    dorvel::ui::MessageBoxes messages(title);

    dorvel::ui::TForm1 form(dorvel::platform::HostPlatform(), messages);
    if (form.startFailed()) {
        form.FormDestroy();
        return 0;
    }
    CloseOnTermination(form);
    // Ending on the last window closed is not enough: a send's move after
    // the close shows the progress window again, which would cancel it.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&form, &dorvel::ui::TForm1::closed, &app, [] { QApplication::exit(0); });
    form.showInStoredState();
    const int result = QApplication::exec();
    form.FormDestroy();
    return result;
}
