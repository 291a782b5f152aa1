#include "core/FileError.h"

#include <cerrno>

namespace pamiro {

std::string ErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT:
            return "no existe el archivo o la carpeta";
        case ENOTDIR:
            return "una parte de la ruta no es una carpeta";
        case EISDIR:
            return "es una carpeta";
        case EACCES:
        case EPERM:
            return "permiso denegado";
        case ENOSPC:
            return "no queda espacio en el disco";
#ifdef EDQUOT
        case EDQUOT:
            return "cuota de disco agotada";
#endif
        case EROFS:
            return "sistema de archivos de solo lectura";
        case ELOOP:
            return "es un enlace simbólico";
        case EEXIST:
            return "ya existe";
        case EIO:
            return "error de entrada/salida";
        case EMFILE:
        case ENFILE:
            return "demasiados archivos abiertos";
        case ENAMETOOLONG:
            return "nombre demasiado largo";
        case EINVAL:
            return "no es un archivo normal";
        case 0:
            return "error desconocido";
        default:
            return "error del sistema " + std::to_string(errorNumber);
    }
}

}  // namespace pamiro
