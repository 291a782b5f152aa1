// Code-page and error conversions of the Windows file layer.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "core/NativeWindows.h"

#include <windows.h>

#include <cerrno>

namespace pamiro::native {

std::wstring Wide(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int count = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), count);
    return wide;
}

bool Narrow(std::wstring_view wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    // A UTF-8 system code page takes neither the flag nor the question.
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    BOOL* ask = utf8 ? nullptr : &lossy;
    const int count =
        ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, ask);
    bytes.resize(static_cast<std::size_t>(count));
    ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, bytes.data(), count, nullptr, ask);
    return count > 0 && !lossy;
}

std::string BytesOf(std::wstring_view wide, unsigned codePage) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int count =
        ::WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(count), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), size, bytes.data(), count, nullptr, nullptr);
    return bytes;
}

int ErrnoOf(unsigned long code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NOT_READY:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_PRIVILEGE_NOT_HELD:
            return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_CANT_RESOLVE_FILENAME:
            return ELOOP;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        default:
            return EIO;
    }
}

int LastErrno() { return ErrnoOf(::GetLastError()); }

void Handle::Close() {
    if (Valid()) ::CloseHandle(value);
    value = InvalidHandle();
}

}  // namespace pamiro::native
