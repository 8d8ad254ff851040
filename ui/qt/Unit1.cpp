#include "ui/qt/Unit1.h"

#include <QApplication>

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <QCloseEvent>

#include "core/Texts.h"
#include "core/WindowPlacement.h"
#include "ui/qt/Artwork.h"
#include "ui/qt/CheckListBox.h"
#include "ui/qt/EventLoopRunner.h"
#include "ui/qt/LettersView.h"
#include "ui/qt/StartupReading.h"
#include "ui/qt/Unit2.h"
#include "ui/qt/Unit3.h"

namespace dorvel::ui {

TForm1::TForm1(platform::Platform& platform, core::Messages& messages, QWidget* parent)
    : QWidget(parent),
      ShellListView2(platform),
      platform_(platform),
      messages_(messages),
      runner_(new EventLoopRunner(platform, this)),
      form_(platform, messages, *runner_, *this, *this, ShellListView2) {
    // Read while the controls are built; applied where the start reaches each.
    auto reading = StartReadingAtStart(platform_);
    setWindowTitle(QString::fromUtf8(core::texts::kMainCaption));
    // The caption is a full stop; a taskbar that names the window by its icon
    // name shows the program's title, as the Windows taskbar button does.
    setWindowIconText(QApplication::applicationName());
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
    const core::SettingsRecord design;
    move(design.left, design.top);
    resize(design.width, design.height);

    Panel1 = new QWidget;
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    ToolBar1 = new QFrame(Panel1);
    ToolBar1->setFrameShape(QFrame::Panel);  // an edge on all four sides
    ToolBar1->setFrameShadow(QFrame::Raised);
    ToolBar1->setFixedHeight(43);
    auto* bar = new QHBoxLayout(ToolBar1);
    bar->setContentsMargins(1, 1, 1, 1);
    bar->setSpacing(0);
    auto button = [&](const QIcon& icon, const QString& hint) {
        auto* b = new QToolButton(ToolBar1);
        b->setIcon(icon);
        b->setIconSize(QSize(32, 32));
        b->setFixedSize(39, 38);
        b->setAutoRaise(true);
        b->setToolTip(hint);
        // A screen reader's name for a button that shows only a picture.
        b->setAccessibleName(hint);
        bar->addWidget(b);
        return b;
    };
    const QIcon icons[] = {SendIcon(), DeleteIcon(), SettingsIcon(), DeletedFilesIcon()};
    QToolButton* made[4] = {};
    for (int i = 0; i < 4; ++i) {
        const auto& b = core::texts::kToolbar[i];
        made[i] = button(icons[b.image], QString::fromUtf8(b.hint));
        connect(made[i], &QToolButton::clicked, this, [this, command = b.command] {
            switch (command) {
                case core::texts::Command::Send:
                    form_.N3Click();
                    break;
                case core::texts::Command::Delete:
                    form_.ToolButton2Click();
                    break;
                case core::texts::Command::ShowDeleted:
                    form_.ToolButton4Click();
                    break;
                case core::texts::Command::Settings:
                    form_.ToolButton3Click();
                    break;
            }
        });
    }
    ToolButton1 = made[0];
    ToolButton2 = made[1];
    ToolButton4 = made[2];
    ToolButton3 = made[3];
    bar->addStretch(1);
    panelLayout->addWidget(ToolBar1);
    CheckListBox1 = new CheckListBox(Panel1);
    panelLayout->addWidget(CheckListBox1, 1);

    ShellListView1 = new ShellListView(platform_);
    ShellListView1->onError = [this](const std::string& text) { messages_.platformError(text); };

    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(ShellListView1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setChildrenCollapsible(false);
    connect(Splitter1, &QSplitter::splitterMoved, this,
            [this](int position, int) { panelWidth_ = position; });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);

    // Armed as soon as the contents exist, so it ticks under a start-up
    // message too.
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { form_.Timer1Timer(); });
    Timer1->start();

    setWindowIcon(WindowIcon());
    // Ticking comes first, so the keyboard starts there, as on Windows; the
    // window hands it over when it is first activated.
    CheckListBox1->setFocus(Qt::OtherFocusReason);
    applyPanelWidth(design.panel1);
    ShellListView::LoadTypes();
    // Listing never sets a busy cursor here, so nothing maps it away.
    const std::unique_ptr<core::StartupReads> reads = reading.get();
    startFailed_ = !form_.FormCreate(*reads, *ShellListView1);
    // The progress window comes right after the main window, hidden.
    if (!startFailed_) Form3 = new TForm3(this);
}

void TForm1::closeEvent(QCloseEvent* event) {
    form_.closeRequested();
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

std::optional<core::ScreenRect> TForm1::availableArea(const core::ScreenRect&) const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return std::nullopt;
    const QRect area = screen->availableVirtualGeometry();
    return core::ScreenRect{area.x(), area.y(), area.width(), area.height()};
}

void TForm1::applyFrame(const core::ScreenRect& frame) {
    move(frame.left, frame.top);
    // Until the frame is known, the client area takes the whole stored size.
    resize(frame.width, frame.height);
    outerSizeToApply_ = QSize(frame.width, frame.height);
}

core::ScreenRect TForm1::normalFrame() const {
    // The frame's size, as Top and Left are the frame's position: a Windows
    // build reading the same file opens the same window.
    // A stored size still waiting for the frame's extents is what it is.
    const QSize size = outerSizeToApply_.value_or(frameGeometry().size());
    return {x(), y(), size.width(), size.height()};
}

bool TForm1::knowsPosition() const {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

int TForm1::windowState() const { return isMaximized() ? 2 : isMinimized() ? 1 : 0; }

int TForm1::panelWidth() const {
    // What the splitter shows once it has been laid out; before that, what
    // it is to show in the window's width.
    if (Splitter1->isVisible()) return Panel1->width();
    return core::ShownPanelWidth(panelWidth_, width());
}

void TForm1::applyPanelWidth(int width) {
    panelWidth_ = width;
    Splitter1->setSizes({width, std::max(1, this->width() - width)});
}

void TForm1::stopWatch() {
    delete Timer1;
    Timer1 = nullptr;
}

core::SettingsDialog& TForm1::createSettingsDialog() {
    Form2 = new TForm2(platform_, messages_, this);
    return *Form2;
}
void TForm1::showRecipients(std::vector<core::Recipient>& recipients) {
    CheckListBox1->setRecipients(&recipients);
}
core::Progress& TForm1::progress() { return *Form3; }

void TForm1::showInStoredState() {
    switch (form_.storedWindowState()) {
        case 1:
            showMinimized();
            break;
        case 2:
            showMaximized();
            break;
        default:
            show();
            break;
    }
    if (!isMaximized() && !isMinimized() && frameGeometry().size() != size()) {
        applyOuterSize();
    } else {
        watchFrame();
    }
}

void TForm1::watchFrame() {
    if (!outerSizeToApply_ || frameWatch_ != nullptr) return;
    // The window manager tells the frame's extents some moments after the
    // window is shown, and again as it is framed anew; a desktop without
    // frames never does. A window started maximised or minimised has its
    // normal frame only once it is restored, and gets its size then.
    frameWatch_ = new QTimer(this);
    frameWatch_->setInterval(20);
    connect(frameWatch_, &QTimer::timeout, this, [this, tries = 0, last = QSize()]() mutable {
        const bool normal = !isMaximized() && !isMinimized() && !isFullScreen();
        const QSize frame = frameGeometry().size() - size();
        // Settled: the same frame and size at two looks in a row.
        const bool settled = normal && !frame.isNull() && frame + size() == last;
        last = frame + size();
        if (settled) applyOuterSize();
        if (settled || !normal || ++tries == 150) {
            if (normal) outerSizeToApply_.reset();
            frameWatch_->deleteLater();
            frameWatch_ = nullptr;
        }
    });
    frameWatch_->start();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !isMaximized() && !isMinimized()) {
        watchFrame();
    }
    QWidget::changeEvent(event);
}

void TForm1::applyOuterSize() {
    if (!outerSizeToApply_) return;
    const QSize frame = frameGeometry().size() - size();
    resize(*outerSizeToApply_ - frame);
    outerSizeToApply_.reset();
}

void TForm1::FormDestroy() { form_.FormDestroy(); }

}  // namespace dorvel::ui
