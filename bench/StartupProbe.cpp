// Starts a window and ends the moment it is on the screen: "dorvel" starts
// the program as its own entry does, "bare" an empty Qt window. The
// benchmark times whole processes of both, side by side.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/Messages.h"
#include "platform/Platform.h"
#include "ui/qt/MessageBoxes.h"
#include "ui/qt/Unit1.h"

namespace {

[[noreturn]] void EndOnceShown(QWidget& window) {
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();  // the first paint
    ::_exit(0);
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The least any start on the same files has to do: read the settings and
// the address file, learn every letter's name (and the size and time of
// those in sight), and paint a screenful of each list's text. No sorting,
// no widgets beyond two labels.
void ShowFloor(QWidget& window) {
    const std::string ini = ReadWhole("dorvel.ini");
    const std::string addresses = ReadWhole(std::string(std::getenv("ZOVOVOD")) + "/LUSERS.NDE");
    const std::string lettersKey = "Letters=";
    const auto at = ini.find(lettersKey) + lettersKey.size();
    const std::string letters = ini.substr(at, ini.find('\r', at) - at);
    QString names;
    int shown = 0;
    if (DIR* dir = ::opendir(letters.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (shown++ >= 40) continue;
            struct stat info {};
            ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW);
            names += QString::fromLocal8Bit(entry->d_name) + QLatin1Char('\n');
        }
        ::closedir(dir);
    }
    QString recipients;
    std::size_t from = 0;
    for (int line = 0; line < 40 && from < addresses.size(); ++line) {
        const std::size_t end = addresses.find('\n', from);
        recipients += QString::fromLocal8Bit(addresses.data() + from, int(end - from) - 1) +
                      QLatin1Char('\n');
        from = end + 1;
    }
    auto* layout = new QHBoxLayout(&window);
    layout->addWidget(new QLabel(names));
    layout->addWidget(new QLabel(recipients));
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
    if (argc > 1 && std::strcmp(argv[1], "floor") == 0) ShowFloor(bare);
    bare.show();
    EndOnceShown(bare);
}
