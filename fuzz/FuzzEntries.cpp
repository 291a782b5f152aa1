#include "FuzzEntries.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "ReferenceLookup.h"
#include "core/FileError.h"
#include "core/Paths.h"
#include "readers/IndexEntry.h"
#include "readers/SaveAllReader.h"
#include "support/MemoryRun.h"

namespace pamiro::fuzz {

namespace {

using namespace pamiro::testing;
const std::string kCp = "CP6001";

// No source file can be read from FailFrom on; Failed names the one that failed.
struct SourceFolder : MemoryInputFolder {
    struct Failing : MemorySource {
        Failing(const std::string& name, const std::string& bytes, const SourceFolder& folder)
            : MemorySource(name, bytes), folder_(folder) {}
        void ReadAt(std::uint64_t offset, char* out, std::size_t size) override {
            if (offset + size > folder_.FailFrom) {
                throw FileError(FileError::Kind::Read, folder_.Failed = Name(), 5);
            }
            MemorySource::ReadAt(offset, out, size);
        }
        const SourceFolder& folder_;
    };
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override {
        const auto it = Files.find(PathOf(path));
        return it == Files.end() ? nullptr
                                 : std::make_unique<Failing>(it->first, it->second, *this);
    }
    std::uint64_t FailFrom = UINT64_MAX;
    mutable std::string Failed;
};

std::string Check(const MemoryRun& run, const std::string& failedFile) {
    const bool fox = run.Job.DestinationKind == DestinationKind::FoxCae;
    const bool done = !run.Job.Report.Failed;
    bool critical = false, readReported = false;
    for (const RecordedMessage& m : run.Host.Messages) {
        // What the driver shows for an exception it caught (a fault of the engine).
        if (m.Title == "Pamiro" && m.Text.starts_with("Error interno")) return m.Text;
        critical |= m.Icon == MessageIcon::Critical;
        readReported |= m.Icon == MessageIcon::Critical &&
                        m.Text.starts_with("No se puede leer el archivo " + failedFile + ": ");
    }
    if (!done && !critical) return "failed run without a critical message";
    if (!failedFile.empty() && (done || !readReported)) return "read error not reported";
    long long blocks = 0;
    std::size_t files = 0;  // compound files
    std::vector<std::string> list, script;
    for (const auto& [name, bytes] : run.Out.Files) {
        if (name.starts_with("src") && name != "src_list") continue;  // copies as they were
        std::vector<std::string> lines;
        for (std::size_t at = 0, end = 0; at < bytes.size(); at = end + 2) {
            end = bytes.find("\r\n", at);
            lines.push_back(bytes.substr(at, end - at));
            if (end == std::string::npos ||
                lines.back().find_first_of("\r\n") != std::string::npos) {
                return name + ": not made of CR LF lines";
            }
        }
        const long long heads = std::count_if(lines.begin(), lines.end(), [&](auto& line) {
            return line.starts_with(fox ? "NAME     >" : "ADD ");
        });
        if (name == (fox ? "cmp_list" : kCp + ".cmd")) {
            (fox ? list : script) = lines;
            blocks += fox ? 0 : heads;
        } else if (fox && name.starts_with("cmp")) {
            ++files;
            const bool closed = lines.size() >= 2 && lines[lines.size() - 2] == "NAME     >END" &&
                                lines.back().starts_with("**** Revision Code ") &&
                                lines.back().size() == 23;
            if (done && !closed) return name + " lacks its end or revision line";
            blocks += heads - closed;
        }
    }
    for (std::size_t i = 1; fox && done && i <= std::max(files, list.size()); ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "cmp%04zu", i);
        if (list.size() != files || !run.Out.Files.count(file) ||
            !list[i - 1].ends_with(" " + std::to_string(i))) {
            return "cmp_list line " + std::to_string(i) + " or " + file + " wrong";
        }
    }
    if (!fox && done) {
        if (script.size() < 3 || script.front() != "OPEN " + kCp + " ALL PAMIRO" ||
            script[script.size() - 2] != "CLOSE " + kCp || script.back() != "EXIT") {
            return "script frame broken";
        }
        bool open = false;  // inside an ADD block
        for (std::size_t i = 1; i + 2 < script.size(); ++i) {
            const std::string& line = script[i];
            if (open ? line != "END" && !line.starts_with("  ") : !line.starts_with("ADD ")) {
                return "script line " + std::to_string(i + 1) + " out of place: " + line;
            }
            open = !open || line != "END";
        }
        if (open) return "last ADD block not closed";
    }
    if (blocks == run.Job.Report.BlocksWritten) return {};
    return std::to_string(blocks) + " blocks written, " +
           std::to_string(run.Job.Report.BlocksWritten) + " reported";
}

// The lookups agree on every type the input names and on every header's type.
std::string CheckLookups(Platform platform, const std::vector<std::string>& parts) {
    static const TempDir temp;  // the reference reads a file: one per process
    WriteFile(temp.Path() / "data.dat", parts[0]);
    MemoryInputFolder program;
    program.Files["data.dat"] = parts[0];
    const DataFileLayout& layout = TraitsOf(platform).DataLayout;
    ParameterLookup shipped(program, {"data.dat"}, layout);
    RecordingHost host;
    ReferenceLookup reference(temp / "data.dat", platform, host);
    std::vector<std::string> names(parts.begin() + 1, parts.end());
    for (std::size_t at = 0; at + layout.RecordSize <= parts[0].size(); at += layout.RecordSize) {
        const DataRecord record = SplitDataRecord(std::string_view(parts[0]).substr(at), layout);
        if (IsTypeHeader(record)) names.push_back(CutAtNul(record.Detail));
    }
    for (std::size_t i = 0; i < names.size() && i < 32; ++i) {
        const ParameterNames *found = shipped.Find(names[i]), *expected = reference.Find(names[i]);
        if ((found == nullptr) != (expected == nullptr) || (found && *found != *expected)) {
            return "the lookups disagree on the type [" + names[i] + "]";
        }
    }
    return {};
}

}  // namespace

std::string RunInput(std::string_view target, std::string_view input) {
    const int settings = input.empty() ? 0 : static_cast<unsigned char>(input[0]);
    std::string rest(input.substr(input.empty() ? 0 : 1));
    SourceFolder source;
    if (settings & kReadFails) {
        rest.resize(std::max<std::size_t>(rest.size(), 2));
        source.FailFrom =
            static_cast<std::uint8_t>(rest[0]) + 256u * static_cast<std::uint8_t>(rest[1]);
        rest.erase(0, 2);
    }
    std::vector<std::string> parts;
    for (std::size_t at; (at = rest.find(kPartSeparator)) != std::string::npos;) {
        parts.push_back(rest.substr(0, at));
        rest.erase(0, at + kPartSeparator.size());
    }
    parts.push_back(rest);
    const Platform platform = *PlatformFromIndex((settings & 3) % 3);
    if (target == "data_file") return CheckLookups(platform, parts);

    std::vector<std::string> names;  // the compounds the index or list names, as file names
    const auto add = [&names](const std::string& name) {
        if (IsSafeFileName(name) && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    };
    const bool workingFile = target == "working_file";
    if (workingFile) {
        source.Files[kCp + "/" + kCp + ".wf"] = parts[0];
        if (parts.size() > 1) source.Files[kCp + "/" + kCp + ".O"] = parts[1];
        const PlatformTraits& traits = TraitsOf(platform);
        MemorySource index("", parts.size() > 1 ? parts[1] : "");
        for (std::uint64_t at = 0; at < index.Length(); at += LayoutOf(traits.IndexEntries).Size) {
            add(ReadIndexEntry(index, at, traits.IndexEntries, traits.RecordOffsets).Name);
        }
    } else {
        const std::vector<std::string> lines = SplitCompoundDirLines(parts[0]);
        for (std::size_t i = 0; i < lines.size(); i += 2) add(lines[i]);
        if (settings & kCompoundDir) source.Files[".Compound_Dir"] = parts[0];
    }
    const std::size_t first = workingFile ? 2 : 1;
    for (std::size_t i = first, n = 0; i < parts.size() && i < 5; ++i, ++n) {
        const std::string name = n < names.size() ? names[n] : "C" + std::to_string(n + 1);
        source.Files[workingFile ? kCp + "/" + name + ".O" : name + "/parameters"] = parts[i];
    }
    source.Files["C1/S1.s"] = "sequence S1\r\n";

    const std::vector<TypeSpec> types{{"T1", {"P1", "P2"}},   {"T2", {"A"}},
                                      {"DEP", {"P1"}},        {"IND", {"P1", "P2"}},
                                      {"COMPND", {"DESCRP"}}, {"AIN", {"DESCRP", "PERIOD"}},
                                      {"MON", {"DESCRP"}}};
    MemoryRun run;
    run.Data(types);  // the in-code trees' types and some of the sample's
    if (settings & kBaseSource) run.Program.Files["DEP_base.s"] = "base source\r\n";
    run.Job.PlatformIndex = platform;
    run.Job.DestinationKind = settings & kIcc ? DestinationKind::Icc : DestinationKind::FoxCae;
    const SourceKind kind = workingFile ? SourceKind::WorkingFile : SourceKind::SaveAll;
    const std::string data = std::string(TraitsOf(platform).DataFilePrefix) + "620.dat";
    try {
        RunConversionIn(run.Job, run.Host, kind, kCp, {source, run.Out, run.Program, data});
    } catch (...) {
        return "an exception left the run";
    }
    return Check(run, source.Failed);
}

std::vector<Seed> MakeSeeds(const std::string& samplesFolder) {
    std::vector<Seed> seeds;
    const auto add = [&seeds](const std::string& target, const std::string& name, int platform,
                              const std::vector<std::string>& parts) {
        std::string joined = parts[0];
        for (std::size_t i = 1; i < parts.size(); ++i)
            joined += std::string(kPartSeparator) + parts[i];
        for (int flags : {0, kIcc, kCompoundDir | kBaseSource, kIcc | kCompoundDir | kBaseSource,
                          kReadFails | kCompoundDir, kIcc | kReadFails}) {
            const std::string offset(flags & kReadFails ? "\x40\x01" : "");  // from byte 320 on
            seeds.push_back({target, name + "-" + std::to_string(flags),
                             static_cast<char>(platform | flags) + offset + joined});
        }
    };
    // Line breaks in names and values, a block named END, an unknown type,
    // sequence blocks with and without their source.
    CompoundSpec c1{"C1", BlockSpec{"C1", "T1", {"1", "2"}}, {}, {}};
    c1.Blocks = {{"B1", "T1", {"10", "a\r\nb"}}, {"S1", "DEP", {"X"}},          {"B\r2", "T2", {}},
                 {"U1", "NOPE", {"a"}},          {"S2", "IND", {" p ", "q\n"}}, {"END", "T1", {}}};
    const std::vector<CompoundSpec> compounds{
        c1,
        {"C\n2", std::nullopt, {{"B1", "T1", {"x"}}, {"M\n1", "DEP", {}}}, {}},
        {"C3", BlockSpec{"C3", "T2", {}}, {}, {}}};
    const std::vector<TypeSpec> types{
        {"T1", {"P1", "P2"}}, {"DEP", {"P1"}}, {"T1", {"Q1", "Q\r\n2"}}, {"T\r\n3", {" P", ""}}};
    for (int p = 0; p < 3; ++p) {
        FileMap files = WorkingFileFiles({kCp, "R042", p, compounds});
        std::vector<std::string> parts{files[kCp + "/" + kCp + ".wf"],
                                       files[kCp + "/" + kCp + ".O"]};
        for (const CompoundSpec& c : compounds) parts.push_back(files[kCp + "/" + c.Name + ".O"]);
        add("working_file", "tree-p" + std::to_string(p), p, parts);
        add("data_file", "types-p" + std::to_string(p), p,
            {EncodeDataFile(types, p != 0), "T1", "t1", "ABSENT"});
    }
    FileMap files = SaveAllFiles({compounds, {{"C3", "R\t07"}}, {{"C3", "x", "C\n2", "", "C1"}}});
    add("save_all", "tree", 0,
        {files[".Compound_Dir"], files["C3/parameters"], files["C\n2/parameters"],
         files["C1/parameters"]});

    const fs::path wf = fs::path(samplesFolder) / "working-file/SMPL01";
    const fs::path sa = fs::path(samplesFolder) / "save-all/SMPL01";
    if (!fs::is_directory(wf) || !fs::is_directory(sa)) return seeds;
    std::vector<std::string> wfParts{ReadFile(wf / "SMPL01.wf"), ReadFile(wf / "SMPL01.O")};
    std::vector<std::string> saParts{""};
    for (const std::string name : {"UNIT02", "UNIT01", "ALARMS"}) {  // as SMPL01.O has them
        wfParts.push_back(ReadFile(wf / (name + ".O")));
        saParts[0] += name + "\r\n\r\n";
        saParts.push_back(ReadFile(sa / name / "parameters"));
    }
    add("working_file", "sample", 1, wfParts);  // AW51
    add("save_all", "sample", 1, saParts);
    return seeds;
}

}  // namespace pamiro::fuzz
