#include <gtest/gtest.h>

#include <functional>

#include "support/MemoryRun.h"

namespace pamiro::testing {
namespace {

using Files = std::map<std::string, std::string>;

// Moves a file to one or more new names (the bytes copied to each).
void Rename(Files& files, const std::string& from, std::vector<std::string> to) {
    const std::string bytes = files.at(from);
    files.erase(from);
    for (const std::string& name : to) files[name] = bytes;
}

// Compound C1 with block B1 (T1) and sequence blocks S1 (own source) and S2
// (none: its base source is copied); C2 with B2.
MemoryRun Example(SourceKind kind, bool compoundList = false) {
    MemoryRun run;
    run.Data({{"T1", {"P1"}}, {"DEP", {"P1"}}});
    run.Program.Files["DEP_base.s"] = "base";
    CompoundSpec c1{"C1",
                    std::nullopt,
                    {{"B1", "T1", {"1"}}, {"S1", "DEP", {}}, {"S2", "DEP", {}}},
                    {{"S1", "own"}}};
    CompoundSpec c2{"C2", std::nullopt, {{"B2", "T1", {"2"}}}, {}};
    if (kind == SourceKind::WorkingFile) {
        run.Source.Files = WorkingFileFiles({"CP6001", "R001", 1, {c1, c2}});
    } else {
        std::optional<std::vector<std::string>> list;
        if (compoundList) list = std::vector<std::string>{"C1", "x", "C2", "x"};
        run.Source.Files = SaveAllFiles({{c1, c2}, {}, list});
    }
    return run;
}

// Every file below folder/ moved below to/.
void MoveFolder(Files& files, const std::string& folder, const std::string& to) {
    Files moved;
    for (auto& [path, bytes] : files)
        moved[path.rfind(folder + "/", 0) == 0 ? to + path.substr(folder.size()) : path] = bytes;
    files = moved;
}

std::string Note(const std::string& folder, const std::string& name, const std::string& names) {
    return "\nNo se toma ninguno: en " + folder + " hay varios nombres que solo difieren de " +
           name + " en mayúsculas y minúsculas: " + names;
}

// Every lookup that meets two or more case variants names them after its
// message, whatever the case of the folders on the way, and what it could not
// take is never dropped in silence: a warning that counts, or the failure.
TEST(CaseVariants, EveryLookupNamesTheVariantsItCouldNotChooseBetween) {
    const auto wf = SourceKind::WorkingFile, sa = SourceKind::SaveAll;
    struct Case {
        SourceKind Kind;
        bool CompoundList;
        std::function<void(MemoryRun&)> Change;
        std::string Message;  // "TITLE: TEXT" of the one message besides the closing ones
        long long Compounds;  // converted; -1 when the run failed
    };
    const std::vector<Case> cases{
        {wf, false,
         [](MemoryRun& r) {
             // The CP's folder in lower case, its working file in two cases.
             MoveFolder(r.Source.Files, "CP6001", "cp6001");
             Rename(r.Source.Files, "cp6001/CP6001.wf", {"cp6001/Cp6001.wf", "cp6001/CP6001.WF"});
         },
         "Pamiro - Working File: CP6001.wf no se encuentra" +
             Note("cp6001", "CP6001.wf", "CP6001.WF, Cp6001.wf"),
         -1},
        {wf, false,
         [](MemoryRun& r) {
             MoveFolder(r.Source.Files, "CP6001", "cp6001");
             Rename(r.Source.Files, "cp6001/CP6001.wf", {"Cp6001/CP6001.wf"});
         },
         "Pamiro - Working File: CP6001.wf no se encuentra" + Note("", "CP6001", "Cp6001, cp6001"),
         -1},
        {wf, false,
         [](MemoryRun& r) {
             Rename(r.Source.Files, "CP6001/CP6001.O", {"CP6001/cp6001.o", "CP6001/CP6001.o"});
         },
         "Pamiro - Working File - Compound: CP6001.O no encontrado" +
             Note("CP6001", "CP6001.O", "CP6001.o, cp6001.o"),
         0},
        {wf, false,
         [](MemoryRun& r) {
             Rename(r.Source.Files, "CP6001/C2.O", {"CP6001/c2.o", "CP6001/C2.o"});
         },
         "Pamiro -Working File - Bloque: C2.O no encontrado" + Note("CP6001", "C2.O", "C2.o, c2.o"),
         2},
        {wf, false,
         [](MemoryRun& r) {
             Rename(r.Source.Files, "C1/S1.s", {"C1/s1.s", "C1/S1.S"});
         },
         "Pamiro - Fuentes: C1:S1 - S1.s no se toma; se ha copiado DEP_base.s" +
             Note("C1", "S1.s", "S1.S, s1.s"),
         2},
        {wf, false,
         [](MemoryRun& r) {
             Rename(r.Program.Files, "DEP_base.s", {"dep_base.s", "DEP_BASE.S"});
         },
         "Pamiro - Fuentes: C1:S2 - No se encuentra S2.s ni DEP_base.s; no se ha copiado el "
         "fuente" +
             Note("", "DEP_base.s", "DEP_BASE.S, dep_base.s"),
         2},
        {sa, false,
         [](MemoryRun& r) {
             Rename(r.Source.Files, "C2/parameters", {"C2/Parameters", "C2/PARAMETERS"});
         },
         "Pamiro - Save All: El compuesto C2 se omite: no se encuentra su archivo de parámetros" +
             Note("C2", "parameters", "PARAMETERS, Parameters"),
         1},
        {sa, true,
         [](MemoryRun& r) {
             Rename(r.Source.Files, "C2/parameters", {"C2/Parameters", "C2/PARAMETERS"});
         },
         "Pamiro - Save All - Bloques: C2 - Archivo de parametros no encontrado" +
             Note("C2", "parameters", "PARAMETERS, Parameters"),
         2},
        {sa, true,
         [](MemoryRun& r) {
             Rename(r.Source.Files, ".Compound_Dir", {".compound_dir", ".COMPOUND_DIR"});
             r.Source.Files["C3/x"] = "";  // no compound without a list naming it
         },
         "Pamiro - Save All: No se lee la lista de compuestos .Compound_Dir: se toman las "
         "carpetas con archivo de parámetros" +
             Note("", ".Compound_Dir", ".COMPOUND_DIR, .compound_dir"),
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message);
        MemoryRun run = Example(c.Kind, c.CompoundList);
        c.Change(run);
        run.Run(c.Kind, Platform::Aw51, DestinationKind::FoxCae);
        ASSERT_FALSE(run.Host.Messages.empty());
        const RecordedMessage& shown = run.Host.Messages.front();
        EXPECT_EQ(shown.Title + ": " + shown.Text, c.Message);
        EXPECT_EQ(shown.Icon, c.Compounds < 0 ? MessageIcon::Critical : MessageIcon::Warning);
        EXPECT_EQ(run.Job.Report.Failed, c.Compounds < 0);
        if (c.Compounds >= 0) {
            EXPECT_EQ(run.Job.Report.CompoundsConverted, c.Compounds);
            EXPECT_EQ(run.Job.Report.Warnings, 1);
        }
    }
}

// The base source copied in place of S1.s when its own name is ambiguous is
// the one the type gives, and a lone variant in any case is simply taken.
TEST(CaseVariants, OneVariantIsTakenAndAnAmbiguousOwnSourceGivesTheBaseSource) {
    MemoryRun run = Example(SourceKind::WorkingFile);
    Files lower;
    for (const auto& [path, bytes] : run.Source.Files) {
        std::string name = path;
        for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        lower[name] = bytes;
    }
    run.Source.Files = lower;
    run.Run(SourceKind::WorkingFile, Platform::Aw51, DestinationKind::FoxCae);
    EXPECT_EQ(run.Messages(), "");
    EXPECT_EQ(run.File("src0001"), "own");
    EXPECT_EQ(run.File("src0002"), "base");

    MemoryRun twice = Example(SourceKind::WorkingFile);
    Rename(twice.Source.Files, "C1/S1.s", {"C1/s1.s", "C1/S1.S"});
    twice.Run(SourceKind::WorkingFile, Platform::Aw51, DestinationKind::FoxCae);
    EXPECT_EQ(twice.File("src0001"), "base");
    EXPECT_EQ(twice.Job.Report.BaseSourcesCopied, 2);
}

// The program folder's base source there but not to be opened.
struct UnreadableBase : MemoryInputFolder {
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override {
        return path.back() == "DEP_base.s" ? nullptr : MemoryInputFolder::Open(path);
    }
};

TEST(CaseVariants, ABaseSourceThatCannotBeReadIsNamedSo) {
    MemoryRun run = Example(SourceKind::WorkingFile);
    UnreadableBase program;
    program.Files = run.Program.Files;
    run.Job.PlatformIndex = Platform::Aw51;
    run.Job.DestinationKind = DestinationKind::FoxCae;
    RunConversionIn(run.Job, run.Host, SourceKind::WorkingFile, "CP6001",
                    {run.Source, run.Out, program, "ver51_620.dat"});
    EXPECT_EQ(run.Messages(),
              "Pamiro - Fuentes: C1:S2 - No se encuentra S2.s y no se puede leer DEP_base.s "
              "(DEP_base.s); no se ha copiado el fuente\n");
    EXPECT_EQ(run.Job.Report.MissingSequenceSources, 1);
    EXPECT_EQ(run.File("src0002"), "<missing>");
    EXPECT_EQ(run.File("src0001"), "own");
}

// Every file a run reads is told once per open with its role and the path
// read, which is the one that stands in the folder, in any case.
struct Roles : RunObserver {
    std::vector<std::pair<InputRole, std::string>> Seen;
    void InputOpened(InputRole role, const std::string& path) override {
        Seen.emplace_back(role, path);
    }
};

TEST(CaseVariants, TheObserverHearsEachInputByItsRoleAndThePathRead) {
    using R = InputRole;
    MemoryRun wf = Example(SourceKind::WorkingFile);
    Rename(wf.Source.Files, "CP6001/CP6001.wf", {"CP6001/cp6001.WF"});
    Rename(wf.Source.Files, "C1/S1.s", {"C1/s1.S"});
    Rename(wf.Program.Files, "ver51_620.dat", {"VER51_620.dat"});
    Roles roles;
    wf.Job.Observer = &roles;
    wf.Run(SourceKind::WorkingFile, Platform::Aw51, DestinationKind::FoxCae);
    // The fit check reads the index and the working file before the run does.
    const std::vector<std::pair<R, std::string>> read{{R::CpIndex, "CP6001/CP6001.O"},
                                                      {R::WorkingFile, "CP6001/cp6001.WF"},
                                                      {R::WorkingFile, "CP6001/cp6001.WF"},
                                                      {R::CpIndex, "CP6001/CP6001.O"},
                                                      {R::CompoundIndex, "CP6001/C1.O"},
                                                      {R::DataFile, "VER51_620.dat"},
                                                      {R::OwnSource, "C1/s1.S"},
                                                      {R::BaseSource, "DEP_base.s"},
                                                      {R::CompoundIndex, "CP6001/C2.O"}};
    EXPECT_EQ(roles.Seen, read);

    MemoryRun sa = Example(SourceKind::SaveAll, true);
    Rename(sa.Source.Files, "C2/parameters", {"C2/PARAMETERS"});
    Roles saRoles;
    sa.Job.Observer = &saRoles;
    sa.Run(SourceKind::SaveAll, Platform::Aw51, DestinationKind::Icc);
    EXPECT_EQ(saRoles.Seen,
              (std::vector<std::pair<R, std::string>>{{R::CompoundList, ".Compound_Dir"},
                                                      {R::Parameters, "C1/parameters"},
                                                      {R::DataFile, "ver51_620.dat"},
                                                      {R::Parameters, "C2/PARAMETERS"}}));
}

}  // namespace
}  // namespace pamiro::testing
