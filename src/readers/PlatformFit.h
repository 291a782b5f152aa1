#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ByteSource.h"
#include "core/Choices.h"
#include "core/SourceTree.h"

namespace pamiro {

// The platform is the one choice a user cannot see in the files, and a wrong
// one turns a Working File into garbage. The CP's index file tells: it fits a
// platform when its length is a whole number of entries of that platform's
// form and every record offset, read in that platform's byte order, is 0 or
// lies inside the working file.
bool IndexFits(ByteSource& index, std::uint64_t workingFileLength, Platform platform);
std::vector<Platform> PlatformsFitting(ByteSource& index, std::uint64_t workingFileLength);

// The platforms the CP's index file (CP/CP.O) fits; empty when it or the
// working file is missing.
std::vector<Platform> PlatformsFittingTree(const SourceTree& tree, const std::string& cp);

// The one other platform the CP's index file fits when it does not fit
// chosen; nullopt when it fits chosen, or none or several others.
std::optional<Platform> OnlyOtherFittingPlatform(const SourceTree& tree, const std::string& cp,
                                                 Platform chosen);
// What is said then: "El índice de CP.O no corresponde a la plataforma PW
// (Intel); parece AW51"; empty when it fits (or nothing else does).
std::string PlatformFitWarning(const SourceTree& tree, const std::string& cp, Platform chosen);

// "AW51", "AW51 y AW70", "PW (Intel), AW51 y AW70".
std::string PlatformList(const std::vector<Platform>& platforms);

}  // namespace pamiro
