#pragma once

#include <string>
#include <vector>

namespace pamiro::fuzz {

// A starting input of one fuzz target, built from in-code tree descriptions.
struct Seed {
    std::string Target;  // "working_file", "save_all" or "data_file"
    std::string Name;
    std::string Bytes;
};

// From in-code tree descriptions, plus the bundled sample CP when samples
// names its folder (samples/working-file and samples/save-all).
std::vector<Seed> MakeSeeds(const std::string& samples = {});

}  // namespace pamiro::fuzz
