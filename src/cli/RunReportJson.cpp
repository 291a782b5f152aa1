#include "cli/RunReportJson.h"

#include <gcrypt.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/ProgramInfo.h"
#include "app/ReportPath.h"
#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/SourceOptions.h"
#include "core/FileError.h"
#include "core/Interrupt.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

using json = nlohmann::ordered_json;

json ReportOf(const RunRecord& record);
std::string WriteReportFile(const std::string& path, const json& report);

using Digest = FileDigest;

// Thrown when an interruption comes while a file is hashed.
struct HashingInterrupted {};
// The report of a run that was itself interrupted is still written whole;
// only an interruption that comes while the report is made stops it.
thread_local bool honourInterruptions = false;

// Size and SHA-256 of a file as it is now; nullopt when it cannot be read.
// A large input takes a while: an interruption is honoured between chunks.
std::optional<Digest> DigestOf(const std::string& path) {
    static const bool ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)ready;
    int error = 0;
    const auto file = NativeFile::OpenForReading(path, {}, true, error);
    if (!file) return std::nullopt;
    gcry_md_hd_t hash = nullptr;
    if (gcry_md_open(&hash, GCRY_MD_SHA256, 0) != 0) return std::nullopt;
    const std::unique_ptr<gcry_md_handle, void (*)(gcry_md_hd_t)> closer(hash, gcry_md_close);
    Digest digest;
    std::string chunk(256 * 1024, '\0');
    for (;;) {
        if (honourInterruptions && InterruptionSignal() != 0) throw HashingInterrupted{};
        const long long got = file->ReadAt(digest.Size, chunk.data(), chunk.size());
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        gcry_md_write(hash, chunk.data(), static_cast<std::size_t>(got));
        digest.Size += static_cast<std::uint64_t>(got);
    }
    const unsigned char* sum = gcry_md_read(hash, GCRY_MD_SHA256);
    static constexpr char kHex[] = "0123456789abcdef";
    for (unsigned i = 0; i < gcry_md_get_algo_dlen(GCRY_MD_SHA256); ++i) {
        digest.Sha256 += kHex[sum[i] >> 4];
        digest.Sha256 += kHex[sum[i] & 0xF];
    }
    return digest;
}

json FileEntry(const char* key, const std::string& shown, const std::string& path) {
    json entry{{key, DisplayText(shown)}};
    if (std::string(key) == "path") entry[key] = DisplayText(AbsolutePathText(shown));
    if (const auto digest = DigestOf(path)) {
        entry["size"] = digest->Size;
        entry["sha256"] = digest->Sha256;
    } else {
        entry["size"] = nullptr;
        entry["sha256"] = nullptr;
    }
    return entry;
}

std::string Now() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    return text;
}

const char* OutcomeName(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Finished:
            return "finished";
        case RunOutcome::Failed:
            return "failed";
        case RunOutcome::Interrupted:
            return "interrupted";
        case RunOutcome::Refused:
            return "refused";
    }
    return "failed";
}

const char* IconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return "critical";
        case MessageIcon::Warning:
            return "warning";
        case MessageIcon::Question:
            return "question";
    }
    return "critical";
}

json RequestOf(const RunRecord& record) {
    const SourceOptions& options = *record.Options;
    const ConversionRequest& request = *record.Request;
    const ConversionJob& job = *record.Job;
    json version{{"code", DisplayText(options.Version)}, {"label", nullptr}};
    if (request.VersionIndex >= 0 &&
        request.VersionIndex < static_cast<int>(job.VersionTable.size())) {
        const auto& [code, label] =
            job.VersionTable[static_cast<std::size_t>(request.VersionIndex)];
        version = {{"code", DisplayText(code)}, {"label", DisplayText(label)}};
    }
    const auto platform = PlatformFromIndex(request.PlatformIndex);
    const auto source = SourceKindFromIndex(request.SourceIndex);
    const auto destination = DestinationKindFromIndex(ParseDestination(record.Destination));
    return {{"cp", DisplayText(request.CpNameText)},
            {"platform",
             platform ? json(TraitsOf(*platform).Label) : json(DisplayText(options.Platform))},
            {"version", version},
            {"source",
             {{"kind", source ? json(kSourceKindLabels[IndexOf(*source)])
                              : json(DisplayText(options.Source))},
              {"folder", DisplayText(AbsolutePathText(options.From))}}},
            {"destination",
             {{"kind", destination ? json(kDestinationKindLabels[IndexOf(*destination)])
                                   : json(DisplayText(record.Destination))},
              {"folder", DisplayText(AbsolutePathText(record.DestinationFolder))}}},
            {"dataFolder", DisplayText(AbsolutePathText(job.ProgramDir))},
            {"options", {{"strict", record.Strict}, {"clean", record.Clean}}}};
}

}  // namespace

std::optional<FileDigest> DigestOfFile(const std::string& path) { return DigestOf(path); }

int ReplaceFileWith(const std::string& path, std::string_view text) {
    const std::filesystem::path place = NativePath(path);
    const std::string temporary =
        PathBytes(place.parent_path() / ("." + PathBytes(place.filename()) + ".pamiro-tmp"));
    int error = 0;
    auto file = NativeFile::CreateForWriting(temporary, error);
    if (file && file->Write(text.data(), text.size()) && file->Close() &&
        RenameEntry(temporary, path, error)) {
        return 0;
    }
    if (file && file->Error() != 0) error = file->Error();
    RemoveFile(temporary);
    return error != 0 ? error : EIO;
}

std::string WriteRunReport(const std::string& path, const RunRecord& record) {
    honourInterruptions = InterruptionSignal() == 0;
    try {
        return WriteReportFile(path, ReportOf(record));
    } catch (const HashingInterrupted&) {
        return "No se ha escrito el informe " + path + ": la orden se ha interrumpido";
    }
}

namespace {

json ReportOf(const RunRecord& record) {
    std::error_code noFolder;
    const std::filesystem::path working = std::filesystem::current_path(noFolder);
    json report{{"program", {{"name", kProgramName}, {"version", kVersionText}}},
                {"date", Now()},
                {"workingFolder", noFolder ? json(nullptr) : json(DisplayText(PathBytes(working)))},
                {"request", RequestOf(record)}};
    json inputs = json::array();
    if (record.Inputs != nullptr) {
        for (const InputRead& input : *record.Inputs) {
            json entry = FileEntry("path", input.Path, input.Path);
            entry["role"] = InputRoleName(input.Role);
            inputs.push_back(std::move(entry));
        }
    }
    report["inputs"] = inputs;
    json outputs = json::array();
    for (const std::string& name : record.Outputs) {
        outputs.push_back(FileEntry("name", name, JoinPath(record.DestinationFolder, name)));
    }
    report["outputs"] = outputs;
    const RunReport& r = record.Job->Report;
    report["summary"] = {{"compounds", r.CompoundsConverted},
                         {"blocksWritten", r.BlocksWritten},
                         {"sourcesCopied", r.SourcesCopied},
                         {"baseSourcesCopied", r.BaseSourcesCopied},
                         {"unknownTypeBlocks", r.UnknownTypeBlocks},
                         {"invalidOffsets", r.InvalidOffsets},
                         {"missingSequenceSources", r.MissingSequenceSources}};
    json messages = json::array();
    if (record.Messages != nullptr) {
        for (const LoggedMessage& m : *record.Messages) {
            json message{{"icon", IconName(m.Icon)},
                         {"title", DisplayText(m.Title)},
                         {"text", DisplayText(m.Text)}};
            // What the command line said below it: where it looked, a hint.
            if (!m.Detail.empty()) message["detail"] = DisplayText(m.Detail);
            messages.push_back(std::move(message));
        }
    }
    report["messages"] = messages;
    report["outcome"] = OutcomeName(record.Outcome);
    report["exitStatus"] = record.ExitStatus;
    return report;
}

// Written beside its place and renamed into it: a report is whole or absent,
// never half of one over an older one.
std::string WriteReportFile(const std::string& path, const json& report) {
    // Every string went through DisplayText; replace, not abort, should one slip by.
    const std::string text = report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
    if (const int error = ReplaceFileWith(path, text); error != 0) {
        return "No se puede escribir el informe " + path + ": " + ErrorText(error);
    }
    return {};
}

}  // namespace

}  // namespace pamiro::cli
