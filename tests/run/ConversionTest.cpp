#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/FileError.h"
#include "support/FailingTarget.h"
#include "support/MemoryRun.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

// Compound C1 with block B1 (type T1: P1, P2) and sequence block S1 (DEP: P1),
// revision R001, written in the given source format.
MemoryRun WorkedExample(SourceKind kind, Platform platform) {
    MemoryRun run;
    run.Data({{"T1", {"P1", "P2"}}, {"DEP", {"P1"}}});
    CompoundSpec c1{"C1", std::nullopt, {{"B1", "T1", {"10", ""}}, {"S1", "DEP", {"X"}}}, {}};
    c1.Sources["S1"] = "source of S1\r\n";
    run.Source.Files = kind == SourceKind::WorkingFile
                           ? WorkingFileFiles({"CP6001", "R001", IndexOf(platform), {c1}})
                           : SaveAllFiles({{c1}, {}, std::nullopt});
    return run;
}

TEST(Conversion, WorkedExampleGivesTheSameBytesFromEitherSourceOnEveryPlatform) {
    for (SourceKind kind : {SourceKind::WorkingFile, SourceKind::SaveAll}) {
        for (Platform platform : kPlatforms) {
            SCOPED_TRACE(IndexOf(kind) * 10 + IndexOf(platform));
            MemoryRun fox = WorkedExample(kind, platform);
            fox.Run(kind, platform, DestinationKind::FoxCae);
            EXPECT_EQ(fox.Out.Files.size(), 4u);
            EXPECT_EQ(fox.File("cmp_list"), "C1 1\r\n");
            EXPECT_EQ(fox.File("src_list"), "C1:S1 1\r\n");
            EXPECT_EQ(fox.File("cmp0001"),
                      "NAME     >B1\r\nTYPE     >T1\r\nP1       >10\r\nP2       >\r\n"
                      "NAME     >S1\r\nTYPE     >DEP\r\nP1       >X\r\n"
                      "NAME     >END\r\n**** Revision Code R001\r\n");
            EXPECT_EQ(fox.File("src0001"), "source of S1\r\n");
            EXPECT_EQ(fox.Messages(), "");
            EXPECT_EQ(fox.Host.Panel1, "Terminado");
            EXPECT_EQ(fox.Host.Panel2, "");
            EXPECT_EQ(fox.Host.Freezes, 1);
            EXPECT_EQ(fox.Host.Restores, 1);

            MemoryRun icc = WorkedExample(kind, platform);
            icc.Run(kind, platform, DestinationKind::Icc);
            EXPECT_EQ(icc.Out.Files.size(), 1u);
            EXPECT_EQ(icc.File("CP6001.cmd"),
                      "OPEN CP6001 ALL PAMIRO\r\n"
                      "ADD C1:B1\r\n  TYPE = T1\r\n  P1  = 10\r\n  P2  = \r\nEND\r\n"
                      "ADD C1:S1\r\n  TYPE = DEP\r\n  P1  = X\r\nEND\r\n"
                      "CLOSE CP6001\r\nEXIT\r\n");
        }
    }
}

TEST(Conversion, UnknownTypesAreLeftOutAndReportedOnceAfterTheRun) {
    MemoryRun run;
    run.Data({{"T1", {"P1"}}});
    std::vector<BlockSpec> blocks;
    for (int i = 0; i < 12; ++i) blocks.push_back({"X" + std::to_string(i), "NOPE", {"v"}});
    blocks.push_back({"OK", "T1", {"1"}});
    run.Source.Files = SaveAllFiles({{{"C", std::nullopt, blocks, {}}}, {}, std::nullopt});
    run.Run(SourceKind::SaveAll, Platform::Pw, DestinationKind::Icc);
    EXPECT_EQ(run.File("CP6001.cmd"),
              "OPEN CP6001 ALL PAMIRO\r\nADD C:OK\r\n  TYPE = T1\r\n  P1  = 1\r\nEND\r\n"
              "CLOSE CP6001\r\nEXIT\r\n");
    EXPECT_EQ(run.Messages(),
              "Pamiro - Bloques: 12 bloque(s) omitido(s): su tipo no está en el archivo de datos: "
              "C:X0 (NOPE), C:X1 (NOPE), C:X2 (NOPE), C:X3 (NOPE), C:X4 (NOPE), C:X5 (NOPE), "
              "C:X6 (NOPE), C:X7 (NOPE), C:X8 (NOPE), C:X9 (NOPE), ...\n");
    EXPECT_EQ(run.Job.Report.UnknownTypeBlocks, 12);
    EXPECT_EQ(run.Job.Report.BlocksWritten, 1);
    EXPECT_FALSE(run.Job.Report.Failed);
}

TEST(Conversion, SequenceSourcesFallBackToTheBaseFileAndNamesNeverLeaveTheirFolder) {
    MemoryRun run;
    run.Data({{"DEP", {}}, {"IND", {}}});
    run.Program.Files["DEP_base.s"] = "dep base";
    CompoundSpec c{"C",
                   std::nullopt,
                   {{"OWN", "DEP", {}},
                    {"NONE", "DEP", {}},
                    {".", "DEP", {}},
                    {"..", "DEP", {}},
                    {"NOBASE", "IND", {}},
                    {"SEQ", "MON", {}},  // a sequence type the data file lacks: listed, copied
                    {"ZZ", "UNKNOWN", {}}},
                   {{"OWN", "own"}, {"SEQ", "mon"}}};
    run.Source.Files = SaveAllFiles({{c}, {}, std::nullopt});
    run.Source.Files["C/..s"] = "must not be read";
    run.Source.Files["C/...s"] = "must not be read";
    run.Run(SourceKind::SaveAll, Platform::Pw, DestinationKind::FoxCae);
    EXPECT_EQ(run.File("src_list"),
              "C:OWN 1\r\nC:NONE 2\r\nC:. 3\r\nC:.. 4\r\nC:NOBASE 5\r\nC:SEQ 6\r\n");
    EXPECT_EQ(run.File("src0001"), "own");
    EXPECT_EQ(run.File("src0002"), "dep base");
    EXPECT_EQ(run.File("src0003"), "dep base");
    EXPECT_EQ(run.File("src0004"), "dep base");
    EXPECT_EQ(run.File("src0005"), "<missing>");
    EXPECT_EQ(run.File("src0006"), "mon");
    EXPECT_EQ(run.Messages(),
              "Pamiro - Fuentes: C:NOBASE - No se encuentra NOBASE.s ni IND_base.s; no se ha "
              "copiado el fuente\n"
              "Pamiro - Bloques: 2 bloque(s) omitido(s): su tipo no está en el archivo de datos: "
              "C:SEQ (MON), C:ZZ (UNKNOWN)\n");
    EXPECT_EQ(run.Job.Report.SourcesCopied, 2);
    EXPECT_EQ(run.Job.Report.BaseSourcesCopied, 3);
    EXPECT_EQ(
        run.Job.Report.BaseSourceNames,
        (std::vector<std::string>{"C:NONE (DEP_base.s)", "C:. (DEP_base.s)", "C:.. (DEP_base.s)"}));
}

TEST(Conversion, SaveAllWithoutCompoundsRemovesTheFilesItCreated) {
    for (DestinationKind destination : {DestinationKind::FoxCae, DestinationKind::Icc}) {
        MemoryRun run;
        run.Data({});
        run.Out.Files["cmp_list"] = run.Out.Files["CP6001.cmd"] = "stale";
        run.Out.Files["keep"] = "other";
        run.Source.Files["C/not-parameters"] = "";
        run.Run(SourceKind::SaveAll, Platform::Pw, destination);
        EXPECT_EQ(run.Out.Files.size(), 2u);  // "keep" and the other format's stale file
        EXPECT_EQ(run.File("keep"), "other");
        EXPECT_EQ(run.File("src_list"), "<missing>");
        EXPECT_EQ(run.Messages(), "Pamiro - Save All: Save All incorrecto de CP6001\n");
        EXPECT_TRUE(run.Job.Report.Failed);
    }
}

TEST(Conversion, NumberingGoesOnPastFourDigits) {
    MemoryRun run;
    run.Data({});
    std::vector<CompoundSpec> compounds(10000);
    for (std::size_t i = 0; i < compounds.size(); ++i) compounds[i].Name = "C" + std::to_string(i);
    run.Source.Files = WorkingFileFiles({"CP6001", "R001", 0, compounds});
    run.Run(SourceKind::WorkingFile, Platform::Pw, DestinationKind::FoxCae);
    EXPECT_EQ(run.File("cmp9999"), "NAME     >END\r\n**** Revision Code R001\r\n");
    EXPECT_NE(run.File("cmp10000"), "<missing>");
    EXPECT_EQ(run.File("cmp_list").substr(run.File("cmp_list").size() - 13), "C9999 10000\r\n");
}

TEST(Conversion, LineBreaksInsideNamesAndValuesAreWrittenAsBlanks) {
    MemoryRun run;
    run.Data({{"T1", {"P1"}}, {"DEP", {}}});
    run.Program.Files["DEP_base.s"] = "a\r\nb\n";
    CompoundSpec c{
        "U\r\nEXIT", std::nullopt, {{"B", "T1", {"1\r\nDELETE U"}}, {"S\n1", "DEP", {}}}, {}};
    run.Source.Files = WorkingFileFiles({"CP6001", "R001", 0, {c}});
    run.Run(SourceKind::WorkingFile, Platform::Pw, DestinationKind::Icc);
    EXPECT_EQ(run.File("CP6001.cmd"),
              "OPEN CP6001 ALL PAMIRO\r\nADD U  EXIT:B\r\n  TYPE = T1\r\n  P1  = 1  DELETE U\r\n"
              "END\r\nADD U  EXIT:S 1\r\n  TYPE = DEP\r\nEND\r\nCLOSE CP6001\r\nEXIT\r\n");
    EXPECT_EQ(run.Host.Messages.size(), 3u);  // once for the compound, once per block
}

TEST(Conversion, EveryLostWriteStopsTheRunNamingTheFile) {
    MemoryRun reference = WorkedExample(SourceKind::WorkingFile, Platform::Pw);
    reference.Run(SourceKind::WorkingFile, Platform::Pw, DestinationKind::FoxCae);
    // 4 creations, 4 closes, and the drains at close: each may fail.
    for (int failAt = 1; failAt <= 12; ++failAt) {
        SCOPED_TRACE(failAt);
        MemoryRun run = WorkedExample(SourceKind::WorkingFile, Platform::Pw);
        FailingTarget out;
        out.FailAt = failAt;
        run.Job.PlatformIndex = Platform::Pw;
        RunConversionIn(run.Job, run.Host, SourceKind::WorkingFile, "CP6001",
                        {run.Source, out, run.Program, "ver20_620.dat"});
        if (!run.Job.Report.Failed) {
            EXPECT_EQ(out.Files, reference.Out.Files);
            continue;
        }
        ASSERT_EQ(run.Host.Messages.size(), 1u);
        EXPECT_EQ(run.Host.Messages[0].Title, "Pamiro - Destino");
        EXPECT_EQ(run.Host.Messages[0].Text.rfind("No se puede escribir el archivo ", 0), 0u);
        EXPECT_EQ(run.Host.Restores, 1);
        EXPECT_EQ(run.Host.Panel1, "Terminado");
    }
}

TEST(Conversion, InterruptionClosesEveryFileKeepsWhatWasWrittenAndSkipsTheEndSteps) {
    MemoryRun run = WorkedExample(SourceKind::SaveAll, Platform::Aw70);
    run.Host.OnEvents = [](int calls) {
        if (calls == 2) throw ConversionInterrupted{};
    };
    EXPECT_THROW(run.Run(SourceKind::SaveAll, Platform::Aw70, DestinationKind::Icc),
                 ConversionInterrupted);
    EXPECT_EQ(run.File("CP6001.cmd"), "OPEN CP6001 ALL PAMIRO\r\n");
    EXPECT_EQ(run.Host.Restores, 0);
}

}  // namespace
}  // namespace pamiro::testing

namespace pamiro::testing {
namespace {

#ifndef _WIN32  // symbolic links and system calls as POSIX makes them
// Reads of one file fail from byte 80000 on, as on a failing disk: this
// binary is linked with --wrap=pread, so every read the engine makes passes here.
ino_t faultInode = 0;  // none when 0
int faultHits = 0;
extern "C" ssize_t __real_pread(int fd, void* out, size_t size, off_t at);
extern "C" ssize_t __wrap_pread(int fd, void* out, size_t size, off_t at) {
    struct stat st {};
    if (faultInode == 0 || ::fstat(fd, &st) != 0 || st.st_ino != faultInode ||
        at + static_cast<off_t>(size) <= 80000) {
        return __real_pread(fd, out, size, at);
    }
    errno = EIO;
    return ++faultHits, -1;
}

TEST(ConversionOnDisk, AReadErrorInsideASourceFileStopsTheRunAndIsNeverTakenForItsEnd) {
    Workspace w;
    w.WriteDataFiles({{"T1", {"P1"}}, {"DEP", {}}});
    // The second record and the source's second half lie past the 64 KiB one read fetches.
    CompoundSpec c{"C1",
                   std::nullopt,
                   {{"B1", "T1", {std::string(100000, 'v')}}, {"S1", "DEP", {}}},
                   {{"S1", std::string(150000, 's')}}};
    WriteWorkingFile(w.Src(), {"CP6001", "R001", 0, {c}});
    for (const char* file : {"CP6001/CP6001.wf", "C1/S1.s"}) {
        struct stat st {};
        ASSERT_EQ(::stat((w.Src() / file).c_str(), &st), 0);
        std::tie(faultInode, faultHits) = std::pair(st.st_ino, 0);
        const auto run = w.Run("CP6001", 0, 0, 0);
        faultInode = 0;
        EXPECT_EQ(faultHits, 1) << file;  // the first failed read ends the run
        EXPECT_TRUE(run.Job->Report.Failed);
        ASSERT_EQ(run.Host.Messages.size(), 1u);
        EXPECT_EQ(run.Host.Messages[0].Title + ": " + run.Host.Messages[0].Text,
                  "Pamiro - Fuente: No se puede leer el archivo " + (w.Src() / file).string() +
                      ": error de entrada/salida");
    }
}

TEST(ConversionOnDisk, LinksNeitherLeadOutOfTheSourceNorWriteOutsideTheDestination) {
    Workspace w;
    const fs::path outside = w.temp.Path() / "outside";
    WriteFile(outside / "secret", "secret");
    WriteFile(outside / "B" / "parameters",
              EncodeParameters({"B", std::nullopt, {{"X", "T1", {}}}, {}}, "R001"));
    WriteSaveAll(w.Src(), {{{"A", std::nullopt, {{"S", "DEP", {}}}, {}}}, {}, std::nullopt});
    fs::create_symlink(outside / "secret", w.Src() / "A" / "S.s");
    fs::create_directory_symlink(outside / "B", w.Src() / "B");
    w.WriteDataFiles({{"DEP", {}}, {"T1", {}}});
    WriteFile(w.Data() / "DEP_base.s", "base");
    fs::create_symlink(outside / "secret", w.Out() / "cmp_list");
    const auto run = w.Run("CP6001", 0, 1, 0);
    EXPECT_FALSE(run.Job->Report.Failed);
    EXPECT_EQ(w.OutFile("cmp_list"), "A 1\r\n");
    EXPECT_EQ(w.OutFile("src0001"), "base");
    EXPECT_EQ(ReadFile(outside / "secret"), "secret");
    ASSERT_EQ(run.Host.Messages.size(), 1u);
    EXPECT_EQ(run.Host.Messages[0].Title, "Pamiro - Save All");
    EXPECT_EQ(run.Host.Messages[0].Text,
              "La carpeta " + (w.Src() / "B").string() + " es un enlace simbólico: se omite");
}

#endif

}  // namespace
}  // namespace pamiro::testing
