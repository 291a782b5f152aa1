#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Shared by the Windows files of the file layer only: names between the ANSI
// code page and UTF-16, and the system's errors as errno values.
namespace pamiro::native {

// Bytes of the ANSI code page as UTF-16.
std::wstring Wide(std::string_view bytes);
// The code-page bytes of a name; false when some character has none (no
// best-fit guess: a look-alike could turn into a separator or another name).
bool Narrow(std::wstring_view wide, std::string& bytes);
// Unlike Narrow, never refuses: what the lists show is shown even when a
// character has no byte in the code page (the system puts its own in place).
// codePage is a Windows code page number (CP_ACP is 0).
std::string BytesOf(std::wstring_view wide, unsigned codePage = 0);

// The errno value of a Windows error code, EIO when none fits.
int ErrnoOf(unsigned long code);
// ErrnoOf(GetLastError()).
int LastErrno();

// Closes a handle when it goes out of scope (a HANDLE is a void*; no
// Windows header is included here).
struct Handle {
    void* value = InvalidHandle();
    Handle() = default;
    explicit Handle(void* handle) : value(handle) {}
    ~Handle() { Close(); }
    Handle(Handle&& other) noexcept : value(other.Release()) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Close();
            value = other.Release();
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool Valid() const { return value != InvalidHandle() && value != nullptr; }
    void* Release() {
        void* const handle = value;
        value = InvalidHandle();
        return handle;
    }
    void Close();
    // INVALID_HANDLE_VALUE.
    static void* InvalidHandle() { return reinterpret_cast<void*>(static_cast<std::intptr_t>(-1)); }
};

}  // namespace pamiro::native
