#pragma once

// Builds source trees and parameter data files from in-code descriptions, so
// tests (and the sample and benchmark generators) never depend on opaque
// binaries.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pamiro::testing {

namespace fs = std::filesystem;

// A block record: name, type and values, each written followed by NUL.
struct BlockSpec {
    std::string Name;
    std::string Type;
    std::vector<std::string> Values;
};
std::string EncodeRecord(const BlockSpec& block);

struct CompoundSpec {
    std::string Name;
    std::optional<BlockSpec> Own;  // the compound's own record
    std::vector<BlockSpec> Blocks;
    // Sequence block sources in the compound's source folder: block -> text.
    std::map<std::string, std::string> Sources;
};

// Index entries. The name goes into the entry's name field (cut to its width).
std::string ShortEntry(const std::string& name, std::uint32_t offset);
std::string LongEntry(const std::string& name, std::uint32_t offset, bool bigEndian);
// The ".O" entry form of a platform index (0 PW, 1 AW51, 2 AW70).
std::string IndexEntryFor(int platform, const std::string& name, std::uint32_t offset);

struct WorkingFileSpec {
    std::string Cp;
    std::string Revision = "R001";
    int Platform = 1;
    std::vector<CompoundSpec> Compounds;
};
// A tree's files by their path inside its folder ("CP/CP.wf").
using FileMap = std::map<std::string, std::string>;

// CP/CP.wf, CP/CP.O, CP/<compound>.O and <compound>/<block>.s.
FileMap WorkingFileFiles(const WorkingFileSpec& spec);
void WriteWorkingFile(const fs::path& root, const WorkingFileSpec& spec);

struct SaveAllSpec {
    std::vector<CompoundSpec> Compounds;
    std::map<std::string, std::string> Revisions;  // compound -> code; default "R001"
    // When set, written as ".Compound_Dir" (lines joined with CR LF).
    std::optional<std::vector<std::string>> CompoundDirLines;
};
// The bytes of a compound's "parameters" file: index, records, revision code
// at length - 23.
std::string EncodeParameters(const CompoundSpec& compound, const std::string& revision);
// <compound>/parameters for each compound, the sources and ".Compound_Dir".
FileMap SaveAllFiles(const SaveAllSpec& spec);
void WriteSaveAll(const fs::path& root, const SaveAllSpec& spec);
void WriteFiles(const fs::path& root, const FileMap& files);

// A block type of a parameter data file: header "NAME" + type, the "TYPE"
// entry, then the parameters in record order.
struct TypeSpec {
    std::string Type;
    std::vector<std::string> Parameters;
};
// One raw data record; fields are cut or NUL-padded to their widths.
std::string DataRecordBytes(bool longLayout, const std::string& prefix, const std::string& key,
                            const std::string& detail);
std::string EncodeDataFile(const std::vector<TypeSpec>& types, bool longLayout);

void WriteFile(const fs::path& path, const std::string& bytes);
std::string ReadFile(const fs::path& path);

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

}  // namespace pamiro::testing
