#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "FuzzEntries.h"
#include "FuzzSeeds.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::fuzz {
namespace {

namespace fs = std::filesystem;
using Entry = std::function<std::string(const std::uint8_t*, std::size_t)>;

const std::map<std::string, Entry>& Entries() {
    static const std::map<std::string, Entry> entries{{"working_file", RunWorkingFileInput},
                                                      {"save_all", RunSaveAllInput},
                                                      {"data_file", RunDataFileInput}};
    return entries;
}

std::string Replay(const std::string& target, const std::string& bytes) {
    return Entries().at(target)(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// Every input a fuzzer once broke the engine (or its checks) with.
TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
    int replayed = 0;
    for (const auto& [target, entry] : Entries()) {
        const fs::path folder = fs::path(PAMIRO_FUZZ_REGRESSIONS) / target;
        if (!fs::is_directory(folder)) continue;
        for (const auto& file : fs::directory_iterator(folder)) {
            SCOPED_TRACE(file.path().string());
            EXPECT_EQ(Replay(target, testing::ReadFile(file.path())), "");
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

// The seeds are well-formed trees: the checks hold on them too, and they keep
// the entry code itself honest.
TEST(FuzzRegressions, SeedsRunCleanly) {
    const std::vector<Seed> seeds = MakeSeeds(PAMIRO_SAMPLES);
    ASSERT_FALSE(seeds.empty());
    int samples = 0;
    for (const Seed& seed : seeds) samples += seed.Name.rfind("sample", 0) == 0;
    if (std::filesystem::exists(PAMIRO_SAMPLES)) {
        EXPECT_EQ(samples, 6);
    }
    for (const Seed& seed : seeds) {
        SCOPED_TRACE(seed.Target + "/" + seed.Name);
        EXPECT_EQ(Replay(seed.Target, seed.Bytes), "");
    }
}

TEST(FuzzRegressions, PartsSplitAtEverySeparator) {
    const std::string joined = JoinParts({"a", "", "b\n-8<"});
    const std::vector<std::string_view> parts = SplitParts(joined);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "a");
    EXPECT_EQ(parts[1], "");
    EXPECT_EQ(parts[2], "b\n-8<");
}

}  // namespace
}  // namespace pamiro::fuzz
