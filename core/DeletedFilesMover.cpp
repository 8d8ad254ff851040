#include "core/DeletedFilesMover.h"
#include "core/Texts.h"

#include "core/IntegerText.h"
#include "core/PathRules.h"

namespace dorvel::core {

std::string_view ExtensionOf(std::string_view path) { return PathRules::Host().extension(path); }

std::string MakeUniqueTarget(std::string target, const platform::Platform& platform) {
    // Any name that is there and is not a folder is taken.
    for (auto info = platform.inspect(target); info && !info->isFolder;
         info = platform.inspect(target)) {
        const std::string ext(ExtensionOf(target));
        std::string stem = target.substr(0, target.size() - ext.size());
        const std::string_view num = ExtensionOf(stem);
        std::int64_t n = 0;
        if (!num.empty()) {
            // A middle part that is no number is part of the name, and the
            // counter starts after it: my.report.doc gives my.report.1.doc.
            if (const auto value = ParseInteger(num.substr(1))) {
                n = *value;
                stem.resize(stem.size() - num.size());
            }
        }
        stem += '.';
        stem += std::to_string(n + 1);
        stem += ext;
        target = std::move(stem);
    }
    return target;
}

std::string MoveToDeleted(const std::optional<FolderEntry>& entry, std::string deletedFilesFolder,
                          Progress& progress, platform::Platform& platform, Messages& messages) {
    if (!entry) {
        messages.information(texts::kChooseFileToDelete);
        return deletedFilesFolder;
    }
    progress.SetCaption(texts::kMovingCaption);
    progress.SetFileLine(entry->fullPath);
    if (const auto info = platform.inspect(deletedFilesFolder); !info || !info->isFolder) {
        if (const auto made = platform.createFolder(deletedFilesFolder); !made) {
            throw PlatformError(IoErrorText(made.code()));
        }
    }
    deletedFilesFolder = PathRules::Host().withSeparator(std::move(deletedFilesFolder));
    const std::string target = MakeUniqueTarget(
        deletedFilesFolder + std::string(PathRules::Host().fileNamePart(entry->fullPath)),
        platform);
    progress.SetRecipientLine(target);
    progress.Show();
    // A failed move leaves the letter where it was; it is not reported.
    (void)platform.move(entry->fullPath, target);
    progress.Close();
    return deletedFilesFolder;
}

}  // namespace dorvel::core
