#include "ui/qt/MessageBoxes.h"
#include "ui/qt/PathText.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include "core/Texts.h"

namespace dorvel::ui {
namespace {

void Show(QMessageBox::Icon icon, const QString& title, const std::string& text) {
    // Names and paths in the text are shown as they are, never as markup.
    QMessageBox box(icon, title, ShownPath(text), QMessageBox::Ok);
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

}  // namespace

void MessageBoxes::error(const std::string& text) {
    Show(QMessageBox::Critical, QString::fromUtf8(core::texts::kErrorTitle), text);
}

void MessageBoxes::information(const std::string& text) {
    Show(QMessageBox::Information, QString::fromUtf8(core::texts::kInformationTitle), text);
}

void MessageBoxes::platformError(const std::string& text) {
    Show(QMessageBox::Critical, QString::fromStdString(title_), core::PlatformErrorText(text));
}

}  // namespace dorvel::ui
