// Starts a window and ends the moment it is on the screen: "dorvel" starts
// the program as its own entry does, "bare" an empty Qt window. The
// benchmark times whole processes of both, side by side.

#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QWindow>
#include <cstring>
#include <memory>

#include "core/Messages.h"
#include "platform/Platform.h"
#include "ui/MessageBoxes.h"
#include "ui/Unit1.h"

namespace {

[[noreturn]] void EndOnceShown(QWidget& window) {
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();  // the first paint
    ::_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "dorvel") == 0) {
        dorvel::ui::MessageBoxes messages("dorvel");
        dorvel::ui::TForm1 form(dorvel::platform::HostPlatform(), messages);
        if (form.startFailed()) return 1;
        form.showInStoredState();
        EndOnceShown(form);
    }
    QWidget bare;
    bare.resize(870, 666);
    // "label": the same with one line of text, which costs the font database.
    if (argc > 1 && std::strcmp(argv[1], "label") == 0) new QLabel(QStringLiteral("dorvel"), &bare);
    bare.show();
    EndOnceShown(bare);
}
