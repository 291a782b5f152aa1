#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Folders.h"

namespace pamiro {

// Names the files of a source tree and opens them. A name read from a source
// file names no file when it could leave its folder (see IsSafeFileName):
// such a file is simply missing.
//
// Working File, the CP's folder and the compounds' source folders side by side:
//   CP/CP.wf            revision code in its first 4 bytes, then the block records
//   CP/CP.O             one index entry per compound
//   CP/compound.O       one index entry per block
//   compound/block.s    sequence block source
// Save All, the tree itself:
//   .Compound_Dir       optional; two-line records, the first line a compound name
//   compound/parameters index of 34-byte entries, then the block records
//   compound/block.s    sequence block source

// What a file a run reads is to the run.
enum class InputRole {
    CpIndex,        // CP/CP.O
    WorkingFile,    // CP/CP.wf
    CompoundIndex,  // CP/compound.O
    CompoundList,   // .Compound_Dir
    Parameters,     // compound/parameters
    DataFile,       // the parameter data file
    OwnSource,      // compound/block.s
    BaseSource,     // TYPE_base.s in the program's folder
};

// Told of every file a run opens for reading, by the path actually read.
class InputWatcher {
  public:
    virtual ~InputWatcher() = default;
    virtual void InputOpened(InputRole /*role*/, const std::string& /*path*/) {}
};

class SourceTree {
  public:
    explicit SourceTree(const InputFolder& folder, InputWatcher* watcher = nullptr)
        : folder_(folder), watcher_(watcher) {}

    static RelativePath WorkingFile(const std::string& cp);
    static RelativePath CompoundIndex(const std::string& cp);
    static RelativePath BlockIndex(const std::string& cp, const std::string& compound);
    static RelativePath Parameters(const std::string& compound);
    static RelativePath CompoundList();
    static RelativePath SequenceSource(const std::string& compound, const std::string& block);

    // Null when the path names no plain file, or holds an unsafe name.
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const;
    // The same for a file the run reads, told to the watcher.
    std::unique_ptr<ByteSource> Open(const RelativePath& path, InputRole role) const;
    EntryKind Entry(const RelativePath& path) const;
    Lookup Find(const RelativePath& path) const;
    // A line break and the line naming the case variants that kept path from
    // being found; empty when there were none. Said after a "not found".
    std::string VariantsLine(const RelativePath& path) const;
    bool Exists(const RelativePath& path) const { return Entry(path) == EntryKind::File; }
    std::string PathOf(const RelativePath& path) const { return folder_.PathOf(path); }
    std::vector<std::pair<std::string, EntryKind>> Entries() const { return folder_.Entries(); }

  private:
    const InputFolder& folder_;
    InputWatcher* watcher_;
};

}  // namespace pamiro
