#pragma once

#include <optional>
#include <string>

#include "app/RequestCheck.h"
#include "cli/SourceOptions.h"

namespace pamiro::cli {

// What the command line adds to a refusal of the window's check: what a
// letterbug is, the versions on offer, where the data file was looked for.
CliRefusal Explained(const Refusal& refusal, const ConversionRequest& request,
                     const ConversionJob& job);

// --from or --to written as a Windows path where it would name something
// else (a folder literally called "C:\datos").
std::optional<CliRefusal> RefuseWindowsPaths(const ConversionRequest& request);

// --platform auto: the one platform the Working File's CP index fits, said
// in note; a refusal naming the candidates otherwise, and for a Save All.
std::optional<CliRefusal> PickPlatform(ConversionRequest& request, std::string& note);

}  // namespace pamiro::cli
