#pragma once
// The address file is written in a Ukrainian DOS code page; the program
// shows and stores Windows-1251. Both stages keep the text's length.

#include <string>
#include <string_view>

namespace dorvel::core {

// CP866 to Windows-1251, then the Ukrainian fix-up.
std::string DosToWindows(std::string_view line);

// Replaces the five byte values that the Russian conversion gives for
// Ukrainian letters; each byte is looked at once.
void FixUkrainianLetters(std::string& text);

}  // namespace dorvel::core
