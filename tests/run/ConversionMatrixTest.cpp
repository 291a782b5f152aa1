#include <gtest/gtest.h>

#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

// The same CP in both source formats must convert to the same bytes on every
// platform, into either destination format.
std::vector<CompoundSpec> Compounds() {
    CompoundSpec a{"A1",
                   BlockSpec{"A1", "COMPND", {" Unidad A ", "1"}},
                   {{"FT101", "AIN", {"Caudal", "0.5", "100"}},
                    {"SEQ1", "DEP", {"Secuencia"}},
                    {"ODD", "XYZ", {"lost"}}},
                   {{"SEQ1", "seq source\r\n"}}};
    CompoundSpec b{"b2", std::nullopt, {{"SEQ2", "IND", {"Otra"}}, {"FT202", "AIN", {"", "1", ""}}}, {}};
    return {a, b};
}

const std::vector<TypeSpec> kTypes{{"COMPND", {"DESCRP", "ENABLE"}},
                                   {"AIN", {"DESCRP", "PERIOD", "HSCO1"}},
                                   {"DEP", {"DESCRP"}},
                                   {"IND", {"DESCRP"}}};

const char* const kCmp1 =
    "NAME     >A1\r\nTYPE     >COMPND\r\nDESCRP   >Unidad A\r\nENABLE   >1\r\n"
    "NAME     >FT101\r\nTYPE     >AIN\r\nDESCRP   >Caudal\r\nPERIOD   >0.5\r\nHSCO1    >100\r\n"
    "NAME     >SEQ1\r\nTYPE     >DEP\r\nDESCRP   >Secuencia\r\n"
    "NAME     >END\r\n**** Revision Code R001\r\n";
const char* const kCmp2 =
    "NAME     >SEQ2\r\nTYPE     >IND\r\nDESCRP   >Otra\r\n"
    "NAME     >FT202\r\nTYPE     >AIN\r\nDESCRP   >\r\nPERIOD   >1\r\nHSCO1    >\r\n"
    "NAME     >END\r\n**** Revision Code R001\r\n";
const char* const kScript =
    "OPEN CP0001 ALL PAMIRO\r\n"
    "ADD A1\r\n  TYPE = COMPND\r\n  DESCRP  = Unidad A\r\n  ENABLE  = 1\r\nEND\r\n"
    "ADD A1:FT101\r\n  TYPE = AIN\r\n  DESCRP  = Caudal\r\n  PERIOD  = 0.5\r\n  HSCO1  = 100\r\nEND\r\n"
    "ADD A1:SEQ1\r\n  TYPE = DEP\r\n  DESCRP  = Secuencia\r\nEND\r\n"
    "ADD b2:SEQ2\r\n  TYPE = IND\r\n  DESCRP  = Otra\r\nEND\r\n"
    "ADD b2:FT202\r\n  TYPE = AIN\r\n  DESCRP  = \r\n  PERIOD  = 1\r\n  HSCO1  = \r\nEND\r\n"
    "CLOSE CP0001\r\nEXIT\r\n";

struct Case {
    int Source;
    int Destination;
    int Platform;
};

class ConversionMatrix : public ::testing::TestWithParam<Case> {};

TEST_P(ConversionMatrix, BothSourcesGiveTheSameBytesInEitherDestination) {
    const Case c = GetParam();
    Workspace ws;
    ws.WriteDataFiles(kTypes);
    WriteFile(ws.Data() / "IND_base.s", "base IND\r\n");
    if (c.Source == 0) {
        WriteWorkingFile(ws.Src(), {"CP0001", "R001", c.Platform, Compounds()});
    } else {
        // Folder order on disk must not matter: "b2" sorts after "A1".
        WriteSaveAll(ws.Src(), {Compounds(), {}, std::nullopt});
    }
    auto result = ws.Run("cp0001", c.Platform, c.Source, c.Destination);
    ASSERT_TRUE(result.Started);
    EXPECT_FALSE(result.Job->Report.Failed);
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 1);
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Bloques");
    EXPECT_NE(result.Host.Messages[0].Text.find("A1:ODD (XYZ)"), std::string::npos);

    if (c.Destination == 0) {
        EXPECT_EQ(ws.OutFile("cmp_list"), "A1 1\r\nb2 2\r\n");
        EXPECT_EQ(ws.OutFile("src_list"), "A1:SEQ1 1\r\nb2:SEQ2 2\r\n");
        EXPECT_EQ(ws.OutFile("cmp0001"), kCmp1);
        EXPECT_EQ(ws.OutFile("cmp0002"), kCmp2);
        EXPECT_EQ(ws.OutFile("src0001"), "seq source\r\n");
        EXPECT_EQ(ws.OutFile("src0002"), "base IND\r\n");
        EXPECT_FALSE(ws.OutExists("CP0001.cmd"));
    } else {
        EXPECT_EQ(ws.OutFile("CP0001.cmd"), kScript);
        EXPECT_FALSE(ws.OutExists("cmp_list"));
        EXPECT_FALSE(ws.OutExists("src0001"));
        EXPECT_EQ(result.Job->SourceFileCount, 0);
    }
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (int source = 0; source < 2; ++source)
        for (int destination = 0; destination < 2; ++destination)
            for (int platform = 0; platform < 3; ++platform)
                cases.push_back({source, destination, platform});
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
    static const char* const sources[] = {"WorkingFile", "SaveAll"};
    static const char* const destinations[] = {"FoxCae", "Icc"};
    static const char* const platforms[] = {"Pw", "Aw51", "Aw70"};
    return std::string(sources[param.param.Source]) + destinations[param.param.Destination] +
           platforms[param.param.Platform];
}

INSTANTIATE_TEST_SUITE_P(AllCombinations, ConversionMatrix, ::testing::ValuesIn(AllCases()),
                         CaseName);

}  // namespace
}  // namespace pamiro::testing
