#include "ui/qt/Artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <utility>

namespace dorvel::ui {
namespace {

// A picture painted anew at whatever size and pixel ratio it is asked for,
// so that it stays sharp on a screen at 1.5x or 2x; its strokes are given
// on a grid of its design size.
class PaintedIcon final : public QIconEngine {
public:
    PaintedIcon(std::function<void(QPainter&)> paint, int designSize)
        : paint_(std::move(paint)), designSize_(designSize) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / double(designSize_), rect.height() / double(designSize_));
        paint_(*painter);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // QIcon asks with the size already in the screen's pixels.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter p(&pixmap);
            paint(&p, QRect(QPoint(), pixmap.size()), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(designSize_, designSize_)};
    }
    QIconEngine* clone() const override { return new PaintedIcon(paint_, designSize_); }
    QString key() const override { return QStringLiteral("dorvel-painted"); }

private:
    std::function<void(QPainter&)> paint_;
    int designSize_;
};

QIcon Draw(std::function<void(QPainter&)> paint, int size = 32) {
    return QIcon(new PaintedIcon(std::move(paint), size));
}

void Envelope(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(0x30, 0x40, 0x70), 1.5));
    p.setBrush(QColor(0xF4, 0xF0, 0xE0));
    p.drawRect(r);
    QPainterPath flap;
    flap.moveTo(r.topLeft());
    flap.lineTo(r.center().x(), r.top() + r.height() * 0.6);
    flap.lineTo(r.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
}

void Folder(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1.2));
    p.setBrush(QColor(0xF0, 0xC8, 0x40));
    p.drawRect(QRectF(r.left(), r.top() + 4, r.width(), r.height() - 4));
    p.drawRect(QRectF(r.left(), r.top(), r.width() * 0.4, 5));
}

}  // namespace

QIcon SendIcon() {
    return Draw([](QPainter& p) {
        Envelope(p, QRectF(2, 9, 22, 16));
        p.setPen(QPen(QColor(0x00, 0x80, 0x00), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, 6), QPointF(29, 6));
        p.drawLine(QPointF(25, 2), QPointF(29, 6));
        p.drawLine(QPointF(25, 10), QPointF(29, 6));
    });
}

QIcon DeleteIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.5));
        p.setBrush(QColor(0xD8, 0xD8, 0xD8));
        p.drawRect(QRectF(9, 9, 14, 20));
        p.drawRect(QRectF(6, 5, 20, 4));
        p.drawLine(QPointF(13, 12), QPointF(13, 26));
        p.drawLine(QPointF(16, 12), QPointF(16, 26));
        p.drawLine(QPointF(19, 12), QPointF(19, 26));
        p.setPen(QPen(QColor(0xC0, 0x00, 0x00), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 3), QPointF(29, 29));
    });
}

QIcon SettingsIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
        p.setBrush(QColor(0xA0, 0xA8, 0xB8));
        p.translate(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-3, -14, 6, 6));
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 4, 4);
    });
}

QIcon DeletedFilesIcon() {
    return Draw([](QPainter& p) {
        Folder(p, QRectF(2, 6, 22, 18));
        p.setPen(QPen(QColor(0x20, 0x20, 0x80), 2.5));
        p.setBrush(QColor(0xE0, 0xF0, 0xFF, 0xC0));
        p.drawEllipse(QPointF(20, 19), 6, 6);
        p.drawLine(QPointF(24.5, 23.5), QPointF(30, 29));
    });
}

QIcon WindowIcon() {
    return Draw([](QPainter& p) { Envelope(p, QRectF(2, 7, 28, 19)); });
}

QIcon FallbackFileIcon() {
    static const QIcon icon = Draw(
        [](QPainter& p) {
            QPainterPath page;
            page.moveTo(3.5, 1.5);
            page.lineTo(9.5, 1.5);
            page.lineTo(13.5, 5.5);
            page.lineTo(13.5, 14.5);
            page.lineTo(3.5, 14.5);
            page.closeSubpath();
            p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
            p.setBrush(Qt::white);
            p.drawPath(page);
            p.setBrush(QColor(0xE0, 0xE0, 0xE0));
            p.drawPolygon(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 5.5), QPointF(13.5, 5.5)}));
        },
        16);
    return icon;
}

QIcon FallbackFolderIcon() {
    static const QIcon icon = Draw([](QPainter& p) { Folder(p, QRectF(1.5, 2.5, 13, 11)); }, 16);
    return icon;
}

}  // namespace dorvel::ui
