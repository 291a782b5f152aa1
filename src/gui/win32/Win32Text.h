#pragma once

#include <string>
#include <string_view>

namespace pamiro::win32 {

// The window model speaks UTF-8; the Win32 functions take UTF-16.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace pamiro::win32
