#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "readers/SaveAllReader.h"
#include "support/SeenBlocks.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

using ::testing::ElementsAre;

const std::vector<TypeSpec> kTypes{{"AIN", {"DESCRP"}}};

CompoundSpec Compound(const std::string& name) { return {name, std::nullopt, {{"B", "AIN", {"x"}}}, {}}; }

// A "parameters" file laid out by hand: the index offsets, records placed at
// chosen offsets, total length, revision code at length - 23.
std::string Parameters(const std::vector<std::uint32_t>& offsets,
                       const std::vector<std::pair<std::uint32_t, std::string>>& records,
                       std::size_t length, const std::string& revision = "RV01") {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        bytes.replace(34 * i, 34, ShortEntry("", offsets[i]));
    }
    for (const auto& [at, record] : records) bytes.replace(at, record.size(), record);
    if (length >= 23) bytes.replace(length - 23, 4, revision);
    return bytes;
}

std::string Record(const std::string& name) { return EncodeRecord({name, "AIN", {"v"}}); }

class SaveAll : public ::testing::Test {
protected:
    void SetUp() override { ws.WriteDataFiles(kTypes); }
    Workspace::Result Run(SeenBlocks& seen, int destination = 0) {
        Workspace::Result result;
        result.Job->Observer = &seen;
        result.Job->ProgramDir = ws.Data().string();
        result.Job->VersionTable = DefaultVersionTable();
        result.Host.Destination = ws.Out().string();
        ConversionRequest request{"CP0001", 0, 4, 1, destination, ws.Src().string()};
        result.Started = RequestConversion(request, *result.Job, result.Host);
        return result;
    }
    Workspace ws;
};

TEST_F(SaveAll, CompoundsAreSortedIgnoringCaseAndNumberedInThatOrder) {
    WriteSaveAll(ws.Src(), {{Compound("B"), Compound("a"), Compound("C")}, {}, std::nullopt});
    SeenBlocks seen;
    Run(seen);
    EXPECT_THAT(seen.Compounds, ElementsAre("a", "B", "C"));
    EXPECT_EQ(ws.OutFile("cmp_list"), "a 1\r\nB 2\r\nC 3\r\n");
    EXPECT_TRUE(ws.OutExists("cmp0003"));
}

TEST_F(SaveAll, OnlyFoldersWithAParametersFileAndNoLeadingDotAreCompounds) {
    WriteSaveAll(ws.Src(), {{Compound("GOOD"), Compound(".hidden")}, {}, std::nullopt});
    fs::create_directories(ws.Src() / "EMPTY");
    fs::create_directories(ws.Src() / "DIRPARAM" / "parameters");  // a folder is no file
    WriteFile(ws.Src() / "loose-file", "x");
    SeenBlocks seen;
    Run(seen);
    EXPECT_THAT(seen.Compounds, ElementsAre("GOOD"));
}

#ifndef _WIN32  // a Windows folder name cannot end in a blank
TEST_F(SaveAll, TheCompoundListFileAloneNamesTheCompounds) {
    // Records of two lines; the second is not read; blanks are kept.
    WriteSaveAll(ws.Src(), {{Compound("C1"), Compound("C2"), Compound(" C3 "), Compound("OTHER")},
                            {},
                            std::vector<std::string>{"C2", "x", " C3 ", "y", "C1", "z"}});
    SeenBlocks seen;
    Run(seen);
    EXPECT_THAT(seen.Compounds, ElementsAre(" C3 ", "C1", "C2"));
    EXPECT_EQ(ws.OutFile("cmp_list"), " C3  1\r\nC1 2\r\nC2 3\r\n");
}
#endif

TEST(CompoundDirLines, EndAtCrOrCrLfButNotAtALoneLf) {
    EXPECT_THAT(SplitCompoundDirLines("A\r\nx\rB\nC\r\n"), ElementsAre("A", "x", "B\nC"));
    EXPECT_THAT(SplitCompoundDirLines("A\r\n\r\nlast"), ElementsAre("A", "", "last"));
    EXPECT_TRUE(SplitCompoundDirLines("").empty());
}

TEST(CompoundNames, SortWithoutRegardToCaseAndKeepDuplicates) {
    std::vector<std::string> names{"b", "A", "a", "B10", "b2", "A"};
    SortCompoundNames(names);
    EXPECT_THAT(names, ElementsAre("A", "A", "a", "b", "B10", "b2"));
}

TEST_F(SaveAll, AnOddLastRecordStillNamesItsCompound) {
    WriteSaveAll(ws.Src(), {{Compound("C1"), Compound("C2")}, {}, std::nullopt});
    WriteFile(ws.Src() / ".Compound_Dir", "C2\r\nx\r\nC1");
    SeenBlocks seen;
    Run(seen);
    EXPECT_THAT(seen.Compounds, ElementsAre("C1", "C2"));
}

TEST_F(SaveAll, EmptyListFileFailsTheScan) {
    WriteSaveAll(ws.Src(), {{Compound("C1")}, {}, std::vector<std::string>{}});
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_TRUE(result.Job->Report.Failed);
    EXPECT_EQ(result.Host.Messages.at(0).Text, "Save All incorrecto de CP0001");
}

struct IndexCase {
    const char* Name;
    std::vector<std::uint32_t> Offsets;
    std::vector<std::pair<std::uint32_t, std::string>> Records;
    std::size_t Length;
    std::vector<std::string> Expected;
};

std::string IndexCaseName(const ::testing::TestParamInfo<IndexCase>& param) {
    return param.param.Name;
}

class SaveAllIndex : public SaveAll, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(SaveAllIndex, EndsWhereTheFirstRecordBeginsOrAtTheFileEnd) {
    const IndexCase& c = GetParam();
    WriteFile(ws.Src() / "C" / "parameters", Parameters(c.Offsets, c.Records, c.Length));
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_EQ(seen.Names, c.Expected);
    EXPECT_FALSE(result.Job->Report.Failed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveAllIndex,
    ::testing::Values(
        IndexCase{"ThreeEntries", {102, 150, 200},
                  {{102, Record("R1")}, {150, Record("R2")}, {200, Record("R3")}}, 260,
                  {"C:R1", "C:R2", "C:R3"}},
        IndexCase{"FirstOffsetZeroEndsAtOnce", {0, 150}, {{150, Record("R2")}}, 260, {}},
        IndexCase{"ZeroInTheMiddleWritesNothing", {102, 0, 200},
                  {{102, Record("R1")}, {200, Record("R3")}}, 260, {"C:R1", "C:R3"}},
        // F = 110: four entries; the fourth overlaps the first record.
        IndexCase{"FirstRecordNotOnAnEntryBoundary", {110, 160, 210},
                  {{110, Record("R1")}, {160, Record("R2")}, {210, Record("R3")}}, 260,
                  {"C:R1", "C:R2", "C:R3"}},
        // The first offset lies far beyond the end: the loop stops at the end
        // instead of reading millions of zero entries. The record past the end
        // reads as zeros (no type) and is reported, not written.
        IndexCase{"FirstOffsetBeyondTheEnd", {0x7FFFFFF0, 102}, {{102, Record("R2")}}, 160,
                  {"C:", "C:R2"}}),
    IndexCaseName);

TEST_F(SaveAll, RevisionCodeIsReadAtLengthMinus23) {
    WriteFile(ws.Src() / "C" / "parameters",
              Parameters({34}, {{34, Record("R1")}}, 100, "AB12"));
    SeenBlocks seen;
    Run(seen);
    EXPECT_EQ(ws.OutFile("cmp0001").substr(ws.OutFile("cmp0001").size() - 25),
              "**** Revision Code AB12\r\n");
}

TEST_F(SaveAll, ShortParametersFileGivesBlankRevisionAndAWarning) {
    WriteFile(ws.Src() / "C" / "parameters", std::string(10, '\0'));
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_EQ(ws.OutFile("cmp0001"), "NAME     >END\r\n**** Revision Code     \r\n");
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Warning);
    EXPECT_NE(result.Host.Messages[0].Text.find("C - Archivo de parametros demasiado corto"),
              std::string::npos);
}

TEST_F(SaveAll, InvalidOffsetsAreSkippedAndReportedOncePerFile) {
    WriteFile(ws.Src() / "C" / "parameters",
              Parameters({102, 0x80000000u, 0xFFFFFFFFu}, {{102, Record("R1")}}, 200));
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_THAT(seen.Names, ElementsAre("C:R1"));
    EXPECT_EQ(result.Job->Report.InvalidOffsets, 2);
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Indice");
}

TEST_F(SaveAll, NamesThatWouldLeaveTheSourceFolderNameNoFile) {
    // A compound list pointing outside: the file exists there but is not read.
    WriteFile(ws.temp.Path() / "outside" / "parameters", EncodeParameters(Compound("X"), "R001"));
    WriteFile(ws.Src() / ".Compound_Dir", "../outside\r\nx\r\n..\r\ny\r\n");
    SeenBlocks seen;
    auto result = Run(seen);
    EXPECT_TRUE(seen.Names.empty());
    ASSERT_EQ(result.Host.Messages.size(), 2u);
    EXPECT_EQ(result.Host.Messages[0].Text, ".. - Archivo de parametros no encontrado");
    EXPECT_EQ(result.Host.Messages[1].Text, "../outside - Archivo de parametros no encontrado");
}

}  // namespace
}  // namespace pamiro::testing
