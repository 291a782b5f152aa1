#include <gtest/gtest.h>

#include "SampleDescription.h"
#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

const fs::path kSamples = fs::path(PAMIRO_SOURCE_ROOT) / "samples";
const fs::path kProgramDir = PAMIRO_PROGRAM_DIR;

TEST(BundledSample, CommittedTreesAreWhatTheDescriptionGenerates) {
    const auto sample =
        samplegen::ParseSample(ReadFile(kSamples / "SMPL01.txt"),
                               (kProgramDir / "ver51_620.dat").string(), 1, kSamples / "sources");
    TempDir temp;
    samplegen::WriteSample(sample, temp.Path());
    // If this fails after a change to the data texts or the description, run
    // "cmake --build build --target regenerate-sample" and commit the result.
    EXPECT_EQ(Tree(temp.Path() / "working-file"), Tree(kSamples / "working-file"));
    EXPECT_EQ(Tree(temp.Path() / "save-all"), Tree(kSamples / "save-all"));
}

// Both source formats hold the same compounds; only the order differs (index
// order against sorted), so the compound files match once renumbered.
TEST(BundledSample, BothSourceFormatsConvertToTheSameCompoundsForEveryVersion) {
    for (const char* version : {"411", "423", "610", "611", "620"}) {
        SCOPED_TRACE(version);
        TempDir temp;
        const fs::path wf = temp.Path() / "new" / "wf", sa = temp.Path() / "sa";  // made by convert
        auto convert = [&](const char* source, const fs::path& from, const fs::path& to) {
            return RunCli({"convert", "--cp", "SMPL01", "--platform", "aw51", "--ia-version",
                           version, "--source", source, "--from", from.string(), "--dest", "foxcae",
                           "--to", to.string()});
        };
        CliResult a = convert("wf", kSamples / "working-file", wf);
        CliResult b = convert("sa", kSamples / "save-all" / "SMPL01", sa);
        ASSERT_EQ(a.Status, 0) << a.Err;
        ASSERT_EQ(b.Status, 0) << b.Err;
        // The one block of a type no data file has and the one base source copy
        // are reported, nothing else.
        EXPECT_EQ(a.Err,
                  "Pamiro - Bloques: 1 bloque(s) omitido(s): su tipo no está en el archivo de "
                  "datos: ALARMS:OD301 (XYZBLK)\nPamiro - Fuentes: 1 bloque(s) de secuencia sin "
                  "su fuente .s: se ha copiado la fuente base de su tipo: UNIT01:SEQ02 "
                  "(IND_base.s)\n");
        EXPECT_EQ(a.Err, b.Err);
        EXPECT_EQ(a.Out, b.Out);  // the summary's wording: the batch test
        EXPECT_EQ(ReadFile(wf / "cmp_list"), "UNIT02 1\r\nUNIT01 2\r\nALARMS 3\r\n");
        EXPECT_EQ(ReadFile(sa / "cmp_list"), "ALARMS 1\r\nUNIT01 2\r\nUNIT02 3\r\n");
        EXPECT_EQ(ReadFile(wf / "cmp0001"), ReadFile(sa / "cmp0003"));
        EXPECT_EQ(ReadFile(wf / "cmp0002"), ReadFile(sa / "cmp0002"));
        EXPECT_EQ(ReadFile(wf / "cmp0003"), ReadFile(sa / "cmp0001"));
        EXPECT_EQ(ReadFile(wf / "src0003"), ReadFile(kSamples / "sources/UNIT01/SEQ01.s"));
        EXPECT_EQ(ReadFile(wf / "src0004"), ReadFile(kProgramDir / "IND_base.s"));
    }
}

}  // namespace
}  // namespace pamiro::testing
