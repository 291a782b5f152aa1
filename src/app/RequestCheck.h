#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pamiro {

class Host;
struct ConversionJob;

// What the user chose for one conversion, as selection indexes (-1: nothing
// selected) and texts. The window and the command line fill it alike.
struct ConversionRequest {
    std::string CpNameText;         // as typed; normalised in place by the check
    int PlatformIndex = -1;         // 0 "PW (Intel)", 1 "AW51", 2 "AW70"
    int VersionIndex = -1;          // row of job.VersionTable
    int SourceIndex = -1;           // 0 "Working File", 1 "Save All"
    int DestinationIndex = -1;      // 0 "FoxCAE Transfer", 1 "ICC Api"
    std::string SourceSelection;    // selected entry of the source folder list
    std::string DestinationFolder;  // the folder the destination list shows
};

// Which refusal it is, so that what explains it never depends on its wording.
enum class RefusalKind { Plain, Letterbug, DataFile };

// A refused request: the window's title and text; what the command line adds
// below them (what would be right, where it looked).
struct Refusal {
    std::string Title, Text;
    std::string Detail;
    RefusalKind Kind = RefusalKind::Plain;
};

// --platform auto: the platform is the one the Working File's index fits.
inline constexpr int kAutoPlatform = -2;

// The default table of offered versions: code, label.
const std::vector<std::pair<std::string, std::string>>& DefaultVersionTable();
// True when version is one a label names: "6.2 / 6.2.1 / 6.3" names 6.2,
// 6.2.1 and 6.3; "4.1.1 o anterior" names 4.1.1.
bool LabelNamesVersion(std::string_view label, std::string_view version);

// Trimmed of blanks, upper case (Latin-1 letters too).
std::string NormaliseCpName(const std::string& text);

// The refusal of a normalised CP name that is empty or no letterbug.
std::optional<Refusal> CpNameRefusal(const std::string& cp);

// Checks the request in the order the user expects to be told: the first
// failing test's refusal. On success job holds SourceDir, DestinationDir,
// DataFilePath, DestinationKind, PlatformIndex and zeroed counters. Clears status panel 1 and
// normalises request.CpNameText whatever the outcome.
std::optional<Refusal> CheckRequest(ConversionRequest& request, ConversionJob& job, Host& host);

// A refusal as the window shows it: the usual text first, then what would be
// right, or the case variants that kept the data file from being found.
Refusal ExplainedRefusal(Refusal refusal, const ConversionJob& job);

// The run of a request the check accepted: a destination inside the source is
// warned about, and a source not found is followed by where it more likely is.
void RunAcceptedRequest(const ConversionRequest& request, ConversionJob& job, Host& host);

}  // namespace pamiro
