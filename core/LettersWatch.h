#pragma once
// The letters view does not follow its folder by itself: once a second the
// shadow listing lists the same folder, and only a difference re-lists the
// view, so an unchanged folder keeps its selection and scroll position.
// Where the system tells of a folder's changes, the shadow lists it only
// when told, which keeps a quiet folder of 100,000 letters nearly free.

#include <memory>
#include <optional>

#include "core/FolderListing.h"
#include "platform/Platform.h"

namespace dorvel::core {

// Lists the folder the letters view displays in the shadow listing and
// tells whether the letters view must be re-listed.
bool OnWatchTick(const FolderListing& letters, FolderListing& shadow);

class LettersWatch {
public:
    explicit LettersWatch(platform::Platform& platform) : platform_(platform) {}

    // OnWatchTick, skipped while the displayed folder's notice is quiet. A
    // folder newly displayed is always compared once: the view may have
    // listed it before its notice began. Outside the file system, and on a
    // network share, every tick compares.
    bool tick(const FolderListing& letters, FolderListing& shadow);

    // Lets go of the folder (its notice holds it open on Windows).
    void stop();

private:
    platform::Platform& platform_;
    std::optional<FolderPlace> watched_;
    std::unique_ptr<platform::FolderNotice> notice_;
};

}  // namespace dorvel::core
