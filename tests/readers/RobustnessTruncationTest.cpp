#include <gtest/gtest.h>

#include "readers/RobustnessChecks.h"

namespace pamiro::testing {
namespace {

const std::vector<TypeSpec> kTypes{{"AIN", {"DESCRP", "PERIOD"}}, {"DEP", {"DESCRP"}}};

std::vector<CompoundSpec> Compounds() {
    CompoundSpec c1{"C1", BlockSpec{"C1", "AIN", {"own", "1"}}, {}, {}};
    c1.Blocks = {{"B1", "AIN", {"d1", "2"}}, {"S1", "DEP", {"seq"}}, {"B2", "AIN", {"d2", ""}}};
    c1.Sources["S1"] = "S1 source\r\n";
    CompoundSpec c2{"C2", std::nullopt, {{"B3", "AIN", {"x", "y"}}, {"S2", "DEP", {""}}}, {}};
    return {c1, c2};
}

// Every prefix of one file of a tree, the empty file included, converted in
// turn; whatever the cut, the run ends cleanly and touches nothing else.
class Truncation : public ::testing::Test {
protected:
    void SetUp() override {
        ws.WriteDataFiles(kTypes);
        WriteFile(ws.Data() / "DEP_base.s", "base\r\n");
    }

    void EveryPrefixOf(const fs::path& file, int platform, int source) {
        const std::string whole = ReadFile(file);
        for (std::size_t length = 0; length <= whole.size(); ++length) {
            SCOPED_TRACE(file.filename().string() + " cut to " + std::to_string(length));
            WriteFile(file, whole.substr(0, length));
            fs::remove_all(ws.Out());
            fs::create_directories(ws.Out());
            untouched.Take();
            const auto result = ws.Run("CP0001", platform, source, static_cast<int>(length % 2));
            ExpectCleanEnd(result, ws.Out(), "CP0001");
            untouched.ExpectUnchanged();
            if (::testing::Test::HasFailure()) break;
        }
        WriteFile(file, whole);
    }

    Workspace ws;
    UntouchedFolders untouched{ws};
};

TEST_F(Truncation, EveryWorkingFileFileCutAnywhereOnEveryPlatform) {
    for (int platform = 0; platform < 3; ++platform) {
        SCOPED_TRACE(platform);
        fs::remove_all(ws.Src());
        WriteWorkingFile(ws.Src(), {"CP0001", "R001", platform, Compounds()});
        for (const char* name : {"CP0001.wf", "CP0001.O", "C1.O", "C2.O"}) {
            EveryPrefixOf(ws.Src() / "CP0001" / name, platform, kSourceWorkingFile);
        }
    }
}

TEST_F(Truncation, EverySaveAllFileCutAnywhere) {
    SaveAllSpec spec{Compounds(), {}, std::vector<std::string>{"C2", "x", "C1", "y"}};
    WriteSaveAll(ws.Src(), spec);
    for (const char* name : {"C1/parameters", "C2/parameters", ".Compound_Dir"}) {
        EveryPrefixOf(ws.Src() / name, 0, kSourceSaveAll);
    }
}

TEST_F(Truncation, AShortParametersFileHasABlankRevisionCodeAndIsReported) {
    const std::string whole = EncodeParameters(Compounds()[1], "RV09");
    for (std::size_t length : {0u, 1u, 22u, 23u, 33u, 34u, 35u}) {
        SCOPED_TRACE(length);
        WriteFile(ws.Src() / "C2" / "parameters", whole.substr(0, length));
        const auto result = ws.Run("CP0001", 0, kSourceSaveAll, kDestinationFoxCae);
        ExpectCleanEnd(result, ws.Out(), "CP0001");
        const std::string compound = ws.OutFile("cmp0001");
        const bool shortFile = length < 23;
        EXPECT_EQ(result.Job->RevisionCode,
                  shortFile ? std::string("    ") : whole.substr(length - 23, 4));
        EXPECT_TRUE(EndsWith(compound, "**** Revision Code " + result.Job->RevisionCode + "\r\n"));
        bool reported = false;
        for (const RecordedMessage& m : result.Host.Messages) {
            reported = reported || m.Text.find("demasiado corto") != std::string::npos;
        }
        EXPECT_EQ(reported, shortFile);
    }
}

// A partial last record of the data file is no record: any cut gives the
// output of the cut at the last whole record.
TEST_F(Truncation, DataFileCutAnywhereActsAsCutAtItsLastWholeRecord) {
    for (int platform = 0; platform < 2; ++platform) {
        SCOPED_TRACE(platform);
        fs::remove_all(ws.Src());
        WriteWorkingFile(ws.Src(), {"CP0001", "R001", platform, Compounds()});
        const fs::path data = ws.Data() / (platform == 0 ? "ver20_620.dat" : "ver51_620.dat");
        const std::string whole = ReadFile(data);
        const std::size_t record = platform == 0 ? 32 : 44;
        std::map<std::size_t, std::map<std::string, std::string>> byWholeRecords;
        for (std::size_t length = 0; length <= whole.size(); ++length) {
            SCOPED_TRACE(length);
            WriteFile(data, whole.substr(0, length));
            fs::remove_all(ws.Out());
            fs::create_directories(ws.Out());
            const auto result = ws.Run("CP0001", platform, kSourceWorkingFile, kDestinationFoxCae);
            ExpectCleanEnd(result, ws.Out(), "CP0001");
            const auto output = SnapshotTree(ws.Out());
            const auto [it, first] = byWholeRecords.emplace(length / record, output);
            if (!first) {
                ASSERT_EQ(output, it->second);
            }
        }
        EXPECT_EQ(byWholeRecords.size(), whole.size() / record + 1);
        WriteFile(data, whole);
    }
}

}  // namespace
}  // namespace pamiro::testing
