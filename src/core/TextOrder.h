#pragma once

#include <string_view>

namespace pamiro {

// Ordered as if the letters A to Z were a to z (bytes compared unsigned), the
// order in which EqualIgnoringAsciiCase (core/Text.h) tells names apart.
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace pamiro
