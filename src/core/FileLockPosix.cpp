#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/FileLock.h"

namespace pamiro {

FileLock::~FileLock() { ::close(static_cast<int>(handle_)); }

std::unique_ptr<FileLock> FileLock::Create(const std::string& path, int& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    std::unique_ptr<FileLock> lock(new FileLock(fd));
    // Somebody who opened the new file in the meantime found it empty, so
    // unmarked, and lets it go at once: waiting for that is safe.
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error = errno;
            return nullptr;
        }
    }
    return lock;
}

std::unique_ptr<FileLock> FileLock::Take(const std::string& path, int& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    std::unique_ptr<FileLock> lock(new FileLock(fd));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = EINVAL;
        return nullptr;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EAGAIN ? EWOULDBLOCK : errno;
        return nullptr;
    }
    return lock;
}

bool FileLock::Write(std::string_view text) {
    const int fd = static_cast<int>(handle_);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

std::string FileLock::Read(std::size_t limit) {
    std::string text(limit, '\0');
    const ssize_t got = ::pread(static_cast<int>(handle_), text.data(), limit, 0);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

void KeepPermissions(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    // Owner and group first: a change of owner may clear the set-id bits.
    if (::lchown(to.c_str(), st.st_uid, st.st_gid) != 0) {
        // Only a privileged process may give a file away; the bits still count.
    }
    if (::chmod(to.c_str(), st.st_mode & 07777) != 0) {
        // The new file keeps the usual default; nothing more can be done.
    }
}

bool NamesTellCaseApart() { return true; }

}  // namespace pamiro
