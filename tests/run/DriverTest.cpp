#include <gtest/gtest.h>

#include "run/RunConversion.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

const std::vector<TypeSpec> kTypes{{"AIN", {"DESCRP"}}, {"DEP", {"DESCRP"}}};

CompoundSpec OneBlock(const std::string& compound, const std::string& block) {
    return {compound, std::nullopt, {{block, "AIN", {"d"}}}, {}};
}

void ExpectEndSteps(const Workspace::Result& result) {
    EXPECT_EQ(result.Host.Panel1, "Terminado");
    EXPECT_EQ(result.Host.Panel2, "");
    EXPECT_EQ(result.Host.Freezes, 1);
    EXPECT_EQ(result.Host.Restores, 1);
    EXPECT_FALSE(result.Host.Frozen);
    EXPECT_TRUE(result.Job->ConversionIdle);
    EXPECT_EQ(result.Job->Files.OpenCount(), 0);
}

class Driver : public ::testing::Test {
protected:
    void SetUp() override { ws.WriteDataFiles(kTypes); }
    void WriteStaleOutputs() const {
        for (const char* name : {"cmp_list", "src_list", "CP0001.cmd"}) {
            WriteFile(ws.Out() / name, "stale");
        }
    }
    Workspace ws;
};

TEST_F(Driver, MissingWorkingFileLeavesTheDestinationUntouched) {
    WriteStaleOutputs();
    for (int destination = 0; destination < 2; ++destination) {
        auto result = ws.Run("CP0001", 1, 0, destination);
        ASSERT_EQ(result.Host.Messages.size(), 1u);
        EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Critical);
        EXPECT_EQ(result.Host.Messages[0].Text, "CP0001.wf no se encuentra");
        EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Working File");
        EXPECT_TRUE(result.Job->Report.Failed);
        ExpectEndSteps(result);
    }
    for (const char* name : {"cmp_list", "src_list", "CP0001.cmd"}) EXPECT_EQ(ws.OutFile(name), "stale");
}

TEST_F(Driver, FailedSaveAllScanRemovesItsListsOrScriptEvenStaleOnes) {
    for (int destination = 0; destination < 2; ++destination) {
        WriteStaleOutputs();
        auto result = ws.Run("CP0001", 0, 1, destination);
        ASSERT_EQ(result.Host.Messages.size(), 1u);
        EXPECT_EQ(result.Host.Messages[0].Text, "Save All incorrecto de CP0001");
        EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Save All");
        EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Critical);
        EXPECT_TRUE(result.Job->Report.Failed);
        EXPECT_EQ(result.Job->CompoundCount, 0);
        ExpectEndSteps(result);
        if (destination == 0) {
            EXPECT_FALSE(ws.OutExists("cmp_list"));
            EXPECT_FALSE(ws.OutExists("src_list"));
            EXPECT_EQ(ws.OutFile("CP0001.cmd"), "stale");
        } else {
            EXPECT_FALSE(ws.OutExists("CP0001.cmd"));
            EXPECT_EQ(ws.OutFile("cmp_list"), "stale");
        }
    }
}

TEST_F(Driver, EachDestinationReplacesOnlyItsOwnFiles) {
    WriteStaleOutputs();
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {}});
    ws.Run("CP0001", 1, 0, 0);
    EXPECT_EQ(ws.OutFile("cmp_list"), "");
    EXPECT_EQ(ws.OutFile("src_list"), "");
    EXPECT_EQ(ws.OutFile("CP0001.cmd"), "stale");

    WriteFile(ws.Out() / "cmp_list", "stale");
    ws.Run("CP0001", 1, 0, 1);
    EXPECT_EQ(ws.OutFile("CP0001.cmd"), "OPEN CP0001 ALL PAMIRO\r\nCLOSE CP0001\r\nEXIT\r\n");
    EXPECT_EQ(ws.OutFile("cmp_list"), "stale");
}

TEST_F(Driver, MissingIndexFilesAreReportedAndTheRunStillFinishes) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {}});
    fs::remove(ws.Src() / "CP0001" / "CP0001.O");
    auto result = ws.Run("CP0001", 1, 0, 1);
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(result.Host.Messages[0].Text, "CP0001.O no encontrado");
    EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Working File - Compound");
    EXPECT_FALSE(result.Job->Report.Failed);
    EXPECT_EQ(ws.OutFile("CP0001.cmd"), "OPEN CP0001 ALL PAMIRO\r\nCLOSE CP0001\r\nEXIT\r\n");
    ExpectEndSteps(result);

    // A compound whose own index is missing is still framed with its own record.
    CompoundSpec c1{"C1", BlockSpec{"C1", "AIN", {"own"}}, {{"B1", "AIN", {"x"}}}, {}};
    WriteWorkingFile(ws.Src(), {"CP0001", "R009", 1, {c1}});
    fs::remove(ws.Src() / "CP0001" / "C1.O");
    result = ws.Run("CP0001", 1, 0, 0);
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Text, "C1.O no encontrado");
    EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro -Working File - Bloque");
    EXPECT_EQ(ws.OutFile("cmp_list"), "C1 1\r\n");
    EXPECT_EQ(ws.OutFile("cmp0001"),
              "NAME     >C1\r\nTYPE     >AIN\r\nDESCRP   >own\r\n"
              "NAME     >END\r\n**** Revision Code R009\r\n");
}

TEST_F(Driver, MissingParametersFileKeepsThePreviousRevisionCode) {
    SaveAllSpec spec{{OneBlock("A", "B1")}, {{"A", "RA01"}}, std::vector<std::string>{"A", "x", "B", "y"}};
    WriteSaveAll(ws.Src(), spec);
    auto result = ws.Run("CP0001", 0, 1, 0);
    ASSERT_EQ(result.Host.Messages.size(), 1u);
    EXPECT_EQ(result.Host.Messages[0].Icon, MessageIcon::Warning);
    EXPECT_EQ(result.Host.Messages[0].Text, "B - Archivo de parametros no encontrado");
    EXPECT_EQ(result.Host.Messages[0].Title, "Pamiro - Save All - Bloques");
    EXPECT_EQ(ws.OutFile("cmp_list"), "A 1\r\nB 2\r\n");
    EXPECT_EQ(ws.OutFile("cmp0002"), "NAME     >END\r\n**** Revision Code RA01\r\n");
}

TEST_F(Driver, UnknownSourceKindTouchesNoFile) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {OneBlock("C1", "B1")}});
    ConversionJob job;
    job.ProgramDir = ws.Data().string();
    job.DataFilePath = (ws.Data() / "ver51_620.dat").string();
    RecordingHost host(ws.Out().string());
    RunConversion(job, host, 7, "CP0001");
    EXPECT_TRUE(fs::is_empty(ws.Out()));
    EXPECT_EQ(host.Panel1, "Terminado");
    EXPECT_EQ(host.Restores, 1);
}

TEST_F(Driver, SecondRunNumbersFromOneAgain) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {OneBlock("C1", "B1"), OneBlock("C2", "B2")}});
    ws.Run("CP0001", 1, 0, 0);
    auto second = ws.Run("CP0001", 1, 0, 0);
    EXPECT_EQ(ws.OutFile("cmp_list"), "C1 1\r\nC2 2\r\n");
    EXPECT_EQ(second.Job->CompoundCount, 2);
}

TEST_F(Driver, InterruptionClosesEveryFileKeepsWhatWasWrittenAndSkipsTheEndSteps) {
    std::vector<CompoundSpec> compounds;
    for (int i = 1; i <= 3; ++i) compounds.push_back(OneBlock("C" + std::to_string(i), "B"));
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, compounds});

    ConversionJob job;
    job.ProgramDir = ws.Data().string();
    job.VersionTable = DefaultVersionTable();
    RecordingHost host(ws.Out().string());
    // Interrupt on the second compound's first block.
    host.OnEvents = [&](int calls) {
        if (calls > 0 && host.Panel1 == "C2") throw ConversionInterrupted{};
    };
    ConversionRequest request{"CP0001", 1, 4, 0, 0, ws.Src().string()};
    EXPECT_THROW(RequestConversion(request, job, host), ConversionInterrupted);
    EXPECT_EQ(job.Files.OpenCount(), 0);
    EXPECT_EQ(host.Restores, 0);
    EXPECT_NE(host.Panel1, "Terminado");
    EXPECT_FALSE(job.ConversionIdle);
    EXPECT_EQ(ws.OutFile("cmp_list"), "C1 1\r\nC2 2\r\n");
    EXPECT_EQ(ws.OutFile("cmp0001"),
              "NAME     >B\r\nTYPE     >AIN\r\nDESCRP   >d\r\nNAME     >END\r\n"
              "**** Revision Code R001\r\n");
    EXPECT_EQ(ws.OutFile("cmp0002"), "");
    EXPECT_FALSE(ws.OutExists("cmp0003"));
}

TEST_F(Driver, UnwritableDestinationIsACriticalFailureAndTheWindowComesBack) {
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {OneBlock("C1", "B1")}});
    fs::remove_all(ws.Out());  // the destination folder is gone
    for (int destination = 0; destination < 2; ++destination) {
        auto result = ws.Run("CP0001", 1, 0, destination);
        ASSERT_FALSE(result.Host.Messages.empty());
        const RecordedMessage& message = result.Host.Messages.back();
        EXPECT_EQ(message.Icon, MessageIcon::Critical);
        EXPECT_EQ(message.Title, "Pamiro - Destino");
        EXPECT_NE(message.Text.find(destination == 0 ? "cmp_list" : "CP0001.cmd"), std::string::npos);
        EXPECT_TRUE(result.Job->Report.Failed);
        ExpectEndSteps(result);
    }
}

TEST_F(Driver, FullDiskDuringTheRunIsNeverReportedAsSuccess) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {OneBlock("C1", "B1")}});
    fs::create_symlink("/dev/full", ws.Out() / "cmp0001");
    auto result = ws.Run("CP0001", 1, 0, 0);
    EXPECT_TRUE(result.Job->Report.Failed);
    ASSERT_FALSE(result.Host.Messages.empty());
    EXPECT_NE(result.Host.Messages.back().Text.find("cmp0001"), std::string::npos);
    ExpectEndSteps(result);
}

}  // namespace
}  // namespace pamiro::testing
