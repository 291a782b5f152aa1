#include <gtest/gtest.h>

#include "output/ParameterDataFile.h"
#include "run/ConversionJob.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

using Names = std::vector<std::string>;

// Looks a type up in a data file made of the given raw records.
class Lookup : public ::testing::Test {
protected:
    std::pair<int, Names> Find(const std::string& bytes, const std::string& type, int platform) {
        const fs::path path = temp.Path() / "ver.dat";
        WriteFile(path, bytes);
        job.DataFilePath = path.string();
        job.PlatformIndex = platform;
        job.DataFile.Clear();
        const int result = LookUpBlockType(job, host, type);
        EXPECT_EQ(job.ParameterCount, static_cast<long long>(job.ParameterNames.size()));
        return {result, result == 0 ? job.ParameterNames : Names{}};
    }
    static std::string Rec(bool longLayout, const std::string& key, const std::string& detail = "") {
        return DataRecordBytes(longLayout, "", key, detail);
    }
    TempDir temp;
    ConversionJob job;
    RecordingHost host;
};

TEST_F(Lookup, EmptyFileOrMissingTypeIsNotFound) {
    EXPECT_EQ(Find("", "AIN", 1).first, -2);
    EXPECT_EQ(job.ParameterCount, 0);
    EXPECT_EQ(Find(EncodeDataFile({{"AOUT", {"X"}}}, true), "AIN", 1).first, -2);
}

TEST_F(Lookup, ListsRunFromTheirHeaderToTheNextAndTheLastDefinitionWins) {
    for (bool longLayout : {false, true}) {
        SCOPED_TRACE(longLayout);
        const int platform = longLayout ? 2 : 0;
        const std::string bytes =
            Rec(longLayout, "STRAY") +  // before any header: in no list
            Rec(longLayout, "NAME", "AIN") + Rec(longLayout, "TYPE") + Rec(longLayout, "OLD") +
            Rec(longLayout, "NAMEXYZ", "OTHER") + Rec(longLayout, "TYPE") +  // "NAME..." is a header
            Rec(longLayout, "NAME", "AIN") + Rec(longLayout, "TYPE") + Rec(longLayout, "NEW1") +
            Rec(longLayout, "NEW2");
        EXPECT_EQ(Find(bytes, "AIN", platform).second, (Names{"NAME", "TYPE", "NEW1", "NEW2"}));
        EXPECT_EQ(Find(bytes, "OTHER", platform).second, (Names{"NAMEXYZ", "TYPE"}));
        EXPECT_EQ(Find(bytes, "ain", platform).first, -2);  // exact case
        EXPECT_EQ(Find(bytes, "AI", platform).first, -2);
    }
}

TEST_F(Lookup, HeaderTestLooksAtTheFieldsFirstFourBytes) {
    const std::string bytes = Rec(true, "NAME", "T") + Rec(true, "TYPE") +
                              Rec(true, " NAME", "U") + Rec(true, "name", "V") + Rec(true, "P");
    EXPECT_EQ(Find(bytes, "T", 1).second, (Names{"NAME", "TYPE", "NAME", "name", "P"}));
    EXPECT_EQ(Find(bytes, "U", 1).first, -2);
}

TEST_F(Lookup, PlatformChoosesTheRecordLayoutNotTheFileName) {
    // The same bytes read as short records give other fields than as long ones.
    const std::string shortFile = EncodeDataFile({{"PID", {"KP", "TI"}}}, false);
    EXPECT_EQ(Find(shortFile, "PID", 0).second, (Names{"NAME", "TYPE", "KP", "TI"}));
    EXPECT_EQ(Find(shortFile, "PID", 1).first, -2);
    const std::string longFile = EncodeDataFile({{"PID", {"KP", "TI"}}}, true);
    EXPECT_EQ(Find(longFile, "PID", 2).second, (Names{"NAME", "TYPE", "KP", "TI"}));
}

TEST_F(Lookup, MalformedFieldsAndRecordsAreReadSoundly) {
    using namespace std::string_literals;
    // Stray bytes after the NUL are ignored; a field without NUL is taken
    // whole; blanks around a name are trimmed.
    std::string bytes = Rec(false, "NAME", "T") + Rec(false, "TYPE") +
                        Rec(false, "KP\0junk"s) + Rec(false, "ABCDEFGHIJKL") + Rec(false, "  TI  ");
    std::string noNulType = DataRecordBytes(false, "", "NAME", "SIXTEEN_CHARS_XX");
    bytes += noNulType + Rec(false, "TYPE");
    // A partial last record is no record.
    bytes += Rec(false, "PARTIAL").substr(0, 20);
    EXPECT_EQ(Find(bytes, "T", 0).second, (Names{"NAME", "TYPE", "KP", "ABCDEFGHIJKL", "TI"}));
    EXPECT_EQ(Find(bytes, "SIXTEEN_CHARS_XX", 0).second, (Names{"NAME", "TYPE"}));
}

TEST_F(Lookup, ListsLongerThan1001EntriesKeepEveryEntry) {
    std::vector<std::string> parameters;
    for (int i = 0; i < 1500; ++i) parameters.push_back("P" + std::to_string(i));
    auto [result, names] = Find(EncodeDataFile({{"BIG", parameters}}, true), "BIG", 1);
    ASSERT_EQ(result, 0);
    ASSERT_EQ(names.size(), 1502u);
    EXPECT_EQ(names.back(), "P1499");
}

}  // namespace
}  // namespace pamiro::testing
