#include <gtest/gtest.h>

#include "output/DataFileText.h"
#include "support/RunCli.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

class DatfileCli : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return temp / name; }
    TempDir temp;
};

TEST_F(DatfileCli, DumpThenBuildGivesTheSameBytesForEveryPlatform) {
    for (const char* platform : {"pw", "AW51", "2"}) {
        SCOPED_TRACE(platform);
        const bool longLayout = std::string(platform) != "pw";
        // An ordinary type, then a record with stray bytes after its NUL and a
        // partial record, so both the plain and the raw form are used.
        const std::string bytes = EncodeDataFile({{"PID", {"MEAS", "SPT"}}}, longLayout) +
                                  DataRecordBytes(longLayout, "x", std::string("A\0B", 3), "") +
                                  "tail";
        WriteFile(Path("in.dat"), bytes);
        CliResult dump = RunCli(
            {"datfile", "dump", Path("in.dat"), "--platform", platform, "-o", Path("in.txt")});
        ASSERT_EQ(dump.Status, 0) << dump.Err;
        EXPECT_NE(ReadFile(Path("in.txt")).find("TYPE PID\nMEAS\nSPT\n"), std::string::npos);
        CliResult stdoutDump = RunCli({"datfile", "dump", Path("in.dat"), "--platform", platform});
        EXPECT_EQ(stdoutDump.Out, ReadFile(Path("in.txt")));

        CliResult build = RunCli(
            {"datfile", "build", Path("in.txt"), "--platform", platform, "-o", Path("out.dat")});
        ASSERT_EQ(build.Status, 0) << build.Err;
        EXPECT_EQ(ReadFile(Path("out.dat")), bytes);
        // The partial record is built as described, and said.
        EXPECT_NE(build.Err.find("aviso: byte "), std::string::npos) << build.Err;
    }
}

TEST_F(DatfileCli, BuildRefusesABadTextAndLeavesNoFile) {
    WriteFile(Path("bad.txt"), "TYPE PID\nMEAS\nABCDEFGHIJKLMNOPQ\n");
    CliResult result =
        RunCli({"datfile", "build", Path("bad.txt"), "--platform", "aw51", "-o", Path("bad.dat")});
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("línea 3: el nombre \"ABCDEFGHIJKLMNOPQ\" tiene 17 caracteres"),
              std::string::npos)
        << result.Err;
    EXPECT_FALSE(fs::exists(Path("bad.dat")));
    EXPECT_FALSE(fs::exists(Path("bad.dat.tmp")));
}

TEST_F(DatfileCli, CheckExitsWithOneAndListsEachProblem) {
    WriteFile(Path("clean.dat"), EncodeDataFile({{"PID", {"MEAS"}}}, false));
    CliResult clean = RunCli({"datfile", "check", Path("clean.dat"), "--platform", "pw"});
    EXPECT_EQ(clean.Status, 0);
    EXPECT_NE(
        clean.Out.find("3 registro(s) de formato corto (32 bytes por registro), 0 problema(s)"),
        std::string::npos)
        << clean.Out;

    std::vector<std::string> many;
    for (int i = 0; i < 1000; ++i) many.push_back("P" + std::to_string(i));
    WriteFile(Path("bad.dat"),
              EncodeDataFile({{"PID", {"MEAS"}}, {"BIG", many}, {"PID", {"SPT"}}}, true) +
                  DataRecordBytes(true, "", "SIXTEEN_CHARS_AB", "") + "xx");
    CliResult bad = RunCli({"datfile", "check", Path("bad.dat"), "--platform", "aw70"});
    EXPECT_EQ(bad.Status, 1);
    for (const char* expected :
         {"el tipo \"BIG\" tiene 1002 entradas", "el tipo \"PID\" está definido 2 veces",
          "el nombre \"SIXTEEN_CHARS_AB\" llena su campo sin NUL", "registro incompleto de 2 bytes",
          "4 problema(s)"}) {
        EXPECT_NE(bad.Out.find(expected), std::string::npos) << expected << "\n" << bad.Out;
    }
}

TEST_F(DatfileCli, UsageErrorsExitWithTwoAndUnreadableFilesWithOne) {
    WriteFile(Path("in.dat"), "");
    EXPECT_EQ(RunCli({"datfile", "check", Path("in.dat"), "--platform", "vax"}).Status, 2);
    EXPECT_EQ(RunCli({"datfile", "check", Path("in.dat")}).Status, 2);
    EXPECT_EQ(RunCli({"datfile"}).Status, 2);
    EXPECT_EQ(RunCli({"datfile", "build", Path("in.dat"), "--platform", "pw"}).Status, 2);
    EXPECT_EQ(RunCli({"datfile", "dump", Path("missing.dat"), "--platform", "pw"}).Status, 1);
    EXPECT_EQ(RunCli({"datfile", "check", Path("missing.dat"), "--platform", "pw"}).Status, 1);
}

// The build generates every family's file for every default version from the
// version's text, beside the programs, and the sample converts with each.
TEST_F(DatfileCli, StarterDataLiesBesideTheProgramsAndConvertsTheSampleForEveryVersion) {
    const fs::path programs = fs::path(PAMIRO_CLI_PATH).parent_path();
    const fs::path root = PAMIRO_SOURCE_ROOT;
    for (const char* type : {"DEP", "IND", "MON", "EXC"}) {
        const std::string base = std::string(type) + "_base.s";
        EXPECT_EQ(ReadFile(programs / base), ReadFile(root / "data" / base));
    }
    for (const char* version : {"411", "423", "610", "611", "620"}) {
        SCOPED_TRACE(version);
        const std::string text =
            ReadFile(root / "data" / "versions" / (std::string(version) + ".txt"));
        EXPECT_EQ(ReadFile(programs / ("ver20_" + std::string(version) + ".dat")),
                  DataFileFromText(text, kShortDataLayout).Bytes);
        EXPECT_EQ(ReadFile(programs / ("ver51_" + std::string(version) + ".dat")),
                  DataFileFromText(text, kLongDataLayout).Bytes);
        for (const char* source : {"wf", "sa"}) {
            const fs::path out = temp.Path() / (std::string(version) + source);
            fs::create_directories(out);
            const std::string from =
                std::string(source) == "wf" ? "samples/working-file" : "samples/save-all/SMPL01";
            const CliResult result =
                RunCli({"convert", "--cp", "SMPL01", "--platform", "aw51", "--ia-version", version,
                        "--source", source, "--from", (root / from).string(), "--dest", "foxcae",
                        "--to", out.string()});
            EXPECT_EQ(result.Status, 0) << result.Err;
            // Only the sample's one block of a type no data file has is skipped.
            EXPECT_NE(result.Out.find("1 bloque(s) omitido(s) por tipo desconocido"),
                      std::string::npos)
                << result.Out;
        }
    }
}

}  // namespace
}  // namespace pamiro::testing
