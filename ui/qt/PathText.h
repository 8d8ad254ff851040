#pragma once
// Paths are bytes from the file system to the settings file and back; only
// what is shown on screen is decoded. A byte that is not part of valid UTF-8
// is shown as a lone surrogate (U+DC80 + byte) and turned back into the same
// byte, so a path read from a field or an edited name keeps every byte the
// operator did not touch.

#include <QString>
#include <string>
#include <string_view>

namespace dorvel::ui {

QString ShownPath(std::string_view bytes);
std::string PathBytes(const QString& shown);

}  // namespace dorvel::ui
