#include <gtest/gtest.h>

#include <algorithm>

#include "core/SourceTree.h"
#include "readers/PlatformFit.h"
#include "support/MemoryRun.h"

namespace pamiro::testing {
namespace {

// Two compounds with blocks, so that every record offset is a real one.
FileMap TwoCompounds(Platform platform) {
    CompoundSpec c1{"C1", BlockSpec{"C1", "T1", {"1"}}, {{"B1", "T1", {"10"}}}, {}};
    CompoundSpec c2{"C2", std::nullopt, {{"B2", "T1", {"20"}}, {"B3", "T1", {"30"}}}, {}};
    return WorkingFileFiles({"CP6001", "R001", IndexOf(platform), {c1, c2}});
}

MemoryRun Converted(const FileMap& files, Platform platform) {
    MemoryRun run;
    run.Data({{"T1", {"P1"}}});
    run.Source.Files = files;
    run.Run(SourceKind::WorkingFile, platform, DestinationKind::FoxCae);
    return run;
}

TEST(PlatformFit, WrongPlatformWarnsOnceBeforeWritingAndConvertsAsAsked) {
    for (Platform written : kPlatforms) {
        const FileMap files = TwoCompounds(written);
        MemoryInputFolder folder;
        folder.Files = files;
        EXPECT_EQ(PlatformsFittingTree(SourceTree(folder), "CP6001"),
                  std::vector<Platform>{written});
        for (Platform chosen : kPlatforms) {
            SCOPED_TRACE(IndexOf(written) * 10 + IndexOf(chosen));
            const MemoryRun run = Converted(files, chosen);
            const std::string warning =
                "Pamiro - Working File: El índice de CP6001.O no "
                "corresponde a la plataforma " +
                std::string(TraitsOf(chosen).Label) + "; parece " +
                std::string(TraitsOf(written).Label) + "\n";
            if (chosen == written) {
                EXPECT_EQ(run.Messages(), "");
                EXPECT_EQ(run.Job.Report.BlocksWritten, 4);
                continue;
            }
            EXPECT_EQ(run.Messages().substr(0, warning.size()), warning);
            EXPECT_EQ(run.Job.Report.PlatformWarning + "\n", warning.substr(23));
            EXPECT_EQ(std::count_if(run.Host.Messages.begin(), run.Host.Messages.end(),
                                    [](const RecordedMessage& m) {
                                        return m.Text.find("no corresponde") != std::string::npos;
                                    }),
                      1);
            EXPECT_GE(run.Job.Report.Warnings, 1);
            EXPECT_EQ(run.Out.Files.count("cmp_list"), 1u);  // converted as asked
        }
    }
}

TEST(PlatformFit, IndexThatFitsSeveralPlatformsOrNoneWarnsOfNothing) {
    FileMap files = TwoCompounds(Platform::Aw51);
    // Empty: a whole number of entries of every form.
    files["CP6001/CP6001.O"].clear();
    EXPECT_EQ(Converted(files, Platform::Pw).Messages().find("no corresponde"), std::string::npos);
    MemoryInputFolder folder;
    folder.Files = files;
    EXPECT_EQ(PlatformsFittingTree(SourceTree(folder), "CP6001").size(), 3u);
    EXPECT_EQ(PlatformList({Platform::Pw, Platform::Aw51, Platform::Aw70}),
              "PW (Intel), AW51 y AW70");
    // A byte too many: no form fits, and only the length warning is given.
    files = TwoCompounds(Platform::Aw51);
    files["CP6001/CP6001.O"] += '\0';
    folder.Files = files;
    EXPECT_TRUE(PlatformsFittingTree(SourceTree(folder), "CP6001").empty());
    EXPECT_EQ(Converted(files, Platform::Aw51).Messages().find("no corresponde"),
              std::string::npos);
}

TEST(PlatformFit, TreeCopiedInLowerCaseConvertsToTheSameBytes) {
    const FileMap files = TwoCompounds(Platform::Aw51);
    FileMap lower;
    for (const auto& [path, bytes] : files) {
        std::string name = path;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
        lower[name] = bytes;
    }
    ASSERT_EQ(lower.count("cp6001/cp6001.wf"), 1u);
    EXPECT_EQ(Converted(lower, Platform::Aw51).Out.Files,
              Converted(files, Platform::Aw51).Out.Files);
    EXPECT_EQ(Converted(lower, Platform::Aw51).Messages(), "");
}

}  // namespace
}  // namespace pamiro::testing
