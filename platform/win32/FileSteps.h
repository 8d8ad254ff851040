#pragma once
// Small steps that the Windows moves and saves share.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace dorvel::platform {

// A whole path as the system's calls take it without rewriting it: with the
// \\?\ prefix, so that a name ending in dots or blanks, or one that the
// path rules would take for a device (con.doc, nul), names that very file.
// A relative path, or one with . or .. in it, is left to the usual rules.
std::wstring ExactPath(std::string_view utf8);

// Back from ExactPath's form to the ordinary one.
std::wstring WithoutExactPrefix(std::wstring path);

// A path that the ordinary rules read as another file or as a device: a
// part that ends in a dot or a blank, or that is a reserved device name.
bool RewrittenByPathRules(std::wstring_view path);

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
