#pragma once
// Windows command lines: a program reads its arguments back from one text,
// by the rules of the C runtime's parser.

#include <string>
#include <string_view>
#include <vector>

namespace dorvel::platform {

// One argument quoted so that the Windows C runtime reads it back unchanged.
std::string QuotedWindowsArgument(std::string_view argument);

// The arguments joined by blanks, each quoted only where it must be (empty,
// or holding a blank, a tab or a double quote).
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

}  // namespace dorvel::platform
