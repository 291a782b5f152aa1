#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "app/RequestCheck.h"

namespace pamiro {
struct ConversionJob;
}

namespace pamiro::cli {

// What names the CP and its source, shared by every command that reads one
// (convert, inspect): the same options, the same request check.
struct SourceOptions {
    std::string Cp, Platform, Version, Source, From, DataDir;
};

// --cp, --platform, --ia-version, --source, --from (all required).
void AddSourceOptions(CLI::App& command, SourceOptions& options);
// --data-dir.
void AddDataDirOption(CLI::App& command, SourceOptions& options);

// The version as its code or its label; a code outside the default table is
// offered as it is, so a site's own data file can be used.
int PickVersion(ConversionJob& job, const std::string& wanted);

// Sets the job's installation folder and version table and returns the
// request the window would make with these choices.
ConversionRequest PrepareRequest(const SourceOptions& options, ConversionJob& job);

}  // namespace pamiro::cli
