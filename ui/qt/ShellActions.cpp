#include "ui/qt/ShellActions.h"
#include "ui/qt/PathText.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>
#include <QVBoxLayout>
#include <ctime>
#include <filesystem>

#include "core/Texts.h"
#include "platform/posix/HomeTrash.h"

namespace dorvel::ui {
namespace {

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

}  // namespace

void CopyToClipboard(const std::string& path, bool cut) {
    auto* data = new QMimeData;
    const QUrl url = QUrl::fromLocalFile(FromPath(path));
    data->setUrls({url});
    // GNOME's and KDE's own ways of telling a cut from a copy.
    data->setData(QStringLiteral("x-special/gnome-copied-files"),
                  QByteArray(cut ? "cut\n" : "copy\n") + url.toEncoded());
    data->setData(QStringLiteral("application/x-kde-cutselection"), cut ? "1" : "0");
    QApplication::clipboard()->setMimeData(data);
}

bool PasteInto(platform::Platform& platform, const std::string& folder, std::string& error) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasUrls()) return false;
    const bool cut = data->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("cut") ||
                     data->data(QStringLiteral("application/x-kde-cutselection")) == "1";
    bool arrived = false;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const std::string source = ToPath(url.toLocalFile());
        const std::string name = source.substr(source.rfind('/') + 1);
        std::string target = folder;
        if (target.back() != '/') target += '/';
        target += name;
        if (platform.inspect(target)) {
            error = "Cannot paste " + name + ": a file of that name exists";
            continue;
        }
        // A cut moves within one file system; across file systems the source
        // stays where it is, since nothing here erases a file.
        if (cut && platform.move(source, target)) {
            arrived = true;
            continue;
        }
        std::error_code failed;
        std::filesystem::copy(source, target, std::filesystem::copy_options::recursive, failed);
        if (failed) {
            error = "Cannot paste " + name + ": " + failed.message();
        } else {
            arrived = true;
        }
    }
    return arrived;
}

std::optional<std::string> MoveToTrash(platform::Platform& platform, const std::string& path) {
    // Not QFile::moveToTrash: without a data folder in the home folder it
    // makes a trash in the current directory, beside the settings file.
    return platform::MoveToTrash(path, platform::HomeTrashFolder(platform.homeFolder()),
                                 std::time(nullptr));
}

void ShowProperties(QWidget* parent, platform::Platform& platform, const core::FolderEntry& entry) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Properties of %1").arg(ShownPath(entry.displayName)));
    auto* form = new QFormLayout;
    const auto details = platform.inspect(entry.fullPath);
    const QMimeDatabase mimes;
    const QMimeType type =
        details && details->isFolder
            ? mimes.mimeTypeForName(QStringLiteral("inode/directory"))
            : mimes.mimeTypeForFile(FromPath(entry.displayName), QMimeDatabase::MatchExtension);
    auto plain = [](const QString& text) {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    form->addRow(QStringLiteral("Name:"), plain(ShownPath(entry.displayName)));
    form->addRow(QStringLiteral("Type:"), plain(type.comment()));
    form->addRow(QStringLiteral("Location:"), plain(ShownPath(FolderOf(entry.fullPath))));
    if (details) {
        if (!details->isFolder) {
            form->addRow(QStringLiteral("Size:"),
                         new QLabel(QStringLiteral("%L1 bytes").arg(details->size)));
        }
        form->addRow(QStringLiteral("Modified:"),
                     new QLabel(QDateTime::fromSecsSinceEpoch(details->modified)
                                    .toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))));
        form->addRow(QStringLiteral("Permissions:"),
                     new QLabel(QString::number(details->permissions, 8).rightJustified(4, '0')));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog.exec();
}

std::optional<std::string> OpenWithDefaultProgram(platform::Platform& platform,
                                                  const std::string& path) {
    // The program starts in the file's folder; our own current directory,
    // where the settings file lives, never changes.
    platform::Command open;
    open.arguments = {"xdg-open", path};
    open.workingDirectory = FolderOf(path);
    if (platform.start(open)) return std::nullopt;
    return core::texts::CannotOpenText(path);
}

}  // namespace dorvel::ui
