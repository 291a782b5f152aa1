#include "treebuilder/TreeBuilder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace pamiro::testing {

namespace {
std::string Field(const std::string& text, std::size_t width) {
    std::string field = text.substr(0, width);
    field.resize(width, '\0');
    return field;
}

void PutLittle(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutBig(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * (3 - i))) & 0xFF);
}

void AddSources(FileMap& files, const CompoundSpec& compound) {
    for (const auto& [block, text] : compound.Sources) {
        files[compound.Name + "/" + block + ".s"] = text;
    }
}
}  // namespace

std::string EncodeRecord(const BlockSpec& block) {
    std::string bytes = block.Name + '\0' + block.Type + '\0';
    for (const std::string& value : block.Values) bytes += value + '\0';
    return bytes;
}

std::string ShortEntry(const std::string& name, std::uint32_t offset) {
    std::string entry(34, '\0');
    entry.replace(6, 13, Field(name, 13));
    PutLittle(entry, 28, offset);
    return entry;
}

std::string LongEntry(const std::string& name, std::uint32_t offset, bool bigEndian) {
    std::string entry(48, '\0');
    entry.replace(10, 30, Field(name, 30));
    if (bigEndian) {
        PutBig(entry, 40, offset);
    } else {
        PutLittle(entry, 40, offset);
    }
    return entry;
}

std::string IndexEntryFor(int platform, const std::string& name, std::uint32_t offset) {
    if (platform == 1) return LongEntry(name, offset, true);
    if (platform == 2) return LongEntry(name, offset, false);
    return ShortEntry(name, offset);
}

FileMap WorkingFileFiles(const WorkingFileSpec& spec) {
    FileMap files;
    const std::string folder = spec.Cp + "/";
    std::string wf = Field(spec.Revision, 4) + std::string(12, '\0');
    std::string cpIndex;
    for (const CompoundSpec& compound : spec.Compounds) {
        std::uint32_t own = 0;
        if (compound.Own) {
            own = static_cast<std::uint32_t>(wf.size());
            wf += EncodeRecord(*compound.Own);
        }
        cpIndex += IndexEntryFor(spec.Platform, compound.Name, own);
        std::string blockIndex;
        for (const BlockSpec& block : compound.Blocks) {
            blockIndex +=
                IndexEntryFor(spec.Platform, block.Name, static_cast<std::uint32_t>(wf.size()));
            wf += EncodeRecord(block);
        }
        files[folder + compound.Name + ".O"] = blockIndex;
        AddSources(files, compound);
    }
    files[folder + spec.Cp + ".wf"] = wf;
    files[folder + spec.Cp + ".O"] = cpIndex;
    return files;
}

void WriteWorkingFile(const fs::path& root, const WorkingFileSpec& spec) {
    fs::create_directories(root / spec.Cp);
    WriteFiles(root, WorkingFileFiles(spec));
}

std::string EncodeParameters(const CompoundSpec& compound, const std::string& revision) {
    std::vector<BlockSpec> records;
    if (compound.Own) records.push_back(*compound.Own);
    records.insert(records.end(), compound.Blocks.begin(), compound.Blocks.end());
    std::string body;
    std::string index;
    const std::size_t first = 34 * records.size();
    for (const BlockSpec& record : records) {
        index += ShortEntry(record.Name, static_cast<std::uint32_t>(first + body.size()));
        body += EncodeRecord(record);
    }
    // Revision code, then 19 bytes of trailer.
    return index + body + Field(revision, 4) + std::string(19, '\0');
}

FileMap SaveAllFiles(const SaveAllSpec& spec) {
    FileMap files;
    for (const CompoundSpec& compound : spec.Compounds) {
        const auto found = spec.Revisions.find(compound.Name);
        const std::string revision = found == spec.Revisions.end() ? "R001" : found->second;
        files[compound.Name + "/parameters"] = EncodeParameters(compound, revision);
        AddSources(files, compound);
    }
    if (spec.CompoundDirLines) {
        std::string text;
        for (const std::string& line : *spec.CompoundDirLines) text += line + "\r\n";
        files[".Compound_Dir"] = text;
    }
    return files;
}

void WriteSaveAll(const fs::path& root, const SaveAllSpec& spec) {
    fs::create_directories(root);
    WriteFiles(root, SaveAllFiles(spec));
}

void WriteFiles(const fs::path& root, const FileMap& files) {
    for (const auto& [path, bytes] : files) WriteFile(root / path, bytes);
}

std::string DataRecordBytes(bool longLayout, const std::string& prefix, const std::string& key,
                            const std::string& detail) {
    return Field(prefix, 4) + Field(key, longLayout ? 16 : 12) +
           Field(detail, longLayout ? 24 : 16);
}

std::string EncodeDataFile(const std::vector<TypeSpec>& types, bool longLayout) {
    std::string bytes;
    for (const TypeSpec& type : types) {
        bytes += DataRecordBytes(longLayout, "", "NAME", type.Type);
        bytes += DataRecordBytes(longLayout, "", "TYPE", "");
        for (const std::string& parameter : type.Parameters) {
            bytes += DataRecordBytes(longLayout, "", parameter, "");
        }
    }
    return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("pamiro-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code error;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

}  // namespace pamiro::testing
