#include <gtest/gtest.h>

#include "app/RequestCheck.h"
#include "run/ConversionJob.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// Compound C1 with block B1 (type T1: P1, P2) and sequence block S1 (DEP: P1),
// revision R001, as the output formats document it.
class WorkedExample : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(temp.Path() / "data");
        fs::create_directories(temp.Path() / "out");
        for (int platform = 0; platform < 3; ++platform) {
            const bool longLayout = platform != 0;
            WriteFile(temp.Path() / "data" / (longLayout ? "ver51_620.dat" : "ver20_620.dat"),
                      EncodeDataFile({{"T1", {"P1", "P2"}}, {"DEP", {"P1"}}}, longLayout));
        }
        WriteFile(temp.Path() / "data" / "DEP_base.s", "base\r\n");
    }

    CompoundSpec Compound() const {
        CompoundSpec c1{"C1", std::nullopt, {{"B1", "T1", {"10", ""}}, {"S1", "DEP", {"X"}}}, {}};
        c1.Sources["S1"] = "source of S1\r\n";
        return c1;
    }

    RecordingHost Run(int platform, int destination) {
        WriteWorkingFile(temp.Path() / "src", {"CP6001", "R001", platform, {Compound()}});
        ConversionJob job;
        job.ProgramDir = (temp.Path() / "data").string();
        job.VersionTable = DefaultVersionTable();
        ConversionRequest request{" cp6001 ", platform, 4, 0, destination,
                                  (temp.Path() / "src").string()};
        RecordingHost host((temp.Path() / "out").string());
        EXPECT_TRUE(RequestConversion(request, job, host));
        EXPECT_FALSE(job.Report.Failed);
        return host;
    }

    std::string Out(const std::string& name) const { return ReadFile(temp.Path() / "out" / name); }

    TempDir temp;
};

TEST_F(WorkedExample, FoxCaeTransferFilesMatchByteForByteOnEveryPlatform) {
    for (int platform = 0; platform < 3; ++platform) {
        SCOPED_TRACE(platform);
        RecordingHost host = Run(platform, 0);
        EXPECT_EQ(Out("cmp_list"), "C1 1\r\n");
        EXPECT_EQ(Out("src_list"), "C1:S1 1\r\n");
        EXPECT_EQ(Out("cmp0001"),
                  "NAME     >B1\r\nTYPE     >T1\r\nP1       >10\r\nP2       >\r\n"
                  "NAME     >S1\r\nTYPE     >DEP\r\nP1       >X\r\n"
                  "NAME     >END\r\n**** Revision Code R001\r\n");
        EXPECT_EQ(Out("src0001"), "source of S1\r\n");
        EXPECT_EQ(host.Panel1, "Terminado");
        EXPECT_EQ(host.Panel2, "");
        EXPECT_TRUE(host.Messages.empty());
    }
}

TEST_F(WorkedExample, IccScriptHoldsTheBlockCommandsInsideItsFrame) {
    for (int platform = 0; platform < 3; ++platform) {
        SCOPED_TRACE(platform);
        Run(platform, 1);
        EXPECT_EQ(Out("CP6001.cmd"),
                  "OPEN CP6001 ALL PAMIRO\r\n"
                  "ADD C1:B1\r\n  TYPE = T1\r\n  P1  = 10\r\n  P2  = \r\nEND\r\n"
                  "ADD C1:S1\r\n  TYPE = DEP\r\n  P1  = X\r\nEND\r\n"
                  "CLOSE CP6001\r\nEXIT\r\n");
    }
}

}  // namespace
}  // namespace pamiro::testing
