#pragma once

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/InputChecks.h"
#include "app/RequestCheck.h"
#include "core/Choices.h"

namespace pamiro {
class Host;
struct ConversionJob;
}  // namespace pamiro

namespace pamiro::cli {

// What names the CP and its source, shared by every command that reads one
// (convert, inspect): the same options, the same request check.
struct SourceOptions {
    std::string Cp, Platform, Version, Source, From, DataDir;
};

// --cp, --platform, --ia-version, --source, --from (all required). With
// outputs, --source also takes a conversion's output (compare, inspect).
void AddSourceOptions(CLI::App& command, SourceOptions& options, bool outputs = false);
// --data-dir.
void AddDataDirOption(CLI::App& command, SourceOptions& options);

// A mistyped choice is a usage error that quotes the value and lists the
// accepted ones.
CLI::Validator PlatformChoice(bool orAuto = false);
CLI::Validator SourceChoice(bool outputs = false);
inline constexpr const char* kOutputSourceHelp =
    "; también la salida de una conversión: foxcae | icc (\"FoxCAE Transfer\", \"ICC Api\")";
CLI::Validator DestinationChoice();
// An empty value is a usage error naming what is missing ("la carpeta del destino").
CLI::Validator NotEmpty(std::string what);
inline constexpr const char* kPlatformHelp =
    "Plataforma: pw | aw51 | aw70 (también \"PW (Intel)\", \"AW51\", \"AW70\", 0, 1, 2), o auto: "
    "la que corresponde al índice del CP de un Working File";
inline constexpr const char* kVersionHelp =
    "Versión de I/A: código (411, 423, 610, 611, 620), su texto o una versión que el texto "
    "nombra (6.2, 6.2.1 o 6.3 son 620; 6.1 o 4.3, 610); otro código solo si existe su archivo "
    "de datos";
inline constexpr const char* kDestinationHelp =
    "Formato del destino: foxcae | icc (también \"FoxCAE Transfer\", \"ICC Api\", 0, 1)";

// The version as its code or its label; a code outside the default table is
// offered as it is, so a site's own data file can be used.
int PickVersion(ConversionJob& job, const std::string& wanted);

// Sets the job's installation folder and version table and returns the
// request the window would make with these choices.
ConversionRequest PrepareRequest(const SourceOptions& options, ConversionJob& job);

// A refusal as the command line prints it: the window's title and text, then
// what the command line can add (the path it looked for).
using CliRefusal = Refusal;
void PrintRefusal(const CliRefusal& refusal);
// The same for a script: {"refused": true, "title", "text"[, "detail"]}.
nlohmann::ordered_json RefusalJson(const CliRefusal& refusal);

// Every refusal rule of a request (CheckRequestToRun); --platform auto's pick
// is said in autoNote, or on stderr when it is null. Nothing else is shown;
// the caller prints the refusal. A destination inside the source is warned
// through host.
std::optional<CliRefusal> CheckForRun(ConversionRequest& request, ConversionJob& job, Host& host,
                                      std::string* autoNote = nullptr);

// The labels of a checked request's platform and source (2 and 3 are the
// outputs read as sources); "-" for none.
std::string PlatformName(int index);
std::string SourceName(int index);

// The output a --source of compare or inspect names; null for a source.
std::optional<DestinationKind> OutputSourceOf(const SourceOptions& options);

// Creates the destination folder and its missing parents; created lists them,
// outermost first, so a run that fails can take them back. A refusal names
// the folder and says why.
std::optional<CliRefusal> MakeDestination(const std::string& folder,
                                          std::vector<std::string>& created);
// Removes the folders of created that are still empty, innermost first.
void RemoveEmptyFolders(const std::vector<std::string>& created);

// The closing warning of a run that wrote no block though the source had
// entries; empty otherwise.
std::string NothingWrittenWarning(const ConversionJob& job);

}  // namespace pamiro::cli
