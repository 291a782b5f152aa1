#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/RequestCheck.h"
#include "core/Choices.h"

namespace pamiro {

// Checks of what the user chose that the window and the command line share,
// made before a run so that wrong input is told rather than converted.

// The second line of "Letterbug del CP incorrecto": what a letterbug is.
inline constexpr const char* kLetterbugExplained =
    "Un letterbug tiene seis caracteres y ninguno de los que un nombre de archivo no admite "
    "(\\ / : * ? \" < > | y caracteres de control)";

// A warning when the destination is the source folder or lies inside it
// (what is written would mix with the tree being read); empty otherwise.
std::string DestinationInSourceWarning(const std::string& sourceDir,
                                       const std::string& destinationDir);

// The platforms whose index form fits the Working File of cp under sourceDir.
std::vector<Platform> PlatformsFittingWorkingFile(const std::string& sourceDir,
                                                  const std::string& cp);

// "411 (4.1.1 o anterior), 423 (4.2.x), ...".
std::string VersionsOnOffer(const std::vector<std::pair<std::string, std::string>>& table);

// A refusal of the check with the detail the command line prints below it:
// what a letterbug is, the versions on offer, where the data file was looked
// for (and the case variants that kept it from being found).
Refusal DetailedRefusal(const Refusal& refusal, const ConversionRequest& request,
                        const ConversionJob& job);

// The source or destination folder written as a Windows path where it would
// name something else (a folder literally called "C:\datos"); named after
// the command line's options --from and --to.
std::optional<Refusal> RefuseWindowsPaths(const ConversionRequest& request);

// A source folder that does not exist or is no folder.
std::optional<Refusal> RefuseSourceFolder(const std::string& folder);

// The check of an output read as a source (compare, inspect): the CP name,
// normalised in request, and the folder. The output itself is read later.
std::optional<Refusal> CheckOutputSource(ConversionRequest& request);

// kAutoPlatform: the one platform the Working File's CP index fits, said in
// note; a refusal naming the candidates otherwise, and for a Save All.
std::optional<Refusal> PickPlatform(ConversionRequest& request, std::string& note);

// Every refusal of a request, in the order the user is told: the window's
// check, no Windows path, the source folder must exist, then kAutoPlatform is
// resolved (said in platformNote) and the check runs again for its data file.
// Refusals carry their detail. Nothing is shown.
std::optional<Refusal> CheckRequestToRun(ConversionRequest& request, ConversionJob& job, Host& host,
                                         std::string& platformNote);

// Warns through host when the destination is the source folder or inside it.
void WarnIfDestinationInSource(const ConversionJob& job, Host& host);

}  // namespace pamiro
