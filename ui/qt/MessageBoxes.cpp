#include "ui/qt/MessageBoxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "ui/qt/PathText.h"

namespace dorvel::ui {

namespace {

// Centres a window's frame on the screen's free area.
void CentreFrame(QWidget& window, const QMargins& frameMargins) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = window.geometry().marginsAdded(frameMargins);
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QMargins FrameMarginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry(), inside = window.geometry();
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

}  // namespace

void MessageBoxes::show(Icon icon, const std::string& title, const std::string& text) {
    // Names and paths in the text are shown as they are, never as markup.
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(title), ShownPath(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.adjustSize();
    // The window manager's frame is known only once a window is shown: the
    // box is centred with the frame another shown window has, and centred
    // again as soon as its own is known.
    QMargins margins;
    for (const QWidget* shown : QApplication::topLevelWidgets()) {
        if (shown->isVisible() && shown->frameGeometry() != shown->geometry()) {
            margins = FrameMarginsOf(*shown);
            break;
        }
    }
    CentreFrame(box, margins);
    QTimer framed;
    framed.setInterval(20);
    QObject::connect(&framed, &QTimer::timeout, &box, [&box, &framed, tries = 0]() mutable {
        if (box.isVisible() && box.frameGeometry() != box.geometry()) {
            CentreFrame(box, FrameMarginsOf(box));
            framed.stop();
        } else if (++tries == 50) {
            framed.stop();
        }
    });
    framed.start();
    box.exec();
}

}  // namespace dorvel::ui
