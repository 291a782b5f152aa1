#include <gtest/gtest.h>

#include "output/BlockWriter.h"
#include "output/OutputFiles.h"
#include "output/OutputFormats.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

TEST(OutputFormats, LinesAndNamesAreExactlyAsTheFormatsStateThem) {
    // The plain lines show in the worked example's bytes (ConversionTest); here the widths.
    const std::pair<std::string, std::string> cases[] = {
        {CompoundFileName(40000), "cmp40000"},
        {SourceCopyName(123), "src0123"},
        {CompoundListLine("UNIT 1", 32768), "UNIT 1 32768"},
        {FoxParameterLine("", "v"), "         >v"},
        {FoxParameterLine("EIGHT___", "v"), "EIGHT___ >v"},
        {FoxParameterLine("NINE_____", "v"), "NINE_____>v"},
        {FoxParameterLine("TEN_______", "v"), "TEN_______>v"},
        {IccAddLine("C", "C"), "ADD C"},
        {IccParameterLine("HSCO1", "100.0"), "  HSCO1  = 100.0"},
    };
    for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

struct FixedLookup : TypeLookup {
    std::map<std::string, ParameterNames> Types;
    const ParameterNames* Find(const std::string& type) override {
        auto it = Types.find(type);
        return it == Types.end() ? nullptr : &it->second;
    }
};

std::string Written(DestinationKind kind, FixedLookup& lookup, const std::string& record,
                    BlockOutcome* outcome = nullptr) {
    MemoryOutputFolder folder;
    {
        OutputFile out(folder.Create("f"), "f");
        BlockWriter writer(kind, lookup);
        NulFields values(record);
        const BlockOutcome result = writer.Write(out, "C", "B", "T", values);
        if (outcome != nullptr) *outcome = result;
        out.Close();
    }
    return folder.Files["f"];
}

TEST(BlockWriter, ValuesFollowTheTypesParameterNamesInOrder) {
    FixedLookup lookup;
    lookup.Types["T"] = {"NAME", "TYPE", "P1", "P2", "P3"};
    const std::string record = std::string(" a \0b\0", 6);  // P3 has no value: empty
    EXPECT_EQ(Written(DestinationKind::FoxCae, lookup, record),
              "NAME     >B\r\nTYPE     >T\r\nP1       >a\r\nP2       >b\r\nP3       >\r\n");
    EXPECT_EQ(Written(DestinationKind::Icc, lookup, record),
              "ADD C:B\r\n  TYPE = T\r\n  P1  = a\r\n  P2  = b\r\n  P3  = \r\nEND\r\n");
    lookup.Types["T"] = {"NAME", "TYPE"};
    EXPECT_EQ(Written(DestinationKind::Icc, lookup, record), "ADD C:B\r\n  TYPE = T\r\nEND\r\n");
    BlockOutcome outcome;
    lookup.Types.clear();
    EXPECT_EQ(Written(DestinationKind::Icc, lookup, record, &outcome), "");
    EXPECT_FALSE(outcome.TypeKnown);
}

// A data file scan as the lookup must give it, on a file in memory.
const ParameterNames* Find(const std::string& bytes, bool longLayout, const std::string& type,
                           ParameterNames& copy) {
    MemoryInputFolder folder;
    folder.Files["d.dat"] = bytes;
    ParameterLookup lookup(folder, {"d.dat"}, longLayout ? kLongDataLayout : kShortDataLayout);
    const ParameterNames* found = lookup.Find(type);
    if (found != nullptr) copy = *found;
    return found != nullptr ? &copy : nullptr;
}

TEST(ParameterLookup, LastDefinitionWinsHeadersAreNameKeysAndCaseCounts) {
    for (bool longLayout : {false, true}) {
        auto rec = [&](const std::string& key, const std::string& detail) {
            return DataRecordBytes(longLayout, "pfx", key, detail);
        };
        const std::string file = rec("ORPHAN", "") + rec("NAME", "AIN") + rec("OLD", "") +
                                 rec("NAMEX", "PID") + rec("  P1  ", "") + rec("NAME", "AIN") +
                                 rec("TYPE", "") + rec("NEW", "") + rec("NAME", "pid") +
                                 rec("LOWER", "") + rec("PARTIAL", "").substr(0, 10);
        ParameterNames names;
        ASSERT_NE(Find(file, longLayout, "AIN", names), nullptr);
        EXPECT_EQ(names, (ParameterNames{"NAME", "TYPE", "NEW"}));
        ASSERT_NE(Find(file, longLayout, "PID", names), nullptr);
        EXPECT_EQ(names, (ParameterNames{"NAMEX", "P1"}));
        ASSERT_NE(Find(file, longLayout, "pid", names), nullptr);
        EXPECT_EQ(names, (ParameterNames{"NAME", "LOWER"}));
        EXPECT_EQ(Find(file, longLayout, "ORPHAN", names), nullptr);
        EXPECT_EQ(Find(file, longLayout, "Ain", names), nullptr);
        // The other layout reads other fields: the types are not found there.
        EXPECT_EQ(Find(file, !longLayout, "AIN", names), nullptr);
    }
    MemoryInputFolder empty;
    ParameterLookup missing(empty, {"none.dat"}, kShortDataLayout);
    EXPECT_EQ(missing.Find("AIN"), nullptr);
}

}  // namespace
}  // namespace pamiro::testing
