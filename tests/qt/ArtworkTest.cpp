// The program's own pictures on a scaled screen: drawn at the screen's
// pixels, not a small bitmap stretched.

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "ui/qt/Artwork.h"

using namespace dorvel;

TEST(Artwork, EveryPictureIsDrawnAtTheScreensPixelsAtOneAndAHalfAndTwice) {
    const QIcon icons[] = {ui::SendIcon(),         ui::DeleteIcon(),
                           ui::SettingsIcon(),     ui::DeletedFilesIcon(),
                           ui::FallbackFileIcon(), ui::FallbackFolderIcon()};
    for (const QIcon& icon : icons) {
        for (const qreal ratio : {1.5, 2.0}) {
            const QPixmap pixmap = icon.pixmap(QSize(32, 32), ratio);
            EXPECT_EQ(pixmap.size(), QSize(32, 32) * ratio) << "at " << ratio;
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        }
        // Drawn, not stretched: the same picture at twice the pixels has
        // edges of its own, not the small one's pixels doubled.
        const QPixmap small = icon.pixmap(QSize(16, 16), 1.0);
        const QPixmap big = icon.pixmap(QSize(16, 16), 2.0);
        const QPixmap stretched =
            small.scaled(big.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        EXPECT_NE(big.toImage().convertToFormat(QImage::Format_ARGB32),
                  stretched.toImage().convertToFormat(QImage::Format_ARGB32));
    }
}
