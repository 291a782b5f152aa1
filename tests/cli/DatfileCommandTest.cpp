#include <gtest/gtest.h>

#include "output/DataFileText.h"
#include "support/RunCli.h"

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
        // A record with stray bytes after its NUL and a partial record use the raw form.
        const std::string bytes = EncodeDataFile({{"PID", {"MEAS", "SPT"}}}, longLayout) +
                                  DataRecordBytes(longLayout, "x", std::string("A\0B", 3), "") +
                                  "tail";
        WriteFile(Path("in.dat"), bytes);
        const CliResult dump =
            RunCliHere({"datfile", "dump", Path("in.dat"), "--platform", platform});
        ASSERT_EQ(dump.Status, 0) << dump.Err;
        WriteFile(Path("in.txt"), dump.Out);
        const CliResult build = RunCliHere(
            {"datfile", "build", Path("in.txt"), "--platform", platform, "-o", Path("out.dat")});
        ASSERT_EQ(build.Status, 0) << build.Err;
        EXPECT_EQ(ReadFile(Path("out.dat")), bytes);
        EXPECT_TRUE(Has(build.Err, "pamiro-cli datfile: " + Path("in.txt") + ": aviso: byte "))
            << build.Err;  // the partial record is built as described, and said
    }
}

TEST_F(DatfileCli, RefusalsExitWithOneAndWriteNothing) {
    WriteFile(Path("bad.txt"), "TYPE PID\nMEAS\nABCDEFGHIJKLMNOPQ\n");
    WriteFile(Path("in.txt"), "TYPE PID\nMEAS\n");
    const CliResult bad = RunCliHere(
        {"datfile", "build", Path("bad.txt"), "--platform", "aw51", "-o", Path("bad.dat")});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_TRUE(Has(bad.Err, "línea 3: el nombre \"ABCDEFGHIJKLMNOPQ\" tiene 17 caracteres"))
        << bad.Err;
    EXPECT_FALSE(fs::exists(Path("bad.dat")));
    EXPECT_FALSE(fs::exists(Path("bad.dat.tmp")));
    // An input that cannot be read, an output folder that does not exist.
    const CliResult missing =
        RunCliHere({"datfile", "build", Path("none.txt"), "--platform", "pw", "-o", Path("a.dat")});
    EXPECT_TRUE(Has(missing.Err, "no se puede leer " + Path("none.txt") + ": ")) << missing.Err;
    const CliResult unwritable = RunCliHere(
        {"datfile", "build", Path("in.txt"), "--platform", "pw", "-o", Path("no/a.dat")});
    EXPECT_TRUE(Has(unwritable.Err, "no se puede escribir " + Path("no/a.dat"))) << unwritable.Err;
    EXPECT_EQ(missing.Status + unwritable.Status, 2);
#ifndef _WIN32  // the program folder is named as a POSIX path
    const CliResult folder =
        RunCliHere({"datfile", "dump", temp.Path().string(), "--platform", "pw"});
    EXPECT_EQ(folder.Status, 1);  // never a crash
    EXPECT_TRUE(Has(folder.Err, "no se puede leer " + temp.Path().string() + ": es una carpeta"))
        << folder.Err;
    // A dump with the other platform's record size is refused.
    const fs::path bin = fs::path(PAMIRO_CLI_PATH).parent_path();
    for (const auto& [file, platform] :
         {std::pair{"ver51_620.dat", "pw"}, std::pair{"ver20_620.dat", "aw70"}}) {
        const CliResult result =
            RunCliHere({"datfile", "dump", (bin / file).string(), "--platform", platform});
        EXPECT_EQ(result.Status, 1) << file;
        EXPECT_EQ(result.Out, "");
        EXPECT_TRUE(Has(result.Err, "el archivo no tiene el formato de registro de esa plataforma"))
            << result.Err;
    }
#endif
}

TEST_F(DatfileCli, CheckExitsWithOneAndListsEachProblem) {
    WriteFile(Path("clean.dat"), EncodeDataFile({{"PID", {"MEAS"}}}, false));
    const CliResult clean = RunCliHere({"datfile", "check", Path("clean.dat"), "--platform", "pw"});
    EXPECT_EQ(clean.Status, 0);
    EXPECT_EQ(clean.Out,
              Path("clean.dat") +
                  ": 3 registro(s) de formato corto (32 bytes por registro), 0 problema(s)\n");
    WriteFile(Path("bad.dat"), EncodeDataFile({{"PID", {"MEAS"}}, {"PID", {"SPT"}}}, true) + "xx");
    const CliResult bad = RunCliHere({"datfile", "check", Path("bad.dat"), "--platform", "aw70"});
    EXPECT_EQ(bad.Status, 1);
    EXPECT_TRUE(Has(bad.Out, ", 2 problema(s)\n")) << bad.Out;
}

}  // namespace
}  // namespace pamiro::testing
