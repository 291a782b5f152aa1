#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "core/NativeFile.h"
#include "core/Text.h"

namespace pamiro {

namespace {

// Closes a descriptor when it goes out of scope.
struct Fd {
    int value = -1;
    explicit Fd(int fd) : value(fd) {}
    ~Fd() {
        if (value >= 0) ::close(value);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Release() {
        const int fd = value;
        value = -1;
        return fd;
    }
};

EntryKind KindOf(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) return EntryKind::Link;
    return EntryKind::Other;
}

// The entries of the open folder dir whose names differ from name only in
// ASCII case (name itself left out), with their kind, links followed when
// follow is set.
std::vector<std::pair<std::string, EntryKind>> VariantsIn(int dir, const std::string& name,
                                                          bool follow) {
    std::vector<std::pair<std::string, EntryKind>> found;
    const int copy = ::dup(dir);
    if (copy < 0) return found;
    DIR* listing = ::fdopendir(copy);
    if (listing == nullptr) {
        ::close(copy);
        return found;
    }
    while (const dirent* entry = ::readdir(listing)) {
        if (name == entry->d_name || !EqualIgnoringAsciiCase(name, entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dir, entry->d_name, &st, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0) {
            found.emplace_back(entry->d_name, KindOf(st));
        }
    }
    ::closedir(listing);
    return found;
}

// Names in any case: only when dir holds no entry named name, the one entry
// that differs from it only in ASCII case and is of the wanted kind; name
// itself when there is none or more than one (so the lookup still fails), and
// then the names of those of the wanted kind in ambiguous, when given.
std::string InAnyCase(int dir, const std::string& name, EntryKind wanted, bool follow,
                      std::vector<std::string>* ambiguous = nullptr) {
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT) return name;
    std::vector<std::string> taken;
    for (const auto& [variant, kind] : VariantsIn(dir, name, follow)) {
        if (kind == wanted) taken.push_back(variant);
    }
    if (taken.size() == 1) return taken.front();
    if (ambiguous != nullptr && taken.size() > 1) {
        std::sort(taken.begin(), taken.end());
        *ambiguous = std::move(taken);
    }
    return name;
}

// Opens the folder holding the last part, one component at a time from root,
// so that no link below root is ever crossed. -1 with kind set when a
// component is missing, a link or no folder. A component missing under its
// own name is found in any case (InAnyCase).
int OpenParentBelow(const std::string& root, const std::vector<std::string>& parts,
                    EntryKind& kind) {
    Fd dir(::open(root.empty() ? "/" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.value < 0) {
        kind = EntryKind::Missing;
        return -1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string part = InAnyCase(dir.value, parts[i], EntryKind::Folder, false);
        Fd next(::openat(dir.value, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.value < 0) {
            struct stat st {};
            kind = ::fstatat(dir.value, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
                       ? (S_ISLNK(st.st_mode) ? EntryKind::Link : EntryKind::Other)
                       : EntryKind::Missing;
            return -1;
        }
        std::swap(dir.value, next.value);
    }
    return dir.Release();
}

}  // namespace

std::filesystem::path NativePath(std::string_view bytes) { return std::filesystem::path(bytes); }

std::string PathBytes(const std::filesystem::path& path) { return path.string(); }

EntryKind EntryBelow(const std::string& root, const std::vector<std::string>& parts) {
    struct stat st {};
    if (parts.empty()) {
        return ::stat(root.empty() ? "/" : root.c_str(), &st) == 0 ? KindOf(st)
                                                                   : EntryKind::Missing;
    }
    EntryKind kind = EntryKind::Missing;
    Fd parent(OpenParentBelow(root, parts, kind));
    if (parent.value < 0) return kind;
    const std::string last = InAnyCase(parent.value, parts.back(), EntryKind::File, false);
    if (::fstatat(parent.value, last.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryKind::Missing;
    }
    return KindOf(st);
}

std::vector<std::pair<std::string, EntryKind>> FolderEntries(const std::string& folder) {
    std::vector<std::pair<std::string, EntryKind>> entries;
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            entries.emplace_back(name, KindOf(st));
        }
    }
    ::closedir(dir);
    return entries;
}

EntryKind EntryFollowingLinks(const std::string& folder, const std::string& name) {
    Fd dir(::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.value < 0) return EntryKind::Missing;
    const std::string found = InAnyCase(dir.value, name, EntryKind::File, true);
    struct stat st {};
    return ::fstatat(dir.value, found.c_str(), &st, 0) == 0 ? KindOf(st) : EntryKind::Missing;
}

NameLookup LookUpBelow(const std::string& root, const std::vector<std::string>& parts,
                       bool followLinks) {
    NameLookup found;
    if (parts.empty()) {
        found.Kind = EntryBelow(root, parts);
        return found;
    }
    Fd dir(::open(root.empty() ? "/" : root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.value < 0) return found;
    const int statFlags = followLinks ? 0 : AT_SYMLINK_NOFOLLOW;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        std::vector<std::string> variants;
        const std::string part =
            InAnyCase(dir.value, parts[i], last ? EntryKind::File : EntryKind::Folder, followLinks,
                      &variants);
        struct stat st {};
        if (!variants.empty() || ::fstatat(dir.value, part.c_str(), &st, statFlags) != 0) {
            found.Variants = std::move(variants);
            return found;
        }
        if (last) {
            found.Kind = KindOf(st);
            found.Taken.push_back(part);
            return found;
        }
        Fd next(::openat(dir.value, part.c_str(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW)));
        if (next.value < 0) {
            found.Kind = KindOf(st) == EntryKind::Link ? EntryKind::Link : EntryKind::Other;
            return found;
        }
        found.Taken.push_back(part);
        std::swap(dir.value, next.value);
    }
    return found;
}

std::vector<std::string> CaseVariants(const std::string& folder, const std::string& name) {
    std::vector<std::string> names;
    Fd dir(::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.value < 0) return names;
    struct stat st {};
    if (::fstatat(dir.value, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return names;
    for (const auto& [variant, kind] : VariantsIn(dir.value, name, false)) names.push_back(variant);
    std::sort(names.begin(), names.end());
    return names;
}

bool LooksLikeWindowsPath(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return drive || path.find('\\') != std::string_view::npos;
}

NativeFile::~NativeFile() { Close(); }

std::unique_ptr<NativeFile> NativeFile::OpenForReading(const std::string& root,
                                                       const std::vector<std::string>& parts,
                                                       bool followLinks, int& error) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
    // below. On a plain file it changes nothing.
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    int fd = -1;
    if (parts.empty()) {
        fd = ::open(root.c_str(), flags);
    } else if (followLinks) {
        // The program's folder: links followed all the way, the file's own
        // name found in any case.
        std::string folder = root;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) folder += "/" + parts[i];
        Fd dir(::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.value < 0) {
            error = errno;
            return nullptr;
        }
        const std::string name = InAnyCase(dir.value, parts.back(), EntryKind::File, true);
        fd = ::openat(dir.value, name.c_str(), flags);
    } else {
        EntryKind kind = EntryKind::Missing;
        Fd parent(OpenParentBelow(root, parts, kind));
        if (parent.value < 0) {
            error =
                kind == EntryKind::Missing ? ENOENT : (kind == EntryKind::Link ? ELOOP : ENOTDIR);
            return nullptr;
        }
        const std::string last = InAnyCase(parent.value, parts.back(), EntryKind::File, false);
        fd = ::openat(parent.value, last.c_str(), flags | O_NOFOLLOW);
    }
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    Fd file(fd);
    struct stat st {};
    if (::fstat(file.value, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    return std::unique_ptr<NativeFile>(new NativeFile(file.Release()));
}

std::unique_ptr<NativeFile> NativeFile::CreateForWriting(const std::string& path, int& error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        // A link, or a file that has other names (a hard link), is replaced by
        // a new file: writing it would reach whatever else it is. Anything but
        // a plain file (a FIFO, a device) is refused.
        const bool replace = S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_nlink > 1);
        if (!replace && !S_ISREG(st.st_mode)) {
            error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            return nullptr;
        }
        if (replace && ::unlink(path.c_str()) != 0 && errno != ENOENT) {
            error = errno;
            return nullptr;
        }
    }
    // O_NOFOLLOW: a link planted since the look above makes this fail, and
    // O_NONBLOCK keeps a FIFO planted so from blocking the open.
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
    if (fd.value < 0) {
        error = errno;
        return nullptr;
    }
    if (::fstat(fd.value, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1) {
        error = EINVAL;
        return nullptr;
    }
    if (st.st_size != 0 && ::ftruncate(fd.value, 0) != 0) {
        error = errno;
        return nullptr;
    }
    return std::unique_ptr<NativeFile>(new NativeFile(fd.Release()));
}

long long NativeFile::ReadAt(std::uint64_t offset, char* out, std::size_t size) {
    for (;;) {
        const ssize_t got =
            ::pread(static_cast<int>(handle_), out, size, static_cast<off_t>(offset));
        if (got >= 0) return got;
        if (errno == EINTR) continue;
        error_ = errno;
        return -1;
    }
}

bool NativeFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(static_cast<int>(handle_), data, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool NativeFile::Close() {
    if (handle_ < 0) return error_ == 0;
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (::close(fd) != 0 && error_ == 0) error_ = errno;
    return error_ == 0;
}

std::uint64_t NativeFile::Length() const {
    struct stat st {};
    if (handle_ < 0 || ::fstat(static_cast<int>(handle_), &st) != 0 || st.st_size < 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool RenameEntry(const std::string& from, const std::string& to, int& error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    error = errno;
    return false;
}

std::string ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

}  // namespace pamiro
