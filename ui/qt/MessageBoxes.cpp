#include "ui/qt/MessageBoxes.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "ui/qt/PathText.h"

namespace dorvel::ui {

void MessageBoxes::show(Icon icon, const std::string& title, const std::string& text) {
    // Names and paths in the text are shown as they are, never as markup.
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(title), ShownPath(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
    box.exec();
}

}  // namespace dorvel::ui
