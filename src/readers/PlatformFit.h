#pragma once

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

// The warning of a run on chosen when the CP's index file does not fit it and
// exactly one other platform does; empty otherwise.
std::string PlatformFitWarning(const SourceTree& tree, const std::string& cp, Platform chosen);

// "AW51", "AW51 y AW70", "PW (Intel), AW51 y AW70".
std::string PlatformList(const std::vector<Platform>& platforms);

}  // namespace pamiro
