#include "FuzzEntries.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "ReferenceLookup.h"
#include "app/RequestCheck.h"
#include "output/ParameterDataFile.h"
#include "readers/IndexEntry.h"
#include "readers/SaveAllReader.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"
#include "core/Host.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::fuzz {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

namespace {

constexpr const char* kCp = "CP6001";
constexpr std::size_t kMaxLookups = 32;

// Keeps what a run shows; every run gets a fresh one.
class QuietHost : public Host {
public:
    explicit QuietHost(std::string destination) : destination_(std::move(destination)) {}
    void SetStatus(int, std::string_view) override {}
    void ShowMessage(MessageIcon, std::string_view text, std::string_view title) override {
        messages.emplace_back(std::string(title) + ": " + std::string(text));
    }
    void ProcessPendingEvents() override {}
    void FreezeWindow() override {}
    void RestoreWindow() override {}
    std::string DestinationFolder() override { return destination_; }
    std::vector<std::string> messages;

private:
    std::string destination_;
};

// One private folder per process: root/{src,out,data,outside}. "outside"
// stands for the rest of the machine and must never change.
class Workspace {
public:
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "pamiro-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        root_ = pattern;
    }
    ~Workspace() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    void Reset() {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(root_, error)) fs::remove_all(entry, error);
        for (const char* name : {"src", "out", "data", "outside"}) fs::create_directories(root_ / name);
        WriteFile(root_ / "outside" / "sentinel", "untouched");
    }
    fs::path Src() const { return root_ / "src"; }
    fs::path Out() const { return root_ / "out"; }
    fs::path Data() const { return root_ / "data"; }
    const fs::path& Root() const { return root_; }

private:
    fs::path root_;
};

Workspace& TheWorkspace() {
    static Workspace workspace;
    return workspace;
}

// Every entry below root except the destination, with its bytes; a link is
// recorded as its target, never followed.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path relative = fs::relative(it->path(), root);
        if (*relative.begin() == "out") {
            it.disable_recursion_pending();
            continue;
        }
        const auto status = it->symlink_status();
        std::string content = "<dir>";
        if (fs::is_symlink(status)) {
            content = "<link>" + fs::read_symlink(it->path()).string();
        } else if (fs::is_regular_file(status)) {
            content = ReadFile(it->path());
        }
        files[relative.string()] = content;
    }
    return files;
}

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Numbered(const char* prefix, long long n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return prefix + digits;
}

// What a finished run must have left in the destination.
std::string CheckOutput(const ConversionJob& job, const QuietHost& host, const fs::path& out,
                        bool saveAll) {
    for (const std::string& message : host.messages) {
        // The driver's own title for an exception it caught: an engine fault.
        if (message.rfind("Pamiro: Error interno", 0) == 0) return "internal error: " + message;
    }
    std::set<std::string> allowed;
    const bool fox = job.DestinationKind == kDestinationFoxCae;
    if (fox) {
        allowed = {"cmp_list", "src_list"};
        for (long long n = 1; n <= job.CompoundCount; ++n) allowed.insert(Numbered("cmp", n));
        for (long long n = 1; n <= job.SourceFileCount; ++n) allowed.insert(Numbered("src", n));
    } else {
        allowed = {std::string(kCp) + ".cmd"};
    }
    long long sources = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        if (!allowed.count(name)) return "unexpected destination file " + name;
        if (!fs::is_regular_file(entry.symlink_status())) return "not a plain file: " + name;
        if (name.rfind("src", 0) == 0 && name != "src_list") ++sources;
    }
    if (job.Report.Failed) {
        // Only a Save All tree without compounds fails here; its lists go.
        if (!saveAll) return "working file run failed";
        if (fs::exists(out / "cmp_list") || fs::exists(out / "src_list") ||
            fs::exists(out / (std::string(kCp) + ".cmd"))) {
            return "failed run left its lists or script";
        }
        return {};
    }
    if (fox) {
        if (!fs::exists(out / "cmp_list") || !fs::exists(out / "src_list")) return "lists missing";
        for (long long n = 1; n <= job.CompoundCount; ++n) {
            const fs::path file = out / Numbered("cmp", n);
            if (!fs::exists(file)) return "missing " + file.filename().string();
            const std::string text = ReadFile(file);
            if (text.find("NAME     >END\r\n**** Revision Code ") == std::string::npos ||
                !EndsWith(text, "\r\n")) {
                return "compound file cut short: " + file.filename().string();
            }
        }
        if (sources != job.Report.SourcesCopied) return "source copies and count differ";
    } else {
        const fs::path script = out / (std::string(kCp) + ".cmd");
        if (!fs::exists(script)) return "script missing";
        const std::string text = ReadFile(script);
        if (text.rfind("OPEN CP6001 ALL PAMIRO\r\n", 0) != 0 ||
            !EndsWith(text, "CLOSE CP6001\r\nEXIT\r\n")) {
            return "script frame incomplete";
        }
    }
    return {};
}

void WriteInstallation(const Workspace& ws, bool withBase) {
    const std::vector<testing::TypeSpec> types{
        {"T1", {"P1", "P2"}}, {"T2", {}}, {"DEP", {"P1"}}, {"IND", {"P1", "P2", "P3"}}};
    WriteFile(ws.Data() / "ver20_620.dat", testing::EncodeDataFile(types, false));
    WriteFile(ws.Data() / "ver51_620.dat", testing::EncodeDataFile(types, true));
    if (withBase) WriteFile(ws.Data() / "DEP_base.s", "base source\r\n");
}

// Runs the request as the front ends do and checks the outcome.
std::string Convert(const Workspace& ws, int platform, int sourceKind, int destination,
                    const std::string& sourceDir) {
    const auto before = Snapshot(ws.Root());
    ConversionJob job;
    job.ProgramDir = ws.Data().string();
    job.VersionTable = DefaultVersionTable();
    QuietHost host(ws.Out().string());
    ConversionRequest request{kCp, platform, 4, sourceKind, destination, sourceDir};
    if (!RequestConversion(request, job, host)) return "request refused";
    if (Snapshot(ws.Root()) != before) return "a file outside the destination changed";
    return CheckOutput(job, host, ws.Out(), sourceKind == kSourceSaveAll);
}

std::string Part(const std::vector<std::string_view>& parts, std::size_t i) {
    return i < parts.size() ? std::string(parts[i]) : std::string();
}

void AddName(std::vector<std::string>& names, const std::string& name) {
    if (IsSafeFileName(name) && std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
    }
}

// The i-th name (from 0), or C1, C2, ... when the input names fewer.
std::string NameOrDefault(const std::vector<std::string>& names, std::size_t i) {
    return i < names.size() ? names[i] : "C" + std::to_string(i + 1);
}

}  // namespace

std::vector<std::string> CompoundNamesOfIndex(std::string_view cpIndex, int platform) {
    const std::size_t size = IndexEntrySize(platform);
    const std::size_t at = size == kLongEntrySize ? 10 : 6;
    const std::size_t width = size == kLongEntrySize ? 30 : 13;
    std::vector<std::string> names;
    for (std::size_t entry = 0; entry + size <= cpIndex.size(); entry += size) {
        AddName(names, CutAtNul(cpIndex.substr(entry + at, width)));
    }
    return names;
}

std::vector<std::string> CompoundNamesOfList(std::string_view compoundDir) {
    const std::vector<std::string> lines = SplitCompoundDirLines(compoundDir);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < lines.size(); i += 2) AddName(names, lines[i]);
    return names;
}

std::vector<std::string_view> SplitParts(std::string_view input) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = input.find(kPartSeparator);
        parts.push_back(input.substr(0, at));
        if (at == std::string_view::npos) return parts;
        input.remove_prefix(at + kPartSeparator.size());
    }
}

std::string JoinParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += kPartSeparator;
        joined += parts[i];
    }
    return joined;
}

std::string RunWorkingFileInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const int platform = data[0] % 3;
    const int destination = (data[0] >> 2) & 1;
    const auto parts = SplitParts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    Workspace& ws = TheWorkspace();
    ws.Reset();
    WriteInstallation(ws, (data[0] >> 3) & 1);
    const fs::path cpFolder = ws.Src() / kCp;
    WriteFile(cpFolder / (std::string(kCp) + ".wf"), Part(parts, 0));
    if (parts.size() > 1) WriteFile(cpFolder / (std::string(kCp) + ".O"), Part(parts, 1));
    const std::vector<std::string> names = CompoundNamesOfIndex(Part(parts, 1), platform);
    for (std::size_t i = 2; i < parts.size() && i < 5; ++i) {
        WriteFile(cpFolder / (NameOrDefault(names, i - 2) + ".O"), Part(parts, i));
    }
    WriteFile(ws.Src() / "C1" / "S1.s", "sequence S1\r\n");
    return Convert(ws, platform, kSourceWorkingFile, destination, ws.Src().string());
}

std::string RunSaveAllInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const int destination = data[0] & 1;
    const bool withList = (data[0] >> 1) & 1;
    const auto parts = SplitParts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    Workspace& ws = TheWorkspace();
    ws.Reset();
    WriteInstallation(ws, (data[0] >> 2) & 1);
    if (withList) WriteFile(ws.Src() / ".Compound_Dir", Part(parts, 0));
    const std::vector<std::string> names = CompoundNamesOfList(Part(parts, 0));
    for (std::size_t i = 1; i < parts.size() && i < 5; ++i) {
        WriteFile(ws.Src() / NameOrDefault(names, i - 1) / "parameters", Part(parts, i));
    }
    WriteFile(ws.Src() / "C1" / "S1.s", "sequence S1\r\n");
    return Convert(ws, data[0] % 3, kSourceSaveAll, destination, ws.Src().string());
}

std::string RunDataFileInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const int platform = data[0] % 3;
    const int destination = (data[0] >> 2) & 1;
    const auto parts = SplitParts(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const std::string dataFile = Part(parts, 0);
    Workspace& ws = TheWorkspace();
    ws.Reset();
    WriteFile(ws.Data() / "ver20_620.dat", dataFile);
    WriteFile(ws.Data() / "ver51_620.dat", dataFile);
    WriteFile(ws.Data() / "DEP_base.s", "base source\r\n");

    // The names to look up: those of the input, then every header's type.
    std::vector<std::string> names;
    for (std::size_t i = 1; i < parts.size() && names.size() < kMaxLookups; ++i) {
        names.emplace_back(parts[i]);
    }
    const DataFileLayout& layout = DataLayoutForPlatform(platform);
    for (std::size_t at = 0; at + layout.RecordSize <= dataFile.size() && names.size() < kMaxLookups;
         at += layout.RecordSize) {
        const DataRecord record = SplitDataRecord(std::string_view(dataFile).substr(at), layout);
        if (IsTypeHeader(record)) names.push_back(record.Detail.substr(0, record.Detail.find('\0')));
    }

    QuietHost host(ws.Out().string());
    ConversionJob shipped;
    ConversionJob reference;
    for (ConversionJob* job : {&shipped, &reference}) {
        job->DataFilePath = (ws.Data() / "ver20_620.dat").string();
        job->PlatformIndex = platform;
    }
    for (const std::string& name : names) {
        const int a = LookUpBlockType(shipped, host, name);
        const int b = ReferenceLookUpBlockType(reference, host, name);
        if (a != b || shipped.ParameterCount != reference.ParameterCount) {
            return "lookups disagree on the type [" + name + "]";
        }
        for (long long j = 0; j < shipped.ParameterCount; ++j) {
            const auto k = static_cast<std::size_t>(j);
            if (shipped.ParameterNames[k] != reference.ParameterNames[k]) {
                return "lookups disagree on entry " + std::to_string(j) + " of [" + name + "]";
            }
        }
    }

    // One block per name in a small Working File, converted with this data file.
    testing::CompoundSpec compound{"C1", testing::BlockSpec{"C1", names.empty() ? "T1" : names[0], {"a"}}, {}, {}};
    for (std::size_t i = 0; i < names.size(); ++i) {
        compound.Blocks.push_back({"B" + std::to_string(i), names[i], {"v1", " v2 ", "", "v4"}});
    }
    testing::WriteWorkingFile(ws.Src(), {kCp, "R001", platform, {compound}});
    return Convert(ws, platform, kSourceWorkingFile, destination, ws.Src().string());
}

}  // namespace pamiro::fuzz
