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

std::vector<Seed> MakeSeeds();

}  // namespace pamiro::fuzz
