// The runtime interface speaks UTF-8; Win32 speaks UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace norvane::win32 {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view utf16);

}  // namespace norvane::win32
