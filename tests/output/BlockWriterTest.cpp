#include <gtest/gtest.h>

#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

const std::vector<TypeSpec> kTypes{{"BARE", {}},
                                   {"AIN", {"DESCRP", "PERIOD"}},
                                   {"LONG", {"LONGPARAMNAME", "ABCDEFGHI", "A"}},
                                   {"DEP", {"DESCRP"}},
                                   {"dep", {"DESCRP"}}};

class Writer : public ::testing::Test {
protected:
    void SetUp() override { ws.WriteDataFiles(kTypes); }
    Workspace::Result Convert(const std::vector<BlockSpec>& blocks, int destination,
                              std::map<std::string, std::string> sources = {}) {
        CompoundSpec compound{"C1", std::nullopt, blocks, std::move(sources)};
        WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {compound}});
        return ws.Run("CP0001", 1, 0, destination);
    }
    std::string Body() const {
        const std::string text = ws.OutFile("cmp0001");
        return text.substr(0, text.size() - std::string("NAME     >END\r\n**** Revision Code R001\r\n").size());
    }
    std::string Commands() const {
        const std::string text = ws.OutFile("CP0001.cmd");
        const std::size_t start = text.find("\r\n") + 2;
        return text.substr(start, text.size() - start - std::string("CLOSE CP0001\r\nEXIT\r\n").size());
    }
    Workspace ws;
};

TEST_F(Writer, ATypeWithoutParametersGetsOnlyItsOpeningLines) {
    Convert({{"B1", "BARE", {"ignored"}}}, 0);
    EXPECT_EQ(Body(), "NAME     >B1\r\nTYPE     >BARE\r\n");
    Convert({{"B1", "BARE", {"ignored"}}}, 1);
    EXPECT_EQ(Commands(), "ADD C1:B1\r\n  TYPE = BARE\r\nEND\r\n");
}

TEST_F(Writer, ValuesAreTrimmedEmptyOnesKeptAndSurplusStringsIgnored) {
    Convert({{"  B1 ", " AIN  ", {"  spaced value ", "", "surplus", "more"}}}, 0);
    EXPECT_EQ(Body(), "NAME     >B1\r\nTYPE     >AIN\r\nDESCRP   >spaced value\r\nPERIOD   >\r\n");
    Convert({{"B1", "AIN", {"v", ""}}}, 1);
    EXPECT_EQ(Commands(), "ADD C1:B1\r\n  TYPE = AIN\r\n  DESCRP  = v\r\n  PERIOD  = \r\nEND\r\n");
}

TEST_F(Writer, ParameterNamesPadToNineColumnsAndLongerOnesAreNotCut) {
    Convert({{"B1", "LONG", {"1", "2", "3"}}}, 0);
    EXPECT_EQ(Body(), "NAME     >B1\r\nTYPE     >LONG\r\nLONGPARAMNAME>1\r\nABCDEFGHI>2\r\nA        >3\r\n");
}

TEST_F(Writer, UnknownTypeWritesNothingButIsReported) {
    auto result = Convert({{"B1", "XYZ", {"1"}}, {"B2", "AIN", {"a", "b"}}}, 1);
    EXPECT_EQ(Commands(), "ADD C1:B2\r\n  TYPE = AIN\r\n  DESCRP  = a\r\n  PERIOD  = b\r\nEND\r\n");
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 1);
    EXPECT_EQ(result.Job->Report.BlocksWritten, 1);
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Warning);
    EXPECT_NE(result.Host.Messages[0].Text.find("C1:B1 (XYZ)"), std::string::npos);
}

TEST_F(Writer, OnlyExactSequenceTypesAreListedAndCopied) {
    auto result = Convert({{"S1", "dep", {"x"}}, {"S2", "DEP", {"y"}}}, 0,
                          {{"S1", "one"}, {"S2", "two"}});
    EXPECT_EQ(ws.OutFile("src_list"), "C1:S2 1\r\n");
    EXPECT_EQ(ws.OutFile("src0001"), "two");
    EXPECT_EQ(result.Job->SourceFileCount, 1);
}

TEST_F(Writer, SequenceBlockOfAnUnknownTypeIsStillListedAndCopied) {
    ws.WriteDataFiles({{"AIN", {"DESCRP"}}});
    auto result = Convert({{"S1", "MON", {"x"}}}, 0, {{"S1", "mon source"}});
    EXPECT_EQ(Body(), "");
    EXPECT_EQ(ws.OutFile("src_list"), "C1:S1 1\r\n");
    EXPECT_EQ(ws.OutFile("src0001"), "mon source");
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 1);
}

TEST_F(Writer, MissingSourceAndBaseFileKeepTheListLineAndWarn) {
    auto result = Convert({{"S1", "DEP", {"x"}}, {"S2", "DEP", {"y"}}}, 0, {{"S2", "two"}});
    EXPECT_EQ(ws.OutFile("src_list"), "C1:S1 1\r\nC1:S2 2\r\n");
    EXPECT_FALSE(ws.OutExists("src0001"));
    EXPECT_EQ(ws.OutFile("src0002"), "two");
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Fuentes");
    EXPECT_EQ(result.Job->Report.MissingSequenceSources, 1);
    EXPECT_FALSE(result.Job->Report.Failed);
}

TEST_F(Writer, BlockNamesThatLeaveTheFolderFallBackToTheBaseFile) {
    WriteFile(ws.Data() / "DEP_base.s", "base");
    WriteFile(ws.Src() / "secret.s", "outside the compound folder");
    Convert({{"../secret", "DEP", {"x"}}}, 0);
    EXPECT_EQ(ws.OutFile("src_list"), "C1:../secret 1\r\n");
    EXPECT_EQ(ws.OutFile("src0001"), "base");
}

TEST_F(Writer, RecordWithoutNulEndsAtTheBufferEnd) {
    // 6000 bytes without NUL: the name is the first 5001 bytes, the type is
    // empty, the block is reported and nothing is written.
    const std::string wf = "R001" + std::string(12, '\0') + std::string(6000, 'A');
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {{"C1", std::nullopt, {}, {}}}});
    WriteFile(ws.Src() / "CP0001" / "CP0001.wf", wf);
    WriteFile(ws.Src() / "CP0001" / "C1.O", LongEntry("B", 16, true));
    auto result = ws.Run("CP0001", 1, 0, 0);
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 1);
    EXPECT_EQ(Body(), "");
    ASSERT_FALSE(result.Job->Report.UnknownTypeNames.empty());
    EXPECT_EQ(result.Job->Report.UnknownTypeNames[0], "C1:" + std::string(5001, 'A') + " ()");
}

}  // namespace
}  // namespace pamiro::testing
