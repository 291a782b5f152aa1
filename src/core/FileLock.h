#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pamiro {

// A file whose lock is held while the object lives, with the platform's own
// locking: an advisory lock (flock) on POSIX, a handle that shares nothing on
// Windows. Another process, or another FileLock in this one, cannot take it
// meanwhile; a process that dies lets it go.
class FileLock {
  public:
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates path as a new file and holds its lock from the first moment, so
    // nobody sees it unlocked. Null with error set when it exists or cannot be
    // made.
    static std::unique_ptr<FileLock> Create(const std::string& path, int& error);
    // Holds the lock of the plain file at path (a link is not followed). Null
    // with error set: EWOULDBLOCK while somebody else holds it, ENOENT when
    // nothing is there, another errno value otherwise.
    static std::unique_ptr<FileLock> Take(const std::string& path, int& error);

    bool Write(std::string_view text);
    // Up to limit bytes from the start; empty on a read error.
    std::string Read(std::size_t limit);

  private:
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
};

// Gives the file at to the permission bits of the plain file at from (and,
// where the process may, its owner and group), so that a file replacing
// another is no more readable than the one it replaces. Nothing happens when
// from is no plain file; on Windows, where files inherit their folder's
// access, nothing to do.
void KeepPermissions(const std::string& from, const std::string& to);

// Whether the file system tells apart names that differ only in case, as
// seen from the platform: false on Windows.
bool NamesTellCaseApart();

}  // namespace pamiro
