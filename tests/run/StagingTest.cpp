#include <gtest/gtest.h>

#include <cerrno>

#include "core/FileError.h"
#include "run/Staging.h"
#include "support/FailingTarget.h"
#include "support/MemoryRun.h"

namespace pamiro::testing {
namespace {

using Files = std::map<std::string, std::string>;

// The destination before the run: an earlier, larger run's files, a link
// kept as a plain entry, and a file of the user's.
const Files kBefore{{"cmp_list", "old list"}, {"src_list", "old"},  {"cmp0001", "old 1"},
                    {"cmp0009", "old 9"},     {"src0123", "old s"}, {"cmp123", "not ours"},
                    {"CMP0002", "not ours"},  {"notes", "user's"}};

// One sequence block with its own source and one with the base file, a
// block of an unknown type, two compounds.
MemoryRun Example() {
    MemoryRun run;
    run.Data({{"T1", {"P1"}}, {"DEP", {}}});
    run.Program.Files["DEP_base.s"] = "base";
    CompoundSpec a{"A", std::nullopt, {{"B1", "T1", {"1"}}, {"S1", "DEP", {}}}, {{"S1", "own"}}};
    CompoundSpec b{"B", std::nullopt, {{"S2", "DEP", {}}, {"Z", "NOPE", {}}}, {}};
    run.Source.Files = WorkingFileFiles({"CP6001", "R001", 0, {a, b}});
    return run;
}

// A source whose file Failing fails to read; Refused is there but cannot be opened.
struct Unreadable : MemoryInputFolder {
    std::string Failing, Refused;
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override {
        if (path.back() == Refused) return nullptr;
        if (path.back() == Failing) throw FileError(FileError::Kind::Read, "A/S1.s", EIO);
        return MemoryInputFolder::Open(path);
    }
};

struct Staged {
    MemoryRun Run = Example();
    const InputFolder* Source = &Run.Source;
    FailingTarget Target;
    bool Committed = false;
    // The run into a staging folder, then the moves, as the command line does.
    void Go(SourceKind kind = SourceKind::WorkingFile) {
        Target.Files.insert(kBefore.begin(), kBefore.end());
        StagedDestination staged(Target, ".pamiro-00000000000000aa");
        Run.Job.PlatformIndex = Platform::Pw;
        RunConversionIn(Run.Job, Run.Host, kind, "CP6001",
                        {*Source, staged, Run.Program, "ver20_620.dat"});
        if (Run.Job.Report.Failed) return;
        staged.Commit(Run.Host, staged.Leftovers());
        Committed = true;
    }
};

TEST(Staging, AFinishedRunReplacesItsOwnNamesListsLastAndRemovesOnlyLeftovers) {
    Staged s;
    s.Go();
    MemoryRun inPlace = Example();
    inPlace.Run(SourceKind::WorkingFile, Platform::Pw, DestinationKind::FoxCae);
    Files expected = inPlace.Out.Files;  // what writing in place gives
    for (const char* name : {"cmp123", "CMP0002", "notes"}) expected[name] = kBefore.at(name);
    EXPECT_EQ(s.Target.Files, expected);  // cmp0009 and src0123 removed, nothing staged left
    EXPECT_EQ(s.Run.Job.Report.SourcesCopied, 1);
    EXPECT_EQ(s.Run.Job.Report.BaseSourcesCopied, 1);
    EXPECT_EQ(s.Run.Job.Report.BaseSourceNames, std::vector<std::string>{"B:S2 (DEP_base.s)"});
    // Into place: numbered files in the order written, then the source list, the compound list.
    std::vector<std::string> placed;
    for (const std::string& name : s.Target.Renamed) {
        if (name.find('/') == std::string::npos) placed.push_back(name);
    }
    EXPECT_EQ(placed, (std::vector<std::string>{"cmp0001", "src0001", "cmp0002", "src0002",
                                                "src_list", "cmp_list"}));
}

TEST(Staging, AnInterruptionOrAFailureAtAnyMomentLeavesTheDestinationAsItWas) {
    Staged clean;
    clean.Go();
    const int pauses = clean.Run.Host.EventCalls;  // the run's and one per move
    ASSERT_GT(pauses, 8);
    for (int at = 1; at <= pauses; ++at) {
        SCOPED_TRACE("interrupted at pause " + std::to_string(at));
        Staged s;
        s.Run.Host.OnEvents = [at](int calls) {
            if (calls == at) throw ConversionInterrupted{};
        };
        EXPECT_THROW(s.Go(), ConversionInterrupted);
        EXPECT_EQ(s.Target.Files, kBefore);
    }
    // Any creation, write, close or rename may fail, in the run or the moves;
    // what a disk that stops renaming cannot put back stays in the staging folder.
    bool movesFailed = false, kept = false;
    for (const bool stuck : {false, true}) {
        for (int at = 1;; ++at) {
            SCOPED_TRACE("failed at step " + std::to_string(at) + (stuck ? " and after" : ""));
            Staged s;
            s.Target.FailAt = at;
            s.Target.Stuck = stuck;
            try {
                s.Go();
            } catch (const FileError& error) {
                movesFailed = true;
                // Named where it goes, never by its staging path.
                EXPECT_EQ(error.Path().find(".pamiro-"), std::string::npos) << error.Path();
            }
            EXPECT_EQ(s.Run.Messages().find(".pamiro-"), std::string::npos);
            if (s.Committed) break;
            for (const auto& [name, bytes] : kBefore) {
                const std::string saved = ".pamiro-00000000000000aa/.anterior/" + name;
                kept |= s.Target.Files.count(saved) != 0;
                EXPECT_EQ(s.Target.Files[s.Target.Files.count(saved) ? saved : name], bytes);
            }
            EXPECT_TRUE(stuck || s.Target.Files == kBefore);
        }
    }
    EXPECT_TRUE(movesFailed && kept);
    // A read error, a file there but refused, a folder where a file goes.
    for (const auto& [failing, refused, standing, message] :
         std::vector<std::tuple<std::string, std::string, std::string, std::string>>{
             {"S1.s", "", "", "No se puede leer el archivo A/S1.s: " + ErrorText(EIO)},
             {"", "S1.s", "", "No se puede leer el archivo A/S1.s: permiso denegado"},
             {"", "CP6001.wf", "", "CP6001.wf no se puede leer"},
             {"", "", "src0002/x", "src0002: es una carpeta"}}) {
        Staged s;
        Unreadable source;
        source.Files = s.Run.Source.Files;
        std::tie(source.Failing, source.Refused) = std::pair(failing, refused);
        s.Source = &source;
        Files before = kBefore;
        if (!standing.empty()) before[standing] = s.Target.Files[standing] = "user's";
        std::string text;
        try {
            s.Go();
            text = s.Run.Host.Messages.at(0).Text;
        } catch (const FileError& error) {
            text = error.Path() + ": " + ErrorText(error.ErrorNumber());
        }
        EXPECT_EQ(text, message);
        EXPECT_EQ(s.Target.Files, before);
    }
    // A Save All scan that finds no compound.
    Staged empty;
    empty.Run.Source.Files = {{"C/not-parameters", ""}};
    empty.Go(SourceKind::SaveAll);
    EXPECT_TRUE(empty.Run.Job.Report.Failed);
    EXPECT_EQ(empty.Target.Files, kBefore);
}

TEST(Staging, NamesOfItsOwnAreRecognisedAndLeftStagingFoldersRemovedUnlessTheyHoldFiles) {
    // "name kind": a staging folder's (s), a numbered output's (n), neither (-).
    for (const std::string row :
         {".pamiro-0123456789abcdef s", ".pamiro-0123456789ABCDEF -", ".pamiro-0123456789abcde -",
          ".pamiro-0123456789abcdeg -", ".PAMIRO-0123456789abcdef -", ".pamiro-.123456789abcdef -",
          "cmp0001 n", "src10000 n", "cmp123 -", "CMP0001 -", "cmp0001.bak -"}) {
        const std::string name = row.substr(0, row.size() - 2);
        EXPECT_EQ(StagedDestination::IsStagingName(name), row.back() == 's') << name;
        EXPECT_EQ(StagedDestination::IsNumberedName(name), row.back() == 'n') << name;
    }
    EXPECT_TRUE(StagedDestination::IsStagingName(StagedDestination::NewStagingName()));

    MemoryOutputFolder target;
    target.Files = {{"cmp10000", "old"}, {"cmp9999", "old"}, {"cmp0005", "old"}};
    EXPECT_EQ(StagedDestination(target).Leftovers(),
              (std::vector<std::string>{"cmp0005", "cmp9999", "cmp10000"}));
}

// Staging folders found in the destination: only a marked one whose lock is
// free and that holds no replaced files goes, and only with a run that is
// moved into place; one whose lock is held means another run is writing.
TEST(Staging, OnlyItsOwnDeadFoldersAreRemovedAndOnlyByARunMovedIntoPlace) {
    const std::string mark(StagedDestination::kMarkText);
    const std::string dead = ".pamiro-00000000000000bb", kept = ".pamiro-00000000000000cc",
                      alien = ".pamiro-00000000000000dd", forged = ".pamiro-00000000000000ee";
    const Files others{
        {dead + "/.pamiro-marca", mark}, {dead + "/cmp0001", "killed run"},
        {kept + "/.pamiro-marca", mark}, {kept + "/.anterior/cmp_list", "user's list"},
        {alien + "/cmp0001", "no mark"}, {forged + "/.pamiro-marca", "something else"}};
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failed run" : "finished run");
        Staged s;
        s.Target.Files.insert(others.begin(), others.end());
        s.Run.Source.Files.erase(fails ? "CP6001/CP6001.wf" : "none");
        s.Go();
        EXPECT_EQ(s.Run.Job.Report.Failed, fails);
        for (const auto& [name, bytes] : others) {
            const bool gone = !fails && name.rfind(dead, 0) == 0;
            EXPECT_EQ(s.Target.Files.count(name), gone ? 0u : 1u) << name;
            if (!gone) {
                EXPECT_EQ(s.Target.Files[name], bytes) << name;
            }
        }
        EXPECT_EQ(s.Target.Files.size(),
                  (fails ? kBefore.size() : 9u) + others.size() - (fails ? 0 : 2));
    }

    // A mark that cannot be made: no folder of its own stays.
    MemoryOutputFolder taken;
    taken.Files[dead + "/.pamiro-marca"] = "in the way";
    EXPECT_THROW(StagedDestination blocked(taken, dead), FileError);
    EXPECT_TRUE(taken.Files.empty());

    // A live run's folder: the second run is refused and takes its own away.
    MemoryOutputFolder target;
    target.Files = kBefore;
    std::optional<StagedDestination> first(std::in_place, target);
    EXPECT_THROW(StagedDestination second(target), DestinationBusy);
    first.reset();
    EXPECT_EQ(target.Files, kBefore);
    // Once it ended, its folder's lock is free: a second run goes ahead.
    target.Files[dead + "/.pamiro-marca"] = mark;
    target.Unremovable = {dead};
    StagedDestination third(target);
    RecordingHost host;
    third.Commit(host);
    EXPECT_EQ(third.UnremovedFolders(), std::vector<std::string>{dead});
    EXPECT_TRUE(third.StaleFolders().empty());
}

// Where case does not count, an older file in another case is replaced like
// one of the same name: set aside for the undo, put back on a failure.
TEST(Staging, AFileInAnotherCaseIsSetAsideAndPutBackWhereCaseDoesNotCount) {
    for (const int failAt : {0, 2}) {
        MemoryOutputFolder target;
        target.IgnoreCase = true;
        target.Files = {{"CMP_LIST", "old list"}, {"Cmp0001", "old 1"}};
        StagedDestination staged(target);
        for (const char* name : {"cmp_list", "cmp0001"}) {
            auto sink = staged.Create(name);
            sink->Write("new", 3);
            sink->Close();
        }
        RecordingHost host;
        host.OnEvents = [failAt](int calls) {
            if (calls == failAt) throw ConversionInterrupted{};
        };
        if (failAt != 0) {
            EXPECT_THROW(staged.Commit(host), ConversionInterrupted);
            EXPECT_EQ(target.Files, (Files{{"CMP_LIST", "old list"}, {"Cmp0001", "old 1"}}));
        } else {
            staged.Commit(host);
            EXPECT_EQ(target.Files, (Files{{"cmp_list", "new"}, {"cmp0001", "new"}}));
        }
    }
}

}  // namespace
}  // namespace pamiro::testing
