#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "core/NativeFile.h"
#include "core/NativeWindows.h"

namespace pamiro {

using native::Handle;
using native::LastErrno;
using native::Narrow;
using native::Wide;

namespace {

// Symbolic links and junctions; other reparse points (cloud or deduplicated
// files) hold their data in place and are plain files or folders here.
constexpr DWORD kNameSurrogate = 0x20000000;

// A part below a root names one entry of its folder: no separator, no drive
// or stream colon, and no trailing dot or blank, which the system drops
// (".. " would climb out, "name." would open "name").
bool IsOnePart(const std::wstring& part) {
    if (part.empty() || part.back() == L'.' || part.back() == L' ') return false;
    return part.find_first_of(std::wstring_view(L"\\/:\0", 4)) == std::wstring::npos;
}

// A folder named by the user as a path: "" is the root of the current drive
// and "C:" (a root that lost its separator) the root of drive C, not the
// current folder there.
std::wstring FolderPath(const std::string& folder) {
    std::wstring path = Wide(folder);
    if (path.empty() || (path.size() == 2 && path[1] == L':')) path.push_back(L'\\');
    return path;
}

void Append(std::wstring& path, const std::wstring& part) {
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path.push_back(L'\\');
    path += part;
}

// Opens an entry for a look at what it is (access 0) or for reading. Without
// followLinks a link is opened itself, never what it points at. Folders open
// too. The entry cannot be renamed or removed while the handle is held.
Handle OpenEntry(const std::wstring& path, DWORD access, bool followLinks) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
    if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    return Handle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, flags, nullptr));
}

struct Look {
    EntryKind Kind = EntryKind::Other;
    bool DataElsewhere = false;  // a reparse point that is no link: reopen to read
};

Look LookAt(HANDLE handle) {
    Look look;
    // Devices (CON, NUL, COM1 in any folder) and pipes are no files.
    if (::GetFileType(handle) != FILE_TYPE_DISK) return look;
    FILE_ATTRIBUTE_TAG_INFO info{};
    if (!::GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info)) {
        return look;
    }
    const DWORD attributes = info.FileAttributes;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if ((info.ReparseTag & kNameSurrogate) != 0) {
            look.Kind = EntryKind::Link;
            return look;
        }
        look.DataElsewhere = true;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        look.Kind = EntryKind::Folder;
    } else if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0) {
        look.Kind = EntryKind::File;
    }
    return look;
}

// root/parts[0]/.../parts[n-2] opened one by one from root without following
// a link below root, each held so that none is swapped for a link before the
// last part is opened. path receives the last part's full name. False with
// kind set when a component is missing, a link or no folder.
bool OpenParentsBelow(const std::string& root, const std::vector<std::string>& parts,
                      std::vector<Handle>& held, std::wstring& path, EntryKind& kind) {
    path = FolderPath(root);
    Handle top = OpenEntry(path, 0, true);
    if (!top.Valid() || LookAt(top.value).Kind != EntryKind::Folder) {
        kind = EntryKind::Missing;
        return false;
    }
    held.push_back(std::move(top));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::wstring part = Wide(parts[i]);
        if (!IsOnePart(part)) {
            kind = EntryKind::Missing;
            return false;
        }
        Append(path, part);
        if (i + 1 == parts.size()) break;
        Handle next = OpenEntry(path, 0, false);
        if (!next.Valid()) {
            kind = EntryKind::Missing;
            return false;
        }
        const EntryKind found = LookAt(next.value).Kind;
        if (found != EntryKind::Folder) {
            kind = found == EntryKind::Link ? EntryKind::Link : EntryKind::Other;
            return false;
        }
        held.push_back(std::move(next));
    }
    return true;
}

}  // namespace

std::filesystem::path NativePath(std::string_view bytes) {
    return std::filesystem::path(Wide(bytes));
}

std::string PathBytes(const std::filesystem::path& path) {
    std::string bytes;
    Narrow(path.native(), bytes);  // unmatched characters become "?", which names no file
    return bytes;
}

EntryKind EntryBelow(const std::string& root, const std::vector<std::string>& parts) {
    if (parts.empty()) {
        const Handle entry = OpenEntry(FolderPath(root), 0, true);
        return entry.Valid() ? LookAt(entry.value).Kind : EntryKind::Missing;
    }
    std::vector<Handle> held;
    std::wstring path;
    EntryKind kind = EntryKind::Missing;
    if (!OpenParentsBelow(root, parts, held, path, kind)) return kind;
    const Handle entry = OpenEntry(path, 0, false);
    return entry.Valid() ? LookAt(entry.value).Kind : EntryKind::Missing;
}

// The system finds names without regard to case: nothing to add here.
EntryKind EntryFollowingLinks(const std::string& folder, const std::string& name) {
    return EntryBelow(folder + "\\" + name, {});
}

std::vector<std::string> CaseVariants(const std::string&, const std::string&) { return {}; }

NameLookup LookUpBelow(const std::string& root, const std::vector<std::string>& parts,
                       bool followLinks) {
    NameLookup found;
    if (followLinks && !parts.empty()) {
        std::string folder = root;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) folder += "\\" + parts[i];
        found.Kind = EntryFollowingLinks(folder, parts.back());
    } else {
        found.Kind = EntryBelow(root, parts);
    }
    if (found.Kind == EntryKind::File) found.Taken = parts;
    return found;
}

bool LooksLikeWindowsPath(std::string_view) { return false; }

std::vector<std::pair<std::string, EntryKind>> FolderEntries(const std::string& folder) {
    std::vector<std::pair<std::string, EntryKind>> entries;
    std::wstring pattern = FolderPath(folder);
    Append(pattern, L"*");
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(pattern.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD attributes = entry.dwFileAttributes;
        EntryKind kind = EntryKind::Other;
        // For a reparse point the find data carries its tag.
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (entry.dwReserved0 & kNameSurrogate) != 0) {
            kind = EntryKind::Link;
        } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            kind = EntryKind::Folder;
        } else if ((attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0) {
            kind = EntryKind::File;
        }
        // A name without code-page bytes could not be opened again by them.
        std::string bytes;
        if (Narrow(name, bytes)) entries.emplace_back(std::move(bytes), kind);
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return entries;
}

NativeFile::~NativeFile() { Close(); }

std::unique_ptr<NativeFile> NativeFile::OpenForReading(const std::string& root,
                                                       const std::vector<std::string>& parts,
                                                       bool followLinks, int& error) {
    const bool follow = parts.empty() || followLinks;
    std::vector<Handle> held;
    std::wstring path;
    if (follow) {
        path = parts.empty() ? Wide(root) : FolderPath(root);
        for (const std::string& part : parts) {
            const std::wstring wide = Wide(part);
            if (!IsOnePart(wide)) {
                error = ENOENT;
                return nullptr;
            }
            Append(path, wide);
        }
    } else {
        EntryKind kind = EntryKind::Missing;
        if (!OpenParentsBelow(root, parts, held, path, kind)) {
            error =
                kind == EntryKind::Missing ? ENOENT : (kind == EntryKind::Link ? ELOOP : ENOTDIR);
            return nullptr;
        }
    }
    Handle file = OpenEntry(path, GENERIC_READ, follow);
    if (!file.Valid()) {
        error = LastErrno();
        return nullptr;
    }
    const Look look = LookAt(file.value);
    if (look.Kind != EntryKind::File) {
        error = look.Kind == EntryKind::Link ? ELOOP
                                             : (look.Kind == EntryKind::Folder ? EISDIR : EINVAL);
        return nullptr;
    }
    if (look.DataElsewhere && !follow) {
        // Held above without delete sharing, so the same file opens again.
        held.push_back(std::move(file));
        file = OpenEntry(path, GENERIC_READ, true);
        if (!file.Valid()) {
            error = LastErrno();
            return nullptr;
        }
    }
    return std::unique_ptr<NativeFile>(
        new NativeFile(reinterpret_cast<std::intptr_t>(file.Release())));
}

std::unique_ptr<NativeFile> NativeFile::CreateForWriting(const std::string& path, int& error) {
    const std::wstring wide = Wide(path);
    // Attributes of the entry itself: a link is never followed here.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    bool fresh = exists && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    Handle file;
    if (!fresh) {
        file =
            Handle(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file.Valid()) {
            error = exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EISDIR : LastErrno();
            return nullptr;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (::GetFileType(file.value) != FILE_TYPE_DISK ||
            !::GetFileInformationByHandle(file.value, &info)) {
            error = EINVAL;  // a device name such as CON or NUL
            return nullptr;
        }
        // A link planted since the look above, or a file with other names
        // (a hard link): emptying it would reach whatever else shares it.
        fresh =
            (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || info.nNumberOfLinks > 1;
        if (!fresh && !::SetEndOfFile(file.value)) {
            error = LastErrno();
            return nullptr;
        }
    }
    if (fresh) {
        ::CloseHandle(file.Release());
        if (!RemoveFile(path)) {
            error = LastErrno();
            return nullptr;
        }
        // CREATE_NEW: a link planted after the removal makes this fail, not follow.
        file =
            Handle(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file.Valid()) {
            error = LastErrno();
            return nullptr;
        }
    }
    return std::unique_ptr<NativeFile>(
        new NativeFile(reinterpret_cast<std::intptr_t>(file.Release())));
}

long long NativeFile::ReadAt(std::uint64_t offset, char* out, std::size_t size) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), out, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
        error_ = LastErrno();
        return -1;
    }
    return got;
}

bool NativeFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD put = 0;
        if (!::WriteFile(reinterpret_cast<HANDLE>(handle_), data, chunk, &put, nullptr)) {
            error_ = LastErrno();
            return false;
        }
        data += put;
        size -= put;
    }
    return true;
}

bool NativeFile::Close() {
    if (handle_ < 0) return error_ == 0;
    const HANDLE handle = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    if (!::CloseHandle(handle) && error_ == 0) error_ = LastErrno();
    return error_ == 0;
}

std::uint64_t NativeFile::Length() const {
    LARGE_INTEGER size{};
    if (handle_ < 0 || !::GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size) ||
        size.QuadPart < 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    }
    // A link to a folder is removed as a folder; the folder it names stays.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && ::RemoveDirectoryW(wide.c_str());
    }
    return ::DeleteFileW(wide.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RenameEntry(const std::string& from, const std::string& to, int& error) {
    // No MOVEFILE_COPY_ALLOWED: a move that would copy fails instead.
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    error = LastErrno();
    return false;
}

std::string ExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(name.size());
        const DWORD got = ::GetModuleFileNameW(nullptr, name.data(), size);
        if (got == 0) return {};
        if (got < size) {
            name.resize(got);
            break;
        }
        name.resize(name.size() * 2);
    }
    return PathBytes(std::filesystem::path(name).parent_path());
}

}  // namespace pamiro
