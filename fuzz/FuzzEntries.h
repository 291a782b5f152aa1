#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pamiro::fuzz {

// An input: a settings byte (the platform in its low bits modulo 3, and the
// flags), two bytes of offset when kReadFails is set, then parts joined by
// kPartSeparator. working_file: CP.wf, CP.O and up to three compound index
// files named after the first compounds CP.O names (else C1.O, C2.O, C3.O);
// save_all: .Compound_Dir and up to four "parameters" files in the folders it
// names first (else C1 ... C4); data_file: the data file, then type names.
inline constexpr int kIcc = 4, kCompoundDir = 8, kReadFails = 16, kBaseSource = 32;
inline constexpr std::string_view kPartSeparator = "\n-8<-\n";
inline constexpr const char* kTargets[] = {"working_file", "save_all", "data_file"};

// Runs a whole conversion in memory on the input's tree (kReadFails: every
// source read fails from the offset on), or both data file lookups, and
// returns the first rule the outcome breaks; empty when all hold.
std::string RunInput(std::string_view target, std::string_view input);

// From in-code trees and, when the folder holds it, the bundled sample.
struct Seed {
    std::string Target, Name, Bytes;
};
std::vector<Seed> MakeSeeds(const std::string& samplesFolder);

}  // namespace pamiro::fuzz
