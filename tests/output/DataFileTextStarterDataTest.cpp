#include <gtest/gtest.h>

#include "output/DataFileCheck.h"
#include "output/DataFileText.h"
#include "run/ConversionJob.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

const char* const kVersions[] = {"411", "423", "610", "611", "620"};

// The types the bundled sample and the sequence handling rely on.
const char* const kRequiredTypes[] = {"COMPND", "AIN",  "AOUT",  "CIN",   "COUT", "PID",
                                      "PIDA",   "CALC", "CALCA", "LOGIC", "MATH", "BLNALM",
                                      "DEP",    "IND",  "MON",   "EXC"};

fs::path SourceRoot() { return PAMIRO_SOURCE_ROOT; }

std::vector<std::string> Lookup(const fs::path& file, int platform, const std::string& type) {
    const DiskInputFolder folder(file.parent_path().string(), false);
    ParameterLookup lookup(folder, {file.filename().string()},
                           TraitsOf(*PlatformFromIndex(platform)).DataLayout);
    const ParameterNames* names = lookup.Find(type);
    return names == nullptr ? std::vector<std::string>{} : *names;
}

TEST(StarterData, EveryVersionBuildsCleanlyForBothFamiliesAndDefinesTheCommonTypes) {
    TempDir temp;
    for (const char* version : kVersions) {
        const std::string text =
            ReadFile(SourceRoot() / "data" / "versions" / (std::string(version) + ".txt"));
        for (int platform : {0, 1}) {
            SCOPED_TRACE(std::string(version) + " platform " + std::to_string(platform));
            const DataFileLayout& layout = TraitsOf(*PlatformFromIndex(platform)).DataLayout;
            const DataFileBuild built = DataFileFromText(text, layout);
            ASSERT_TRUE(built.Errors.empty()) << built.Errors.front();
            EXPECT_TRUE(CheckDataFile(built.Bytes, layout).empty());
            const fs::path file = temp.Path() / (std::string(version) + std::to_string(platform));
            WriteFile(file, built.Bytes);
            for (const char* type : kRequiredTypes) {
                const std::vector<std::string> names = Lookup(file, platform, type);
                ASSERT_GE(names.size(), 6u) << type;
                EXPECT_EQ(names[0], "NAME");
                EXPECT_EQ(names[1], "TYPE");
                EXPECT_EQ(names[2], "DESCRP") << type;
            }
            EXPECT_TRUE(Lookup(file, platform, "XYZBLK").empty());
        }
    }
}

TEST(StarterData, NewerVersionsOnlyAppendToTheListsOfOlderOnes) {
    TempDir temp;
    std::string previous;
    int differing = 0;
    for (const char* version : kVersions) {
        const std::string text =
            ReadFile(SourceRoot() / "data" / "versions" / (std::string(version) + ".txt"));
        const std::string bytes = DataFileFromText(text, kLongDataLayout).Bytes;
        if (!previous.empty()) {
            SCOPED_TRACE(version);
            const fs::path older = temp.Path() / "older.dat";
            const fs::path newer = temp.Path() / "newer.dat";
            WriteFile(older, previous);
            WriteFile(newer, bytes);
            for (const char* type : kRequiredTypes) {
                const auto before = Lookup(older, 1, type);
                const auto after = Lookup(newer, 1, type);
                ASSERT_GE(after.size(), before.size()) << type;
                EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << type;
            }
            differing += previous != bytes;
        }
        previous = bytes;
    }
    EXPECT_EQ(differing, 4);
}

// The build writes every family's file for every default version from the
// version's text, beside the programs.
TEST(StarterData, LiesBesideThePrograms) {
    const fs::path programs = fs::path(PAMIRO_PROGRAM_DIR);
    const fs::path data = fs::path(PAMIRO_SOURCE_ROOT) / "data";
    for (const std::string type : {"DEP", "IND", "MON", "EXC"})
        EXPECT_EQ(ReadFile(programs / (type + "_base.s")), ReadFile(data / (type + "_base.s")));
    for (const std::string version : {"411", "423", "610", "611", "620"}) {
        const std::string text = ReadFile(data / "versions" / (version + ".txt"));
        EXPECT_EQ(ReadFile(programs / ("ver20_" + version + ".dat")),
                  DataFileFromText(text, kShortDataLayout).Bytes);
        EXPECT_EQ(ReadFile(programs / ("ver51_" + version + ".dat")),
                  DataFileFromText(text, kLongDataLayout).Bytes);
    }
}

}  // namespace
}  // namespace pamiro::testing
