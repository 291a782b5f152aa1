#include "cli/RunReportJson.h"

#include <gcrypt.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/ProgramInfo.h"
#include "app/RequestCheck.h"
#include "cli/CliHost.h"
#include "cli/SourceOptions.h"
#include "core/FileError.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

using json = nlohmann::ordered_json;

// Length of a valid UTF-8 sequence at text[at], 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const unsigned char second = length > 1 ? byte(at + 1) : 0;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
        return 0;
    }
    return length;
}

struct Digest {
    std::uint64_t Size = 0;
    std::string Sha256;
};

// Size and SHA-256 of a file as it is now; nullopt when it cannot be read.
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
    json entry{{key, AsUtf8(shown)}};
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
    json version{{"code", AsUtf8(options.Version)}, {"label", nullptr}};
    if (request.VersionIndex >= 0 &&
        request.VersionIndex < static_cast<int>(job.VersionTable.size())) {
        const auto& [code, label] =
            job.VersionTable[static_cast<std::size_t>(request.VersionIndex)];
        version = {{"code", AsUtf8(code)}, {"label", AsUtf8(label)}};
    }
    const auto platform = PlatformFromIndex(request.PlatformIndex);
    const auto source = SourceKindFromIndex(request.SourceIndex);
    const auto destination = DestinationKindFromIndex(ParseDestination(record.Destination));
    return {
        {"cp", AsUtf8(request.CpNameText)},
        {"platform", platform ? json(TraitsOf(*platform).Label) : json(AsUtf8(options.Platform))},
        {"version", version},
        {"source",
         {{"kind",
           source ? json(kSourceKindLabels[IndexOf(*source)]) : json(AsUtf8(options.Source))},
          {"folder", AsUtf8(options.From)}}},
        {"destination",
         {{"kind", destination ? json(kDestinationKindLabels[IndexOf(*destination)])
                               : json(AsUtf8(record.Destination))},
          {"folder", AsUtf8(record.DestinationFolder)}}},
        {"dataFolder", AsUtf8(job.ProgramDir)},
        {"options", {{"strict", record.Strict}, {"clean", record.Clean}}}};
}

}  // namespace

std::string AsUtf8(std::string_view bytes) {
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        if (const std::size_t length = Utf8Length(bytes, at)) {
            text.append(bytes.substr(at, length));
            at += length;
            continue;
        }
        const auto latin1 = static_cast<unsigned char>(bytes[at++]);
        text += static_cast<char>(0xC0 | (latin1 >> 6));
        text += static_cast<char>(0x80 | (latin1 & 0x3F));
    }
    return text;
}

std::string WriteRunReport(const std::string& path, const RunRecord& record) {
    json report{{"program", {{"name", kProgramName}, {"version", kVersionText}}},
                {"date", Now()},
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
            messages.push_back(
                {{"icon", IconName(m.Icon)}, {"title", AsUtf8(m.Title)}, {"text", AsUtf8(m.Text)}});
        }
    }
    report["messages"] = messages;
    report["outcome"] = OutcomeName(record.Outcome);
    report["exitStatus"] = record.ExitStatus;

    const std::string text = report.dump(2) + "\n";
    int error = 0;
    auto file = NativeFile::CreateForWriting(path, error);
    if (!file || !file->Write(text.data(), text.size()) || !file->Close()) {
        if (file) error = file->Error();
        return "No se puede escribir el informe " + path + ": " + ErrorText(error);
    }
    return {};
}

}  // namespace pamiro::cli
