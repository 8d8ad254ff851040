#include "core/DeletedFilesMover.h"

#include "core/IntegerText.h"
#include "core/PathRules.h"

namespace dorvel::core {

std::string_view ExtensionOf(std::string_view path) { return PathRules::Host().extension(path); }

std::string MakeUniqueTarget(std::string target, const platform::Platform& platform) {
    while (platform.isFile(target)) {
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
        messages.information("Выберите файл для удаления");
        return deletedFilesFolder;
    }
    progress.SetCaption("Перемещается файл");
    progress.SetFileLine(entry->fullPath);
    if (!platform.isDirectory(deletedFilesFolder)) {
        if (const int error = platform.createDirectory(deletedFilesFolder); error != 0) {
            throw PlatformError(IoErrorText(error));
        }
    }
    deletedFilesFolder = PathRules::Host().withSeparator(std::move(deletedFilesFolder));
    const std::string target = MakeUniqueTarget(
        deletedFilesFolder + std::string(PathRules::Host().fileNamePart(entry->fullPath)),
        platform);
    progress.SetRecipientLine(target);
    progress.Show();
    // A failed move leaves the letter where it was; it is not reported.
    platform.moveNoReplace(entry->fullPath, target);
    progress.Close();
    return deletedFilesFolder;
}

}  // namespace dorvel::core
