// The window's folder and drive lists on Windows: drives are drive letters.
// Paths are bytes of the ANSI code page, as everywhere in the file layer.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <filesystem>

#include "core/NativeFile.h"
#include "core/NativeWindows.h"

namespace pamiro {

using native::BytesOf;
using native::Wide;

namespace {

bool IsRoot(const std::string& path) {
    return path.size() == 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

// Lists a folder without the system asking the user to insert a disk.
template <class Visit>
bool ListFolder(const std::string& folder, Visit visit) {
    std::wstring pattern = Wide(folder);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    ::SetErrorMode(oldMode);
    if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        visit(found);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

}  // namespace

std::vector<std::string> Drives() {
    std::vector<std::string> roots;
    const DWORD mask = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((mask & (1u << letter)) != 0)
            roots.push_back(std::string(1, char('A' + letter)) + ":\\");
    }
    return roots;
}

std::string DriveLabel(const std::string& root) {
    wchar_t name[MAX_PATH + 1] = {};
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL got = ::GetVolumeInformationW(Wide(root).c_str(), name, MAX_PATH + 1, nullptr,
                                             nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(oldMode);
    return got ? BytesOf(name) : std::string();
}

std::string DriveOf(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') return {};
    const char letter = path[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return {};
    return std::string(1, letter >= 'a' ? char(letter - 'a' + 'A') : letter) + ":\\";
}

bool DriveReady(const std::string& root) {
    return ListFolder(root, [](const WIN32_FIND_DATAW&) {});
}

FolderState FolderStateOf(const std::string& path) {
    if (path.empty()) return FolderState::Missing;
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    const DWORD error = ::GetLastError();
    ::SetErrorMode(oldMode);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FolderState::Missing
                   : FolderState::Unreadable;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FolderState::Unreadable;
    return ListFolder(path, [](const WIN32_FIND_DATAW&) {}) ? FolderState::Readable
                                                            : FolderState::Unreadable;
}

std::string AbsoluteFolder(const std::string& path) {
    std::error_code error;
    std::string clean = BytesOf(
        std::filesystem::absolute(Wide(path), error).lexically_normal().make_preferred().native());
    while (clean.size() > 3 && clean.back() == '\\') clean.pop_back();
    return clean;
}

std::vector<std::string> FolderChain(const std::string& folder) {
    if (folder.size() < 2 || folder[1] != ':') return {folder};
    std::vector<std::string> chain{folder.substr(0, 2) + "\\"};
    std::string path = folder.substr(0, 2);
    for (std::size_t start = 3; start < folder.size();) {
        std::size_t end = folder.find('\\', start);
        if (end == std::string::npos) end = folder.size();
        if (end > start) {
            path += "\\" + folder.substr(start, end - start);
            chain.push_back(path);
        }
        start = end + 1;
    }
    return chain;
}

std::string FolderName(const std::string& path) {
    if (IsRoot(path)) return path;
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos || slash + 1 == path.size()) return path;
    return path.substr(slash + 1);
}

std::vector<std::string> VisibleSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    ListFolder(folder, [&](const WIN32_FIND_DATAW& found) {
        const std::wstring_view name(found.cFileName);
        if (name == L"." || name == L"..") return;
        const DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
            (found.dwFileAttributes & hidden) != 0) {
            return;
        }
        names.push_back(BytesOf(name));
    });
    return names;
}

std::string PathText(std::string_view bytes) { return BytesOf(Wide(bytes), CP_UTF8); }

}  // namespace pamiro
