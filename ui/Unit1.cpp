#include "ui/Unit1.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/CheckListBox.h"

namespace dorvel::ui {

TForm1::TForm1(platform::Platform& platform, core::Messages& messages, QWidget* parent)
    : QWidget(parent), platform_(platform), messages_(messages) {
    setWindowTitle(QStringLiteral("."));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);
    const core::SettingsRecord design;
    move(design.left, design.top);
    resize(design.width, design.height);

    Panel1 = new QWidget;
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    ToolBar1 = new QToolBar(Panel1);
    ToolBar1->setFixedHeight(43);
    ToolBar1->setIconSize(QSize(32, 32));
    panelLayout->addWidget(ToolBar1);
    CheckListBox1 = new CheckListBox(Panel1);
    panelLayout->addWidget(CheckListBox1, 1);

    lettersArea = new QFrame;
    static_cast<QFrame*>(lettersArea)->setFrameShape(QFrame::StyledPanel);

    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(lettersArea);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setChildrenCollapsible(false);
    connect(Splitter1, &QSplitter::splitterMoved, this,
            [this](int position, int) { panelWidth_ = position; });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);

    letters_ = core::kDesktopRoot;
    moveDir_ = core::DefaultMoveDir(platform_);
    applyPanelWidth(design.panel1);
    FormCreate();
}

core::SettingsRecord TForm1::currentValues() const {
    core::SettingsRecord r;
    r.top = y();
    r.left = x();
    r.height = height();
    r.width = width();
    r.windowState = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    r.panel1 = panelWidth();
    r.letters = letters_;
    r.postMove = postMove_;
    r.moveDir = moveDir_;
    return r;
}

int TForm1::panelWidth() const { return panelWidth_; }

void TForm1::applyPanelWidth(int width) {
    panelWidth_ = width;
    Splitter1->setSizes({width, std::max(1, this->width() - width)});
}

void TForm1::FormCreate() {
    // Listing never sets a busy cursor here, so nothing maps it away.
    const core::SettingsFile settings(platform_);
    const core::SettingsRecord stored = settings.ReadSettings(currentValues());
    move(stored.left, stored.top);
    resize(stored.width, stored.height);
    storedWindowState_ = stored.windowState;
    applyPanelWidth(stored.panel1);
    letters_ = stored.letters;
    postMove_ = stored.postMove;
    moveDir_ = stored.moveDir;

    core::RecipientLoad load = core::LoadRecipients(platform_, messages_);
    if (!load.ok) {
        startFailed_ = true;
        return;
    }
    mailDirectory_ = std::move(load.mailDirectory);
    recipients_ = std::move(load.recipients);
    // The ticks are restored even after a read error, so that the exit does
    // not write the recipients read so far back as unticked.
    for (core::Recipient& r : recipients_) r.ticked = settings.ReadTick(r.line);
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
}

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    try {
        core::SettingsFile settings(platform_);
        settings.WriteSettings(currentValues(), isMaximized());
        for (const core::Recipient& r : recipients_) settings.WriteTick(r.line, r.ticked);
        settings.Save();
    } catch (const core::PlatformError& e) {
        messages_.platformError(e.what());
    }
}

}  // namespace dorvel::ui
