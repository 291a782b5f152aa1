#include <gtest/gtest.h>

#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

class ConvertCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ws.WriteDataFiles({{"AIN", {"DESCRP"}}});
        CompoundSpec c1{"C1", std::nullopt, {{"B1", "AIN", {"d"}}, {"B2", "NOPE", {}}}, {}};
        WriteWorkingFile(ws.Src(), {"CP6001", "R001", 1, {c1}});
    }
    std::vector<std::string> Args(const std::string& cp, const std::string& platform = "aw51",
                                  const std::string& source = "wf",
                                  const std::string& dest = "foxcae") {
        return {"convert",
                "--cp",
                cp,
                "--platform",
                platform,
                "--ia-version",
                "620",
                "--source",
                source,
                "--from",
                ws.Src().string(),
                "--dest",
                dest,
                "--to",
                ws.Out().string(),
                "--data-dir",
                ws.Data().string()};
    }
    Workspace ws;
};

TEST_F(ConvertCli, ConvertsAndSummarisesInSpanishWithUnknownTypesOnStderr) {
    CliResult result = RunCli(Args("cp6001", "AW51", "Working File", "FoxCAE Transfer"));
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(ws.OutFile("cmp_list"), "C1 1\r\n");
    EXPECT_NE(result.Out.find("1 compuesto(s), 1 bloque(s) escrito(s)"), std::string::npos);
    EXPECT_NE(result.Out.find("1 bloque(s) omitido(s) por tipo desconocido"), std::string::npos);
    EXPECT_NE(result.Err.find("Pamiro - Bloques: 1 bloque(s) omitido(s)"), std::string::npos);
    EXPECT_NE(result.Err.find("C1:B2 (NOPE)"), std::string::npos);
}

TEST_F(ConvertCli, EveryListEntryHasItsShortForms) {
    for (const auto& [platform, source, dest] :
         {std::tuple{"1", "0", "1"}, std::tuple{"aw51", "wf", "icc"},
          std::tuple{"AW51", "Working File", "ICC Api"}}) {
        fs::remove_all(ws.Out());
        fs::create_directories(ws.Out());
        CliResult result = RunCli(Args("CP6001", platform, source, dest));
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_TRUE(ws.OutExists("CP6001.cmd"));
    }
}

TEST_F(ConvertCli, RefusalsAndFailuresExitWithOneAndTheWindowsTitleAndText) {
    CliResult result = RunCli(Args("CP60"));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "Nombre del CP: Letterbug del CP incorrecto\n");

    result = RunCli(Args("OTHER1"));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err,
              "Pamiro - Working File: OTHER1.wf no se encuentra\n"
              "  Carpeta donde se buscó: " +
                  (ws.Src() / "OTHER1").string() + "\n");

    result = RunCli(Args("CP6001", "aw51", "sa"));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "Pamiro - Save All: Save All incorrecto de CP6001\n");
    EXPECT_FALSE(ws.OutExists("cmp_list"));
}

TEST_F(ConvertCli, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunCli({"convert", "--cp", "CP6001"}).Status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).Status, 2);
    EXPECT_EQ(RunCli({}).Status, 2);
    CliResult help = RunCli({"convert", "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("Carpeta del destino"), std::string::npos);
}

TEST(Cli, VersionNamesTheProgramAndItsVersion) {
    CliResult result = RunCli({"--version"});
    EXPECT_EQ(result.Status, 0);
    EXPECT_NE(result.Out.find("Pamiro"), std::string::npos);
    EXPECT_NE(result.Out.find("3.0.2"), std::string::npos);
}

}  // namespace
}  // namespace pamiro::testing
