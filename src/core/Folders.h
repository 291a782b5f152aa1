#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/ByteSource.h"
#include "core/NativeFile.h"

namespace pamiro {

// A path inside a folder as its parts, each a name as read or built (bytes).
using RelativePath = std::vector<std::string>;

// Names a lookup could not choose between: two or more entries of one folder,
// of the kind wanted, that differ from the name looked for only in case.
struct CaseVariantsMet {
    std::string Folder;                 // the path messages show
    std::string Name;                   // as looked for
    std::vector<std::string> Variants;  // sorted
};

// The line that names them after the message of a file not found.
std::string CaseVariantsNote(const CaseVariantsMet& met);

// How a lookup went (names in any case, see NativeFile.h).
struct Lookup {
    EntryKind Kind = EntryKind::Missing;
    RelativePath Found;  // the names as they stand; the whole path when found
    std::optional<CaseVariantsMet> Ambiguous;
};

// A folder a run reads from: the source tree or the program's data folder.
class InputFolder {
  public:
    virtual ~InputFolder() = default;
    virtual EntryKind Entry(const RelativePath& path) const = 0;
    virtual Lookup Find(const RelativePath& path) const = 0;
    // Null when path names no plain file (missing, a folder, a link below the
    // folder, anything else). The source is named by the path actually read.
    // A read error later throws FileError.
    virtual std::unique_ptr<ByteSource> Open(const RelativePath& path) const = 0;
    // The folder's own entries with their kind (links not followed), unsorted.
    virtual std::vector<std::pair<std::string, EntryKind>> Entries() const = 0;
    // The path messages show.
    virtual std::string PathOf(const RelativePath& path) const = 0;
};

// A folder on disk. Links inside it are followed only when followLinks is set
// (the program's own folder); the folder itself may be a link.
class DiskInputFolder : public InputFolder {
  public:
    DiskInputFolder(std::string root, bool followLinks)
        : root_(std::move(root)), followLinks_(followLinks) {}
    EntryKind Entry(const RelativePath& path) const override;
    Lookup Find(const RelativePath& path) const override;
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override;
    std::vector<std::pair<std::string, EntryKind>> Entries() const override;
    std::string PathOf(const RelativePath& path) const override;

  private:
    std::string root_;
    bool followLinks_;
};

// A folder in memory: files by their path ("compound/parameters"); the
// folders on the way exist implicitly. Names are found in any case as on a
// disk that tells case apart (see NativeFile.h).
class MemoryInputFolder : public InputFolder {
  public:
    std::map<std::string, std::string> Files;
    EntryKind Entry(const RelativePath& path) const override;
    Lookup Find(const RelativePath& path) const override;
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override;
    std::vector<std::pair<std::string, EntryKind>> Entries() const override;
    std::string PathOf(const RelativePath& path) const override;

  private:
    EntryKind KindOf(const std::string& key) const;
};

// Where an output file's bytes go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
    virtual bool Close() = 0;
    virtual int Error() const = 0;  // errno value of the last failure
};

// The folder a run writes to. A name may hold "/" to reach into a folder
// inside it (the command line's staging folder).
class OutputFolder {
  public:
    virtual ~OutputFolder() = default;
    // A new, empty file; throws FileError of kind Write when it cannot be made.
    virtual std::unique_ptr<ByteSink> Create(const std::string& name) = 0;
    virtual void Remove(const std::string& name) = 0;
    virtual std::string PathOf(const std::string& name) const = 0;
};

// An output folder that a staged destination (run/Staging.h) works in: its
// entries are listed, made, renamed and removed as well.
class StagingTarget : public OutputFolder {
  public:
    // The entries of the folder (or of a folder inside it) with their kind,
    // links not followed; empty when it cannot be listed.
    virtual std::vector<std::pair<std::string, EntryKind>> Entries(
        const std::string& folder = {}) const = 0;
    // A new folder inside; throws FileError of kind Write.
    virtual void MakeFolder(const std::string& name) = 0;
    // Gives an entry another name inside the folder, replacing what stands
    // there; no byte is copied. Throws FileError of kind Write naming to.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
    // Removes a folder inside with everything in it (links, never what they
    // point at); false when something stays.
    virtual bool RemoveFolder(const std::string& name) = 0;

    // The lock of a file inside, held while the object lives.
    class HeldLock {
      public:
        virtual ~HeldLock() = default;
    };
    using Lock = std::unique_ptr<HeldLock>;
    // Makes name as a new file holding text, locked until the lock is
    // dropped. Throws FileError of kind Write.
    virtual Lock CreateLocked(const std::string& name, std::string_view text) = 0;
    enum class LockState { Missing, Busy, Taken };
    // Takes the lock of the plain file name; state says why when it cannot
    // (Missing: nothing or no plain file there; Busy: somebody holds it).
    // read receives its first bytes when it is taken.
    virtual Lock TakeLock(const std::string& name, LockState& state, std::string& read) = 0;
    // Gives to the permission bits of the plain file from (and, where the
    // process may, its owner and group).
    virtual void KeepPermissions(const std::string& from, const std::string& to) = 0;
    // Names that differ only in case are one name here (Windows).
    virtual bool IgnoresCase() const = 0;
};

class DiskOutputFolder : public StagingTarget {
  public:
    explicit DiskOutputFolder(std::string root) : root_(std::move(root)) {}
    std::unique_ptr<ByteSink> Create(const std::string& name) override;
    void Remove(const std::string& name) override;
    std::string PathOf(const std::string& name) const override;
    std::vector<std::pair<std::string, EntryKind>> Entries(
        const std::string& folder = {}) const override;
    void MakeFolder(const std::string& name) override;
    void Rename(const std::string& from, const std::string& to) override;
    bool RemoveFolder(const std::string& name) override;
    Lock CreateLocked(const std::string& name, std::string_view text) override;
    Lock TakeLock(const std::string& name, LockState& state, std::string& read) override;
    void KeepPermissions(const std::string& from, const std::string& to) override;
    bool IgnoresCase() const override;

  private:
    std::string root_;
};

// Files kept in memory by name ("folder/name" inside a folder, which exists
// while it holds a file). With keep unset every byte is dropped (a dry run).
class MemoryOutputFolder : public StagingTarget {
  public:
    explicit MemoryOutputFolder(bool keep = true) : keep_(keep) {}
    std::map<std::string, std::string> Files;
    std::unique_ptr<ByteSink> Create(const std::string& name) override;
    void Remove(const std::string& name) override { Files.erase(name); }
    std::string PathOf(const std::string& name) const override { return name; }
    std::vector<std::pair<std::string, EntryKind>> Entries(
        const std::string& folder = {}) const override;
    void MakeFolder(const std::string& /*name*/) override {}
    void Rename(const std::string& from, const std::string& to) override;
    bool RemoveFolder(const std::string& name) override;
    Lock CreateLocked(const std::string& name, std::string_view text) override;
    Lock TakeLock(const std::string& name, LockState& state, std::string& read) override;
    void KeepPermissions(const std::string&, const std::string&) override {}
    bool IgnoresCase() const override { return IgnoreCase; }
    // As a Windows disk: a name in another case is the same name.
    bool IgnoreCase = false;
    // Folders RemoveFolder cannot remove (as an append-only folder on disk).
    std::set<std::string> Unremovable;

  private:
    bool keep_;
    // The files whose locks are held, shared with the locks themselves.
    std::shared_ptr<std::set<std::string>> locked_ = std::make_shared<std::set<std::string>>();
};

}  // namespace pamiro
