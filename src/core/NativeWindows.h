#pragma once

#include <string>
#include <string_view>

// Shared by the Windows files of the file layer only.
namespace pamiro::native {

// Bytes of the ANSI code page as UTF-16.
std::wstring Wide(std::string_view bytes);
// The code-page bytes of a name; false when some character has none (no
// best-fit guess: a look-alike could turn into a separator or another name).
bool Narrow(std::wstring_view wide, std::string& bytes);

}  // namespace pamiro::native
