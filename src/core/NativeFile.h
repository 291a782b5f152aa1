#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pamiro {

// The one place where the platforms differ in how files are found, opened,
// read, written and removed. Everything above works on paths held as bytes:
// names read from a source are bytes (the system's code page on Windows), and
// so are the folders the user names.

// The system's form of a path held as bytes.
std::filesystem::path NativePath(std::string_view bytes);
// The bytes of a system path (inverse of NativePath).
std::string PathBytes(const std::filesystem::path& path);

// What stands at a path. A file that the platform hides (on Windows: hidden or
// system attribute) is Other, never File.
enum class EntryKind { Missing, File, Folder, Link, Other };

// What stands at root/parts[0]/.../parts[n-1]. root itself may be a link (the
// user named it); a link anywhere below it is Link, even when it points at a
// file. With no parts, the kind of root itself, links followed.
EntryKind EntryBelow(const std::string& root, const std::vector<std::string>& parts);

// Names in any case. Where the system tells case apart, a name looked up
// below a folder (EntryBelow, OpenForReading, EntryFollowingLinks) that no
// entry holds exactly is found in any ASCII case when exactly one entry of
// the wanted kind differs from it only so: a real folder on the way, a plain
// file at the end. An entry of the exact name always decides; two or more
// variants are not found. Windows finds names without regard to case itself.

// What stands at folder/name with links followed (the program's folder),
// the name found in any case.
EntryKind EntryFollowingLinks(const std::string& folder, const std::string& name);
// The names in folder that differ from name only in ASCII case, sorted, when
// no entry holds name exactly; empty on Windows, where the system decides.
std::vector<std::string> CaseVariants(const std::string& folder, const std::string& name);

// How a lookup of root/parts... went under the rule above, links followed
// only when followLinks is set (the program's folder).
struct NameLookup {
    EntryKind Kind = EntryKind::Missing;
    // The names as they stand of the parts found, in order: the whole path
    // when it was found; when Variants is set, the parts before parts[n].
    std::vector<std::string> Taken;
    // The lookup stopped at parts[n] (n = Taken.size()): two or more entries
    // of the wanted kind differ from it only in case. Their names, sorted.
    std::vector<std::string> Variants;
};
NameLookup LookUpBelow(const std::string& root, const std::vector<std::string>& parts,
                       bool followLinks);

// A path written for Windows given where it means something else: a drive
// letter and colon, or a backslash. Always false on Windows.
bool LooksLikeWindowsPath(std::string_view path);

// The entries of a folder by name with their kind (links not followed), in no
// particular order; "." and ".." left out. Empty when it cannot be listed.
std::vector<std::pair<std::string, EntryKind>> FolderEntries(const std::string& folder);

// An open file. Errors are errno values (Windows errors are mapped to them),
// so one table of Spanish texts serves every platform.
class NativeFile {
  public:
    ~NativeFile();
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    // Opens root/parts... for reading, under the rule of EntryBelow: only a
    // File opens. Links are followed only when parts is empty or followLinks is
    // set (files of the program's own folder). Null with error set otherwise
    // (ENOENT for a missing file, ELOOP for a link, EINVAL for anything else).
    static std::unique_ptr<NativeFile> OpenForReading(const std::string& root,
                                                      const std::vector<std::string>& parts,
                                                      bool followLinks, int& error);
    // Creates path as a new, empty plain file for writing. An existing plain
    // file of one link is emptied; a link, or a file with other names, is
    // removed first and a new file made, so that nothing the path points at
    // outside its folder is ever written. Null with error set on failure.
    static std::unique_ptr<NativeFile> CreateForWriting(const std::string& path, int& error);

    // Reads up to size bytes at offset; the count read, 0 at the end, or -1
    // with Error() set on a read error.
    long long ReadAt(std::uint64_t offset, char* out, std::size_t size);
    // Writes every byte at the current end; false with Error() set on failure.
    bool Write(const char* data, std::size_t size);
    // Flushes to the system and closes; false with Error() set when anything
    // written could not be kept. Further calls do nothing.
    bool Close();
    // The length now (a file may shrink or grow while it is read).
    std::uint64_t Length() const;
    int Error() const { return error_; }

  private:
    explicit NativeFile(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;
    int error_ = 0;
};

// Removes a file (or a link, never what it points at); true when nothing is
// left at path.
bool RemoveFile(const std::string& path);

// Gives the entry at from the name to, within one file system: what stands at
// to is replaced (a link itself, never what it points at) and no byte is
// copied. False with error set when it cannot be done.
bool RenameEntry(const std::string& from, const std::string& to, int& error);

// The folder of the running executable as bytes; empty when it cannot be found.
std::string ExecutableFolder();

// What the window's folder and drive lists hold. Paths are bytes as above.

// The machine's drives: on Windows the roots of its drive letters ("C:\");
// on POSIX the mount points of the mounted volumes that are folders. Sorted,
// each once.
std::vector<std::string> Drives();
// The name a drive list shows beside a drive's root (its volume label);
// empty when it has none or is not ready.
std::string DriveLabel(const std::string& root);
// The drive that holds a path: on Windows the root of its drive letter; on
// POSIX the mount point of the volume that holds it. Empty when there is
// none (a network path; on POSIX a path that does not exist).
std::string DriveOf(const std::string& path);
// Whether a drive holds a medium that can be read: its root is a folder
// whose entries can be listed (an empty removable drive cannot).
bool DriveReady(const std::string& root);

enum class FolderState { Missing, Unreadable, Readable };
// Missing only when nothing exists at path; Unreadable for anything else that
// is not a folder whose entries can be listed.
FolderState FolderStateOf(const std::string& path);
// The absolute form of a folder's path, "." and ".." resolved by name, no
// trailing separator but a root's.
std::string AbsoluteFolder(const std::string& path);
// The folders from the root down to folder itself (absolute), each as its
// full path: "/", "/home", "/home/ana"; "C:\", "C:\Datos".
std::vector<std::string> FolderChain(const std::string& folder);
// The last name of a path; a root's whole text.
std::string FolderName(const std::string& path);
// A folder's subfolders as a folder list shows them, by name, unsorted: links
// to folders count as folders; hidden ones (a leading dot on POSIX, the
// hidden attribute on Windows) are left out. Empty when it cannot be listed.
std::vector<std::string> VisibleSubfolders(const std::string& folder);
// The UTF-8 text that shows a path held as bytes: on POSIX UTF-8 sequences
// as they are and any other byte as its Latin-1 character; on Windows the
// bytes read in the ANSI code page.
std::string PathText(std::string_view bytes);

// A stdio stream of the file: read ("rb"), or a new file that must not exist
// yet (createNew, "wbx"); paths are wide on Windows. Null with errno set.
std::FILE* OpenStdioFile(const std::filesystem::path& path, bool createNew);

// Writes bytes to a temporary file beside file and renames it over file, so a
// crash leaves either the old or the new file, never half of one. Creates the
// folder when needed, keeps an existing file's mode, syncs the folder after
// the rename and removes the temporary files an earlier crash left behind. A
// file without its owner's write permission is left alone; a link stays a
// link. False, with error set and naming the file, when anything failed.
bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           std::string& error);

}  // namespace pamiro
