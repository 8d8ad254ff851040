#pragma once
// Small steps that the Windows moves and saves share.

#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace dorvel::platform {

// The calling thread's last error as a Status.
Status LastError();

// The folder part of a path, its separator included; empty for a bare name.
std::wstring FolderPartOf(const std::wstring& path);

// Flags an open file (opened with DELETE access) to go when its last handle
// closes, or takes that back. A killed process closes its handles, so a
// flagged temporary never outlives the work it was made for.
bool GoesOnClose(HANDLE file, bool goes);

// Removes the files of the folder whose names match the pattern and that
// nobody holds: a live move or save holds its temporary without sharing
// delete, a killed one's is left for this.
void RemoveLeftovers(const std::wstring& folder, const std::wstring& pattern);

}  // namespace dorvel::platform
