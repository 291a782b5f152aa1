#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/StagedRun.h"

namespace pamiro {
struct ConversionJob;
struct ConversionRequest;
}  // namespace pamiro

namespace pamiro::cli {

struct SourceOptions;

// Everything the report of one run says, gathered by the command.
struct RunRecord {
    const SourceOptions* Options = nullptr;  // as given
    const ConversionRequest* Request = nullptr;
    const ConversionJob* Job = nullptr;
    std::string Destination, DestinationFolder;
    bool Strict = false, Clean = false;
    const std::vector<InputRead>* Inputs = nullptr;  // files opened, in order
    std::vector<std::string> Outputs;                // names in DestinationFolder
    const std::vector<LoggedMessage>* Messages = nullptr;
    RunOutcome Outcome = RunOutcome::Failed;
    int ExitStatus = 1;
};

// Writes the run's report as one JSON document (UTF-8) to path, with the
// size and SHA-256 of every file read and written. Empty on success, else
// the line that says why it could not be written.
std::string WriteRunReport(const std::string& path, const RunRecord& record);

// Size and SHA-256 (lower-case hex) of a file as it is now.
struct FileDigest {
    std::uint64_t Size = 0;
    std::string Sha256;
};
// Nullopt when the file cannot be read.
std::optional<FileDigest> DigestOfFile(const std::string& path);

// Writes text beside path and renames it into place, so that path holds the
// whole text or what it held before. 0, or the error number.
int ReplaceFileWith(const std::string& path, std::string_view text);

}  // namespace pamiro::cli
