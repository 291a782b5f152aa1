#pragma once

#include <string>
#include <vector>

#include "run/RunObserver.h"

namespace pamiro::testing {

// Records the compounds and block records a run hands to the writer.
class SeenBlocks : public RunObserver {
public:
    void CompoundStarted(const std::string& name) override { Compounds.push_back(name); }
    void BlockSeenInRun(const BlockSeen& block) override {
        Blocks.push_back(block);
        Names.push_back(block.Compound + ":" + block.Name);
    }
    std::vector<std::string> Compounds;
    std::vector<BlockSeen> Blocks;
    std::vector<std::string> Names;
};

}  // namespace pamiro::testing
