#include <gtest/gtest.h>

#include "core/SourceTree.h"
#include "readers/PlatformFit.h"
#include "support/MemoryRun.h"

namespace pamiro::testing {
namespace {

// Two compounds with blocks, so that every record offset is a real one.
MemoryRun Converted(Platform written, Platform chosen, const std::string& cpIndexTail = "-",
                    bool dryRun = false) {
    CompoundSpec c1{"C1", BlockSpec{"C1", "T1", {"1"}}, {{"B1", "T1", {"10"}}}, {}};
    CompoundSpec c2{"C2", std::nullopt, {{"B2", "T1", {"20"}}, {"B3", "T1", {"30"}}}, {}};
    MemoryRun run;
    run.Data({{"T1", {"P1"}}});
    run.Source.Files = WorkingFileFiles({"CP6001", "R001", IndexOf(written), {c1, c2}});
    std::string& index = run.Source.Files["CP6001/CP6001.O"];
    if (cpIndexTail != "-") index = cpIndexTail;
    if (cpIndexTail == "none") run.Source.Files.erase("CP6001/CP6001.O");  // no index at all
    EXPECT_EQ(PlatformsFittingTree(SourceTree(run.Source), "CP6001").size(),
              cpIndexTail == "-" ? 1u : (cpIndexTail.empty() ? 3u : 0u));
    run.Job.DryRun = dryRun;
    run.Run(SourceKind::WorkingFile, chosen, DestinationKind::FoxCae);
    return run;
}

// A run that writes is refused before it writes anything: its lists would be
// garbage over whatever the destination holds. A dry run (a look at the
// source) warns once and goes on.
TEST(PlatformFit, WrongPlatformRefusesARunBeforeWritingAndWarnsALook) {
    for (Platform written : kPlatforms) {
        for (Platform chosen : kPlatforms) {
            SCOPED_TRACE(IndexOf(written) * 10 + IndexOf(chosen));
            const MemoryRun run = Converted(written, chosen);
            const MemoryRun look = Converted(written, chosen, "-", true);
            const std::string warning = "El índice de CP6001.O no corresponde a la plataforma " +
                                        std::string(TraitsOf(chosen).Label) + "; parece " +
                                        std::string(TraitsOf(written).Label);
            EXPECT_EQ(run.Job.Report.PlatformWarning, chosen == written ? "" : warning);
            EXPECT_EQ(run.Job.Report.Failed, chosen != written);
            EXPECT_EQ(run.Job.Report.FittingPlatformIndex,
                      chosen == written ? -1 : IndexOf(written));
            if (chosen == written) {
                EXPECT_EQ(run.Messages(), "");
                EXPECT_EQ(run.Out.Files.count("cmp_list"), 1u);
                continue;
            }
            EXPECT_EQ(run.Messages(), "Pamiro - Working File: " + warning + "\n");
            EXPECT_TRUE(run.Out.Files.empty());
            EXPECT_EQ(run.Host.Messages.front().Icon, MessageIcon::Critical);
            // The look: first and only once, then on as asked.
            EXPECT_FALSE(look.Job.Report.Failed);
            EXPECT_EQ(look.Messages().find("Pamiro - Working File: " + warning + "\n"), 0u);
            EXPECT_EQ(look.Messages().find("parece", 24 + warning.size()), std::string::npos);
            EXPECT_GE(look.Job.Report.Warnings, 1);
        }
    }
}

TEST(PlatformFit, IndexThatFitsEveryPlatformOrNoneWarnsOfNothingNew) {
    EXPECT_EQ(Converted(Platform::Aw51, Platform::Pw, "").Job.Report.PlatformWarning, "");
    EXPECT_EQ(Converted(Platform::Aw51, Platform::Pw, "none").Job.Report.PlatformWarning, "");
    EXPECT_EQ(Converted(Platform::Aw51, Platform::Pw, std::string(48, '\0') + "x")
                  .Job.Report.PlatformWarning,
              "");
    EXPECT_EQ(PlatformList({Platform::Pw, Platform::Aw51, Platform::Aw70}),
              "PW (Intel), AW51 y AW70");
}

}  // namespace
}  // namespace pamiro::testing
