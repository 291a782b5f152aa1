#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pamiro::fuzz {

// The entry code of the fuzz targets, shared with the test that replays their
// regression inputs. Each entry builds a source tree from the input in a
// private temporary folder, runs a real conversion over it and checks what
// must hold whatever the input: nothing outside the destination changed, no
// success reported for output that is missing or cut short, and (data file
// entry) the shipped lookup agrees with the full-scan reference. Returns an
// empty text, or what went wrong.

// Input: one settings byte (platform, destination), then the parts CP.wf,
// CP.O and up to three compound index files separated by kPartSeparator. The
// compound index files are named after the first compounds CP.O names (when
// they can name a file), else C1.O, C2.O, C3.O.
std::string RunWorkingFileInput(const std::uint8_t* data, std::size_t size);
// Input: one settings byte (destination, whether ".Compound_Dir" exists), then
// the parts .Compound_Dir and up to four "parameters" files, in the folders
// the list names first (when they can name a folder), else C1 ... C4.
std::string RunSaveAllInput(const std::uint8_t* data, std::size_t size);
// Input: one settings byte (platform, destination), then the data file, then
// type names to look up.
std::string RunDataFileInput(const std::uint8_t* data, std::size_t size);

// The compound names of a CP index file (platform's entry form) or of a
// ".Compound_Dir" text that can name a file, in order, without repeats.
std::vector<std::string> CompoundNamesOfIndex(std::string_view cpIndex, int platform);
std::vector<std::string> CompoundNamesOfList(std::string_view compoundDir);

inline constexpr std::string_view kPartSeparator = "\n-8<-\n";
std::vector<std::string_view> SplitParts(std::string_view input);
std::string JoinParts(const std::vector<std::string>& parts);

}  // namespace pamiro::fuzz
