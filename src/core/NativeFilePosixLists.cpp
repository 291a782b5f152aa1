// The window's folder and drive lists on POSIX systems: drives are the
// mounted volumes, named by their mount points.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/NativeFile.h"
#include "core/Text.h"

#if __has_include(<mntent.h>)
#include <mntent.h>
#define PAMIRO_HAVE_MNTENT 1
#endif

namespace pamiro {

namespace {

struct Mount {
    std::string Folder;
    std::string Device;
    std::string Type;
};

std::vector<Mount> Mounts() {
    std::vector<Mount> mounts;
#ifdef PAMIRO_HAVE_MNTENT
    if (FILE* table = ::setmntent("/proc/self/mounts", "r")) {
        while (const mntent* entry = ::getmntent(table)) {
            mounts.push_back({entry->mnt_dir, entry->mnt_fsname, entry->mnt_type});
        }
        ::endmntent(table);
    }
#endif
    if (mounts.empty()) mounts.push_back({"/", "", ""});
    return mounts;
}

bool IsUnder(std::string_view path, std::string_view folder) {
    if (folder == "/") return !path.empty() && path.front() == '/';
    return path.substr(0, folder.size()) == folder &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

// The system's own volumes (processes, devices, run-time state) are no drive.
bool IsSystemVolume(const Mount& mount) {
    for (const char* folder : {"/dev", "/proc", "/run", "/sys", "/var/run", "/var/lock"}) {
        if (IsUnder(mount.Folder, folder)) return true;
    }
    return mount.Type == "rootfs";
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return {};
    std::string result(real);
    std::free(real);
    return result;
}

}  // namespace

std::vector<std::string> Drives() {
    std::vector<std::string> roots;
    for (const Mount& mount : Mounts()) {
        // Files bind-mounted into a container are volumes too, but no drive.
        if (!IsSystemVolume(mount) && IsFolder(mount.Folder)) roots.push_back(mount.Folder);
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

std::string DriveLabel(const std::string& root) {
    std::string device;
    for (const Mount& mount : Mounts()) {
        if (mount.Folder == root) device = RealPath(mount.Device);
    }
    if (device.empty()) return {};
    for (const auto& [name, kind] : FolderEntries("/dev/disk/by-label")) {
        if (RealPath("/dev/disk/by-label/" + name) == device) return UnescapeHexBytes(name);
    }
    return {};
}

std::string DriveOf(const std::string& path) {
    const std::string real = path.empty() ? std::string() : RealPath(path);
    if (real.empty()) return {};
    std::string best;
    for (const Mount& mount : Mounts()) {
        if (IsUnder(real, mount.Folder) && mount.Folder.size() > best.size()) best = mount.Folder;
    }
    return best;
}

bool DriveReady(const std::string& root) { return FolderStateOf(root) == FolderState::Readable; }

FolderState FolderStateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FolderState::Missing;  // "" too
    if (!S_ISDIR(st.st_mode) || ::access(path.c_str(), R_OK | X_OK) != 0) {
        return FolderState::Unreadable;
    }
    return FolderState::Readable;
}

std::string AbsoluteFolder(const std::string& path) {
    std::error_code error;
    std::string clean = std::filesystem::absolute(path, error).lexically_normal().string();
    while (clean.size() > 1 && clean.back() == '/') clean.pop_back();
    return clean;
}

std::vector<std::string> FolderChain(const std::string& folder) {
    std::vector<std::string> chain{"/"};
    std::string path;
    for (std::size_t start = 0; start < folder.size();) {
        std::size_t end = folder.find('/', start);
        if (end == std::string::npos) end = folder.size();
        if (end > start) {
            path += "/" + folder.substr(start, end - start);
            chain.push_back(path);
        }
        start = end + 1;
    }
    return chain;
}

std::string FolderName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return path;
    return path.substr(slash + 1);
}

std::vector<std::string> VisibleSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [name, kind] : FolderEntries(folder)) {
        if (name.front() == '.') continue;
        if (kind == EntryKind::Folder || (kind == EntryKind::Link && IsFolder(folder + "/" + name)))
            names.push_back(name);
    }
    return names;
}

std::string PathText(std::string_view bytes) { return DisplayText(bytes); }

}  // namespace pamiro
