#include "core/LettersWatch.h"

namespace dorvel::core {

bool OnWatchTick(const FolderListing& letters, FolderListing& shadow) {
    // The displayed folder rather than the root: after the operator enters a
    // subfolder, comparing it with the root would re-list it every second.
    shadow.showPlace(letters.place());
    return !shadow.sameEntriesAs(letters);
}

bool LettersWatch::tick(const FolderListing& letters, FolderListing& shadow) {
    const FolderPlace& place = letters.place();
    if (watched_ != place) {
        // The notice begins before the comparison, so that nothing falls
        // between the two.
        notice_ = place.outside ? nullptr : platform_.noticeChanges(place.folder);
        watched_ = place;
    } else if (notice_ != nullptr && !notice_->changed()) {
        return false;
    }
    return OnWatchTick(letters, shadow);
}

void LettersWatch::stop() {
    notice_.reset();
    watched_.reset();
}

}  // namespace dorvel::core
