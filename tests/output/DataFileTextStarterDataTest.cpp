#include <gtest/gtest.h>

#include "output/DataFileCheck.h"
#include "output/DataFileText.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// The types the bundled sample and the sequence handling rely on.
const char* const kRequiredTypes[] = {"COMPND", "AIN",  "AOUT",  "CIN",   "COUT", "PID",
                                      "PIDA",   "CALC", "CALCA", "LOGIC", "MATH", "BLNALM",
                                      "DEP",    "IND",  "MON",   "EXC"};

ParameterNames Lookup(const std::string& bytes, const DataFileLayout& layout, const char* type) {
    MemoryInputFolder folder;
    folder.Files["d"] = bytes;
    ParameterLookup lookup(folder, {"d"}, layout);
    const ParameterNames* names = lookup.Find(type);
    return names == nullptr ? ParameterNames{} : *names;
}

// Every version's text builds cleanly for both families, into the files the
// build put beside the programs; each defines the common types, and a newer
// version only appends to an older one's lists.
TEST(StarterData, BuildsTheDataFilesBesideTheProgramsWithTheCommonTypes) {
    const fs::path programs = PAMIRO_PROGRAM_DIR, data = fs::path(PAMIRO_SOURCE_ROOT) / "data";
    for (const std::string type : {"DEP", "IND", "MON", "EXC"}) {
        EXPECT_EQ(ReadFile(programs / (type + "_base.s")), ReadFile(data / (type + "_base.s")));
    }
    std::string older;
    for (const std::string version : {"411", "423", "610", "611", "620"}) {
        const std::string text = ReadFile(data / "versions" / (version + ".txt"));
        for (const auto& [prefix, layout] :
             {std::pair{"ver20_", &kShortDataLayout}, std::pair{"ver51_", &kLongDataLayout}}) {
            SCOPED_TRACE(prefix + version);
            const DataFileBuild built = DataFileFromText(text, *layout);
            ASSERT_TRUE(built.Errors.empty()) << built.Errors.front();
            EXPECT_TRUE(CheckDataFile(built.Bytes, *layout).empty());
            EXPECT_EQ(ReadFile(programs / (prefix + version + ".dat")), built.Bytes);
            for (const char* type : kRequiredTypes) {
                const ParameterNames names = Lookup(built.Bytes, *layout, type);
                ASSERT_GE(names.size(), 6u) << type;
                EXPECT_EQ(ParameterNames(names.begin(), names.begin() + 3),
                          (ParameterNames{"NAME", "TYPE", "DESCRP"}));
                if (layout != &kLongDataLayout || older.empty()) continue;
                const ParameterNames before = Lookup(older, *layout, type);
                ASSERT_GE(names.size(), before.size()) << type;
                EXPECT_TRUE(std::equal(before.begin(), before.end(), names.begin())) << type;
            }
            EXPECT_TRUE(Lookup(built.Bytes, *layout, "XYZBLK").empty());
            if (layout == &kLongDataLayout) {
                EXPECT_NE(built.Bytes, older);
                older = built.Bytes;
            }
        }
    }
}

}  // namespace
}  // namespace pamiro::testing
