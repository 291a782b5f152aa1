#pragma once

#include <string>

namespace pamiro {

// The Spanish text for an errno value, to end a message such as
// "<file>: Permiso denegado". ASCII only, so it reads the same whether a front
// end decodes it as Latin-1 or as UTF-8. A value without its own text gives
// "Error del sistema N".
std::string SpanishErrorText(int errnoValue);

}  // namespace pamiro
