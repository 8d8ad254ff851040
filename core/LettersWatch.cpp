#include "core/LettersWatch.h"

namespace dorvel::core {

bool OnWatchTick(const FolderListing& letters, FolderListing& shadow) {
    // The displayed folder rather than the root: after the operator enters a
    // subfolder, comparing it with the root would re-list it every second.
    shadow.showPlace(letters.place());
    return !shadow.sameEntriesAs(letters);
}

}  // namespace dorvel::core
