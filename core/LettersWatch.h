#pragma once
// The letters view does not follow its folder by itself: once a second the
// shadow listing lists the same folder, and only a difference re-lists the
// view, so an unchanged folder keeps its selection and scroll position.

#include "core/FolderListing.h"

namespace dorvel::core {

// Lists the folder the letters view displays in the shadow listing and
// tells whether the letters view must be re-listed.
bool OnWatchTick(const FolderListing& letters, FolderListing& shadow);

}  // namespace dorvel::core
