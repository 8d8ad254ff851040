#pragma once
// The program keeps text in UTF-8; the system's wide calls take UTF-16.

#include <string>
#include <string_view>

namespace dorvel::platform {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace dorvel::platform
