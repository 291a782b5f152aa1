#include <gtest/gtest.h>

#include "FuzzEntries.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::fuzz {
namespace {

// Every rule holds on the seeds (well-formed trees and the sample, whole or
// with a failing read) and on every input a fuzzer once broke the engine with.
TEST(FuzzReplay, SeedsAndKeptInputsBreakNoRule) {
    std::vector<Seed> inputs = MakeSeeds(PAMIRO_SAMPLES);
    EXPECT_EQ(inputs.size(), 54u);  // 6 variants of 3 + 3 + 1 trees and 2 samples
    for (const char* target : kTargets) {
        const testing::fs::path folder = testing::fs::path(PAMIRO_FUZZ_REGRESSIONS) / target;
        if (!testing::fs::is_directory(folder)) continue;
        for (const auto& file : testing::fs::directory_iterator(folder)) {
            inputs.push_back({target, file.path().string(), testing::ReadFile(file.path())});
        }
    }
    for (const Seed& input : inputs) {
        EXPECT_EQ(RunInput(input.Target, input.Bytes), "") << input.Target << "/" << input.Name;
    }
}

}  // namespace
}  // namespace pamiro::fuzz
