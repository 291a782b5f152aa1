#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cerrno>

#include "core/FileLock.h"
#include "core/NativeWindows.h"

namespace pamiro {

namespace {

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

int LockErrno(DWORD code) {
    switch (code) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EWOULDBLOCK;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        default:
            return EACCES;
    }
}

// A handle that shares nothing is the lock: nobody else can open the file
// while it is open.
HANDLE OpenUnshared(const std::string& path, DWORD disposition, int& error) {
    const HANDLE handle =
        ::CreateFileW(native::Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                      disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) error = LockErrno(::GetLastError());
    return handle;
}

}  // namespace

FileLock::~FileLock() { ::CloseHandle(AsHandle(handle_)); }

std::unique_ptr<FileLock> FileLock::Create(const std::string& path, int& error) {
    const HANDLE handle = OpenUnshared(path, CREATE_NEW, error);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<std::intptr_t>(handle)));
}

std::unique_ptr<FileLock> FileLock::Take(const std::string& path, int& error) {
    const HANDLE handle = OpenUnshared(path, OPEN_EXISTING, error);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    std::unique_ptr<FileLock> lock(new FileLock(reinterpret_cast<std::intptr_t>(handle)));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        error = EINVAL;
        return nullptr;
    }
    return lock;
}

bool FileLock::Write(std::string_view text) {
    DWORD wrote = 0;
    return ::WriteFile(AsHandle(handle_), text.data(), static_cast<DWORD>(text.size()), &wrote,
                       nullptr) &&
           wrote == text.size();
}

std::string FileLock::Read(std::size_t limit) {
    std::string text(limit, '\0');
    OVERLAPPED at{};
    DWORD got = 0;
    if (!::ReadFile(AsHandle(handle_), text.data(), static_cast<DWORD>(limit), &got, &at)) got = 0;
    text.resize(got);
    return text;
}

void KeepPermissions(const std::string& /*from*/, const std::string& /*to*/) {}

bool NamesTellCaseApart() { return false; }

}  // namespace pamiro
