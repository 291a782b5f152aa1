#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ByteSource.h"
#include "core/NativeFile.h"

namespace pamiro {

// A path inside a folder as its parts, each a name as read or built (bytes).
using RelativePath = std::vector<std::string>;

// A folder a run reads from: the source tree or the program's data folder.
class InputFolder {
  public:
    virtual ~InputFolder() = default;
    virtual EntryKind Entry(const RelativePath& path) const = 0;
    // Null when path names no plain file (missing, a folder, a link below the
    // folder, anything else). A read error later throws FileError.
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
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override;
    std::vector<std::pair<std::string, EntryKind>> Entries() const override;
    std::string PathOf(const RelativePath& path) const override;

  private:
    EntryKind KindOf(const std::string& key) const;
    std::string Resolved(const RelativePath& path) const;
};

// Where an output file's bytes go.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
    virtual bool Close() = 0;
    virtual int Error() const = 0;  // errno value of the last failure
};

// The folder a run writes to.
class OutputFolder {
  public:
    virtual ~OutputFolder() = default;
    // A new, empty file; throws FileError of kind Write when it cannot be made.
    virtual std::unique_ptr<ByteSink> Create(const std::string& name) = 0;
    virtual void Remove(const std::string& name) = 0;
    virtual std::string PathOf(const std::string& name) const = 0;
};

class DiskOutputFolder : public OutputFolder {
  public:
    explicit DiskOutputFolder(std::string root) : root_(std::move(root)) {}
    std::unique_ptr<ByteSink> Create(const std::string& name) override;
    void Remove(const std::string& name) override;
    std::string PathOf(const std::string& name) const override;

  private:
    std::string root_;
};

// Files kept in memory by name. With keep unset every byte is dropped (a dry run).
class MemoryOutputFolder : public OutputFolder {
  public:
    explicit MemoryOutputFolder(bool keep = true) : keep_(keep) {}
    std::map<std::string, std::string> Files;
    std::unique_ptr<ByteSink> Create(const std::string& name) override;
    void Remove(const std::string& name) override { Files.erase(name); }
    std::string PathOf(const std::string& name) const override { return name; }

  private:
    bool keep_;
};

}  // namespace pamiro
