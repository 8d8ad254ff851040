#include "ui/qt/Unit3.h"
#include "ui/qt/PathText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include "core/Texts.h"

namespace dorvel::ui {
namespace {

constexpr int kFrames = 34;
constexpr int kAnimationLeft = 224;

QLabel* Line(QWidget* parent, int y, const QString& text, bool bold, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPixelSize(13);
    font.setBold(bold);
    font.setItalic(!bold);
    label->setFont(font);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    // The animation covers everything right of it: a long line ends there.
    label->setGeometry(8, y, kAnimationLeft - 8, 16);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void DrawFolder(QPainter& p, int x, int y) {
    p.setPen(QColor(0x80, 0x60, 0x00));
    p.setBrush(QColor(0xF0, 0xC8, 0x40));
    p.drawRect(x, y + 6, 44, 30);
    p.drawRect(x, y + 2, 16, 6);
}

}  // namespace

CopyAnimation::CopyAnimation(QWidget* parent) : QWidget(parent), timer_(new QTimer(this)) {
    timer_->setInterval(60);
    connect(timer_, &QTimer::timeout, this, [this] {
        frame_ = frame_ % kFrames + 1;
        update();
    });
}

void CopyAnimation::start() { timer_->start(); }

void CopyAnimation::stop() {
    timer_->stop();
    frame_ = 1;
    update();
}

bool CopyAnimation::running() const { return timer_->isActive(); }

void CopyAnimation::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = width();
    const int h = height();
    DrawFolder(p, 8, h / 2 - 20);
    DrawFolder(p, w - 52, h / 2 - 20);
    // The sheet rises out of one folder and arcs into the other.
    const double t = static_cast<double>(frame_ - 1) / (kFrames - 1);
    const double x = 20 + t * (w - 84);
    const double y = h / 2.0 - 14 - std::sin(t * 3.14159265) * (h / 2.0 - 14);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x, y, 18, 22));
    p.setPen(QColor(0x90, 0x90, 0xC0));
    for (int line = 0; line < 4; ++line)
        p.drawLine(QPointF(x + 3, y + 5 + line * 4), QPointF(x + 15, y + 5 + line * 4));
}

// A fixed dialog-style window: a title and at most a close button, never
// minimise or maximise.
TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setFixedSize(512, 87);
    move(276, 226);
    setModal(false);
    const QColor maroon(0x80, 0x00, 0x00);
    const QColor green(0x00, 0x80, 0x00);
    Label1 = Line(this, 8, QString::fromUtf8(core::texts::kSendingLine), true, maroon);
    Label3 = Line(this, 24, QString(), false, green);
    Label4 = Line(this, 48, QString::fromUtf8(core::texts::kToLine), true, maroon);
    Label2 = Line(this, 64, QString(), false, green);
    Animate1 = new CopyAnimation(this);
    Animate1->setGeometry(kAnimationLeft, 16, 272, 60);
    // It runs from creation on, unseen while the window is hidden.
    Animate1->start();
}

TForm3::~TForm3() { Animate1->stop(); }

void TForm3::SetCaption(const std::string& text) { setWindowTitle(QString::fromStdString(text)); }

void TForm3::SetFileLine(const std::string& text) { Label3->setText(ShownPath(text)); }

void TForm3::SetRecipientLine(const std::string& text) { Label2->setText(ShownPath(text)); }

void TForm3::Show() {
    show();
    raise();
    // A move runs right after this without returning to the event loop: let
    // the window be mapped and painted first, taking no input meanwhile.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && waited.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm3::Close() { hide(); }

}  // namespace dorvel::ui
