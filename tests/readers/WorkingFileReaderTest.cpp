#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/SeenBlocks.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

using ::testing::ElementsAre;

const std::vector<TypeSpec> kTypes{{"AIN", {"DESCRP"}}, {"DEP", {"DESCRP"}}};

class WorkingFile : public ::testing::Test {
protected:
    void SetUp() override { ws.WriteDataFiles(kTypes); }
    Workspace::Result Run(SeenBlocks& seen, int platform = 1, int destination = 0) {
        Workspace::Result result;
        result.Job->Observer = &seen;
        result.Job->ProgramDir = ws.Data().string();
        result.Job->VersionTable = DefaultVersionTable();
        result.Host.Destination = ws.Out().string();
        ConversionRequest request{"CP0001", platform, 4, 0, destination, ws.Src().string()};
        result.Started = RequestConversion(request, *result.Job, result.Host);
        return result;
    }
    fs::path Cp() const { return ws.Src() / "CP0001"; }
    // Replaces the CP's index file by raw entries.
    void WriteCpIndex(const std::vector<std::string>& entries) const {
        std::string bytes;
        for (const std::string& entry : entries) bytes += entry;
        WriteFile(Cp() / "CP0001.O", bytes);
    }
    Workspace ws;
};

CompoundSpec Compound(const std::string& name) {
    return {name, std::nullopt, {{name + "_B", "AIN", {"x"}}}, {}};
}

TEST_F(WorkingFile, CompoundsKeepTheIndexOrderAndSkipEmptyNames) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {Compound("C2"), Compound("C1")}});
    const std::string index = ReadFile(Cp() / "CP0001.O");
    // Insert an all-zero entry between them and put blanks before C1's name.
    std::string c1 = index.substr(48, 48);
    c1.replace(10, 30, std::string("  C1") + std::string(26, '\0'));
    WriteCpIndex({index.substr(0, 48), std::string(48, '\0'), c1});
    SeenBlocks seen;
    Run(seen);
    EXPECT_THAT(seen.Compounds, ElementsAre("C2", "C1"));
    EXPECT_EQ(ws.OutFile("cmp_list"), "C2 1\r\nC1 2\r\n");
    EXPECT_NE(ws.OutFile("cmp0002").find("NAME     >C1_B"), std::string::npos);
}

TEST_F(WorkingFile, EveryBlockEntryGoesToTheWriterWhateverItsName) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 0,
                                {{"C1", std::nullopt, {{"B1", "AIN", {"1"}}, {"B2", "AIN", {"2"}}}, {}}}});
    // Entries: B1's record, offset 0, an unnamed entry pointing at B2's record.
    const std::string index = ReadFile(Cp() / "C1.O");
    ASSERT_EQ(index.size(), 68u);
    std::string unnamed = index.substr(34, 34);
    unnamed.replace(6, 13, std::string(13, '\0'));
    WriteFile(Cp() / "C1.O", index.substr(0, 34) + ShortEntry("ZERO", 0) + unnamed);
    SeenBlocks seen;
    Run(seen, 0);
    EXPECT_THAT(seen.Names, ElementsAre("C1:B1", "C1:B2"));
}

TEST_F(WorkingFile, EmptyCpIndexConvertsNothing) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {}});
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_TRUE(seen.Compounds.empty());
    EXPECT_EQ(ws.OutFile("cmp_list"), "");
    EXPECT_TRUE(result.Host.Messages.empty());
}

TEST_F(WorkingFile, InvalidOffsetsAreSkippedAndReportedOncePerIndexFile) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 2, {Compound("C1")}});
    const std::string blocks = ReadFile(Cp() / "C1.O");
    WriteFile(Cp() / "C1.O", LongEntry("BAD", 0x80000000u, false) + blocks +
                                 LongEntry("BAD2", 0xFFFFFFFFu, false));
    WriteCpIndex({LongEntry("C1", 0x90000000u, false)});
    SeenBlocks seen;
    auto result = Run(seen, 2);
    EXPECT_THAT(seen.Names, ElementsAre("C1:C1_B"));
    EXPECT_EQ(result.Job->Report.InvalidOffsets, 3);
    ASSERT_EQ(result.Host.Messages.size(), 2u);  // once for C1.O, once for CP0001.O
    for (const auto& message : result.Host.Messages) EXPECT_EQ(message.Title, "Pamiro - Indice");
    EXPECT_FALSE(result.Job->Report.Failed);
}

TEST_F(WorkingFile, CompoundNamesThatLeaveTheFolderNameNoIndexFile) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {Compound("C1")}});
    // "../X" would name src/X.O outside the CP's folder.
    WriteFile(ws.Src() / "X.O", ReadFile(Cp() / "C1.O"));
    WriteCpIndex({LongEntry("../X", 0, true), LongEntry("..", 0, true), LongEntry("A\\B", 0, true)});
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_TRUE(seen.Names.empty());
    ASSERT_EQ(result.Host.Messages.size(), 3u);
    EXPECT_EQ(result.Host.Messages[0].Text, "../X.O no encontrado");
    EXPECT_EQ(result.Host.Messages[1].Text, "...O no encontrado");
    EXPECT_EQ(result.Host.Messages[2].Text, "A\\B.O no encontrado");
    EXPECT_EQ(ws.OutFile("cmp_list"), "../X 1\r\n.. 2\r\nA\\B 3\r\n");
}

TEST_F(WorkingFile, RevisionCodeComesFromTheFirstFourBytesForEveryCompound) {
    WriteWorkingFile(ws.Src(), {"CP0001", "Q7Z9", 1, {Compound("C1"), Compound("C2")}});
    SeenBlocks seen;
    Run(seen);
    for (const char* file : {"cmp0001", "cmp0002"}) {
        const std::string text = ws.OutFile(file);
        EXPECT_EQ(text.substr(text.size() - 25), "**** Revision Code Q7Z9\r\n");
    }
}

}  // namespace
}  // namespace pamiro::testing
