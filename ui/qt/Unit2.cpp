#include "ui/qt/Unit2.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>

#include "core/Texts.h"
#include "ui/qt/FolderTree.h"
#include "ui/qt/LettersView.h"
#include "ui/qt/PathText.h"

namespace dorvel::ui {
namespace {

QString FromPath(const std::string& path) { return ShownPath(path); }
std::string ToPath(const QString& text) { return PathBytes(text); }

QFont Font(int pixels, bool bold, bool italic) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void Colour(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(role, colour);
    w->setPalette(p);
}

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);

QLabel* Caption(const QString& text, QWidget* parent, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setFont(Font(13, true, false));
    Colour(label, QPalette::WindowText, kMaroon);
    // Sized wide enough here; measuring the text would load its font at
    // start-up for a dialog that may never open.
    label->setGeometry(x, y, 337, 17);
    return label;
}

QLineEdit* FolderField(QWidget* parent, int y) {
    auto* field = new QLineEdit(parent);
    field->setFont(Font(11, false, true));
    Colour(field, QPalette::Text, kGreen);
    field->setGeometry(16, y, 337, 21);
    return field;
}

}  // namespace

TForm2::TForm2(platform::Platform& platform, core::Messages& messages, QWidget* owner)
    : QDialog(owner), form_(platform, messages, *this) {
    using namespace core::texts;
    setWindowTitle(QString::fromUtf8(kSettingsCaption));
    setFixedSize(524, 295);
    move(328, 287);
    setModal(true);

    Label1 = Caption(QString::fromUtf8(kMailVariableLabel), this, 16, 24);
    Label3 = new QLabel(this);
    Label3->setTextFormat(Qt::PlainText);  // a folder path, never markup
    Label3->setFont(Font(11, false, false));
    Label3->setGeometry(16, 48, 337, 16);
    Label2 = Caption(QString::fromUtf8(kLettersFolderLabel), this, 16, 80);
    Edit1 = FolderField(this, 104);
    Label4 = Caption(QString::fromUtf8(kDeletedFilesLabel), this, 16, 144);
    letters_save = FolderField(this, 168);
    CheckBox1 = new QCheckBox(QString::fromUtf8(kDeleteAfterSendingLabel), this);
    CheckBox1->setFont(Font(13, true, false));
    Colour(CheckBox1, QPalette::WindowText, kMaroon);
    CheckBox1->setGeometry(16, 224, 297, 17);
    Button2 = new QPushButton(QString::fromUtf8(kFinishButton), this);
    Button2->setGeometry(280, 256, 75, 25);
    // Enter closes only from the button itself.
    Button2->setAutoDefault(false);
    Button2->setDefault(false);
    ShellTreeView1 = new FolderTree(platform, this);
    ShellTreeView1->setGeometry(524 - 161, 0, 161, 295);

    // The fields are named by their captions, for screen readers.
    Label2->setBuddy(Edit1);
    Label4->setBuddy(letters_save);
    setTabOrder(Edit1, letters_save);
    setTabOrder(letters_save, CheckBox1);
    setTabOrder(CheckBox1, ShellTreeView1);
    setTabOrder(ShellTreeView1, Button2);

    Edit1->installEventFilter(this);
    Button2->installEventFilter(this);
    letters_save->installEventFilter(this);
    ShellTreeView1->onChange = [this] { form_.ShellTreeView1Change(); };
    ShellTreeView1->onError = [&messages](const std::string& text) {
        messages.platformError(text);
    };
    connect(Button2, &QPushButton::clicked, this, [this] {
        if (FormClose()) done(QDialog::Accepted);
    });
}

std::string TForm2::deletedFilesFolder() const { return text(Field::DeletedFiles); }
void TForm2::setDeletedFilesFolder(const std::string& folder) {
    setText(Field::DeletedFiles, folder);
}
bool TForm2::deleteAfterSending() const { return CheckBox1->isChecked(); }
void TForm2::setDeleteAfterSending(bool on) { CheckBox1->setChecked(on); }

void TForm2::prepare(const std::string& mailDirectory, core::LettersView& lettersView) {
    mailDirectory_ = mailDirectory;
    lettersView_ = &lettersView;
}

void TForm2::ShowSettings(const std::string& mailDirectory, core::LettersView& lettersView) {
    prepare(mailDirectory, lettersView);
    exec();
}

QWidget* TForm2::control(core::SettingsForm::Control which) const {
    return tabOrder()[static_cast<std::size_t>(which)];
}

std::array<QWidget*, 5> TForm2::tabOrder() const {
    return {Edit1, letters_save, CheckBox1, ShellTreeView1, Button2};
}

void TForm2::setVisible(bool visible) {
    if (!visible || isVisible()) {
        QDialog::setVisible(visible);
        return;
    }
    // The focus is placed before the activation. Showing a dialog hands its
    // focus widget a focus event of its own, which is no entering: the
    // field's handler runs here instead.
    QWidget* target = control(form_.focusOnOpening());
    target->setFocus(Qt::OtherFocusReason);
    opening_ = true;
    QDialog::setVisible(true);
    opening_ = false;
    if (target == Edit1) {
        form_.Edit1Enter();
    } else if (target == letters_save) {
        form_.letters_saveEnter();
    }
    form_.FormActivate(mailDirectory_,
                       lettersView_ != nullptr ? lettersView_->root() : text(Field::Letters));
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && isVisible() && !opening_) {
        // Only the operator enters a field; the placement on opening has run
        // its handler already, and a window regaining activation enters none.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
            if (watched == Edit1) form_.Edit1Enter();
            if (watched == letters_save) form_.letters_saveEnter();
        }
    }
    if (watched == Button2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Button2->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::string TForm2::text(Field field) const {
    if (field == Field::Tree) return ShellTreeView1->selectedPath();
    if (field == Field::MailDirectory) return ToPath(Label3->text());
    return ToPath(folderField(field)->text());
}

void TForm2::setText(Field field, const std::string& text) {
    if (field == Field::Tree) {
        ShellTreeView1->setSelectedPath(text);
    } else if (field == Field::MailDirectory) {
        Label3->setText(FromPath(text));
    } else {
        folderField(field)->setText(FromPath(text));
    }
}

QLineEdit* TForm2::folderField(Field field) const {
    return field == Field::Letters ? Edit1 : letters_save;
}

bool TForm2::FormClose() {
    const auto order = tabOrder();
    const auto at = std::find(order.begin(), order.end(), focusWidget());
    const auto focus = at == order.end()
                           ? core::SettingsForm::Control::LettersField
                           : static_cast<core::SettingsForm::Control>(at - order.begin());
    // Without a letters view (a dialog made but never shown), there is no
    // root to set.
    return form_.FormClose(
        [this](const std::string& text) {
            if (lettersView_ != nullptr) lettersView_->setRoot(text);
        },
        focus);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    // Escape does not close this dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

}  // namespace dorvel::ui
