#include "app/SystemErrorText.h"

#include <cerrno>
#include <utility>

namespace pamiro {

namespace {

// The failures a user can act on; the rest are rare enough for the number.
constexpr std::pair<int, const char*> kTexts[] = {
    {EACCES, "Permiso denegado"},
    {EPERM, "Permiso denegado"},
    {ENOTDIR, "No es una carpeta"},
    {ENOSPC, "No queda espacio en el disco"},
#ifdef EDQUOT
    {EDQUOT, "No queda espacio en el disco"},
#endif
    {EROFS, "Sistema de archivos de solo lectura"},
    {ENOENT, "No existe el archivo o la carpeta"},
    {EISDIR, "Es una carpeta"},
    {ELOOP, "Demasiados niveles de enlaces"},
    {EMLINK, "Demasiados enlaces"},
};

}  // namespace

std::string SpanishErrorText(int errnoValue) {
    for (const auto& [value, text] : kTexts) {
        if (value == errnoValue) return text;
    }
    return "Error del sistema " + std::to_string(errnoValue);
}

}  // namespace pamiro
