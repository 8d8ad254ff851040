#include "ui/FontWarmUp.h"

#include <QFontMetrics>
#include <QMimeDatabase>
#include <system_error>

namespace dorvel::ui {

FontWarmUp::FontWarmUp(QList<QFont> fonts) {
    try {
        thread_ = std::thread([fonts = std::move(fonts)] {
            for (const QFont& font : fonts) QFontMetrics(font).height();
            // The letters view's type column needs the MIME database at once.
            QMimeDatabase().mimeTypeForName(QStringLiteral("application/octet-stream"));
        });
    } catch (const std::system_error&) {
        // Without a thread the widgets load the fonts themselves.
    }
}

FontWarmUp::~FontWarmUp() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace dorvel::ui
