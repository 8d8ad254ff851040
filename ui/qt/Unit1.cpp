#include "ui/qt/Unit1.h"

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

#include "core/DeletedFilesMover.h"
#include "core/FileBrowser.h"
#include "core/LettersWatch.h"
#include "core/MailSending.h"
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
      runner_(new EventLoopRunner(platform, this)) {
    // Read while the controls are built; applied where the start reaches each.
    auto reading = StartReadingAtStart(platform_);
    setWindowTitle(QStringLiteral("."));
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
        bar->addWidget(b);
        return b;
    };
    ToolButton1 = button(SendIcon(), QStringLiteral("Отправить файл на выбранные адреса"));
    ToolButton2 = button(DeleteIcon(), QStringLiteral("Удалить файл"));
    ToolButton4 = button(DeletedFilesIcon(), QStringLiteral("Просмотреть удалённые файлы"));
    ToolButton3 = button(SettingsIcon(), QStringLiteral("Настройки"));
    bar->addStretch(1);
    connect(ToolButton1, &QToolButton::clicked, this, &TForm1::N3Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TForm1::ToolButton2Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TForm1::ToolButton4Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TForm1::ToolButton3Click);
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
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    setWindowIcon(WindowIcon());
    applyPanelWidth(design.panel1);
    ShellListView::LoadTypes();
    startupReads_ = reading.get();
    FormCreate();
    // The progress window comes right after the main window, hidden.
    if (!startFailed_) Form3 = new TForm3(this);
}

void TForm1::showPlatformError(const core::PlatformError& error) {
    messages_.platformError(error.what());
}

void TForm1::ToolButton3Click() { Form2->ShowSettings(mailDirectory_, *ShellListView1); }

void TForm1::N3Click() {
    // What the operation leaves in the folder text is written back even when
    // it stops with an error midway.
    std::string folder = Form2->deletedFilesFolder();
    try {
        folder = core::SendSelected(ShellListView1->SelectedEntry(), recipients_, mailDirectory_,
                                    Form2->deleteAfterSending(), folder, *Form3, *runner_,
                                    platform_, messages_);
    } catch (const core::PlatformError& e) {
        Form2->setDeletedFilesFolder(folder);
        showPlatformError(e);
        return;
    }
    Form2->setDeletedFilesFolder(folder);
}

void TForm1::ToolButton2Click() {
    const std::string before = Form2->deletedFilesFolder();
    try {
        Form2->setDeletedFilesFolder(core::MoveToDeleted(ShellListView1->SelectedEntry(), before,
                                                         *Form3, platform_, messages_));
    } catch (const core::PlatformError& e) {
        showPlatformError(e);
    }
}

void TForm1::ToolButton4Click() { ShowDeletedFolder(); }

void TForm1::ShowDeletedFolder() {
    const std::string folder = Form2->deletedFilesFolder();
    if (!platform_.start(core::FileBrowserCommand(platform_, folder))) {
        messages_.error("Не могу показать директорию " + folder);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A send waiting on the mail tool stops waiting; the window closes now.
    runner_->stopWaiting();
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void TForm1::Timer1Timer() {
    try {
        if (core::OnWatchTick(ShellListView1->listing(), ShellListView2)) ShellListView1->Relist();
    } catch (const core::PlatformError& e) {
        showPlatformError(e);
    }
}

core::SettingsRecord TForm1::currentValues() const {
    core::SettingsRecord r;
    r.top = y();
    r.left = x();
    // The frame's size, as Top and Left are the frame's position: a Windows
    // build reading the same file opens the same window.
    r.height = frameGeometry().height();
    r.width = frameGeometry().width();
    r.windowState = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    r.panel1 = panelWidth();
    // The stored folder survives a start without it, unless a root was set.
    r.letters = !storedLetters_.empty() && ShellListView1->root() == rootAtStart_
                    ? storedLetters_
                    : ShellListView1->root();
    // The dialog's controls are the live store of these two.
    r.postMove = Form2 != nullptr ? Form2->deleteAfterSending() : false;
    r.moveDir = Form2 != nullptr ? Form2->deletedFilesFolder() : core::DefaultMoveDir(platform_);
    return r;
}

int TForm1::panelWidth() const { return panelWidth_; }

void TForm1::applyPanelWidth(int width) {
    panelWidth_ = width;
    Splitter1->setSizes({width, std::max(1, this->width() - width)});
}

void TForm1::FormCreate() {
    // Listing never sets a busy cursor here, so nothing maps it away.
    const std::unique_ptr<core::StartupReads> reads = std::move(startupReads_);
    const core::SettingsRecord stored = reads->settings.ReadSettings(currentValues());
    settingsReadFailed_ = reads->settings.readFailed();
    reads->settingsMessages.showTo(messages_);
    core::ScreenRect frame{stored.left, stored.top, stored.width, stored.height};
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableVirtualGeometry();
        frame = core::ReachableFrame(frame, {area.x(), area.y(), area.width(), area.height()});
    }
    move(frame.left, frame.top);
    // Until the frame is known, the client area takes the whole stored size.
    resize(frame.width, frame.height);
    outerSizeToApply_ = QSize(frame.width, frame.height);
    storedWindowState_ = stored.windowState;
    applyPanelWidth(stored.panel1);
    if (!reads->letters.empty() && reads->letters == stored.letters) {
        if (reads->listingError) {
            showPlatformError(core::PlatformError(*reads->listingError));
        } else {
            ShellListView1->adoptListing(reads->listing);
        }
    } else if (const auto info = platform_.inspect(stored.letters); info && info->isFolder) {
        try {
            ShellListView1->setRoot(stored.letters);
        } catch (const core::PlatformError& e) {
            showPlatformError(e);
        }
    } else if (stored.letters != ShellListView1->root()) {
        storedLetters_ = stored.letters;
    }
    rootAtStart_ = ShellListView1->root();
    ShellListView1->ensureListed();
    Form2 = new TForm2(platform_, messages_, this);
    Form2->setDeleteAfterSending(stored.postMove);
    Form2->setDeletedFilesFolder(stored.moveDir);

    reads->recipientMessages.showTo(messages_);
    if (!reads->recipients.ok) {
        startFailed_ = true;
        return;
    }
    mailDirectory_ = std::move(reads->recipients.mailDirectory);
    recipients_ = std::move(reads->recipients.recipients);
    CheckListBox1->setRecipients(&recipients_);
}

void TForm1::showInStoredState() {
    switch (storedWindowState_) {
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
    if (applyOuterSize() || !outerSizeToApply_) return;
    // The window manager tells the frame's extents some moments after the
    // window is shown; a desktop without frames never does.
    frameWatch_ = new QTimer(this);
    frameWatch_->setInterval(20);
    connect(frameWatch_, &QTimer::timeout, this, [this, tries = 0]() mutable {
        if (applyOuterSize() || ++tries == 150) {
            outerSizeToApply_.reset();
            frameWatch_->deleteLater();
            frameWatch_ = nullptr;
        }
    });
    frameWatch_->start();
}

bool TForm1::applyOuterSize() {
    if (!outerSizeToApply_ || windowState() != Qt::WindowNoState) return false;
    const QSize frame = frameGeometry().size() - size();
    if (frame.isNull()) return false;
    resize(*outerSizeToApply_ - frame);
    outerSizeToApply_.reset();
    return true;
}

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // First, so that no tick runs while the program ends.
    delete Timer1;
    Timer1 = nullptr;
    try {
        core::SaveAtExit(platform_, currentValues(), isMaximized(), recipients_,
                         settingsReadFailed_);
    } catch (const core::PlatformError& e) {
        showPlatformError(e);
    }
}

}  // namespace dorvel::ui
