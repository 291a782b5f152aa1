#pragma once

#include <string>
#include <utility>
#include <vector>

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

}  // namespace pamiro
