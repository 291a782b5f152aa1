#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "treebuilder/TreeBuilder.h"

namespace pamiro::samplegen {

// A sample CP as its description states it, values already in record order.
struct Sample {
    std::string Cp;
    std::string Revision = "R001";
    int Platform = 1;
    std::vector<testing::CompoundSpec> Compounds;
};

class DescriptionError : public std::runtime_error {
  public:
    DescriptionError(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what) {}
};

// Parses a description; the data file orders each known type's values.
// sourcesDir holds COMPOUND/BLOCK.s files for sequence blocks.
Sample ParseSample(const std::string& text, const std::string& dataFile, int dataPlatform,
                   const std::filesystem::path& sourcesDir);

// Writes OUT/working-file/CP/... and OUT/save-all/CP/... (replacing them).
void WriteSample(const Sample& sample, const std::filesystem::path& out);

}  // namespace pamiro::samplegen
