#include <gtest/gtest.h>

#include <sstream>

#include "support/MemoryRun.h"

namespace pamiro::testing {
namespace {

// C1: B1 (T1), S1 (DEP, own source), S2 (DEP, base source); C2: B2.
MemoryRun Example(SourceKind kind, bool compoundList, bool lowerCp) {
    MemoryRun run;
    run.Data({{"T1", {"P1"}}, {"DEP", {"P1"}}});
    run.Program.Files["DEP_base.s"] = "base";
    const std::vector<CompoundSpec> compounds{
        {"C1", {}, {{"B1", "T1", {"1"}}, {"S1", "DEP", {}}, {"S2", "DEP", {}}}, {{"S1", "own"}}},
        {"C2", {}, {{"B2", "T1", {"2"}}}, {}}};
    const std::vector<std::string> list{"C1", "x", "C2", "x"};
    const FileMap files =
        kind == SourceKind::WorkingFile
            ? WorkingFileFiles({"CP6001", "R001", 1, compounds})
            : SaveAllFiles({compounds, {}, compoundList ? std::optional(list) : std::nullopt});
    for (const auto& [path, bytes] : files)  // the CP's folder in lower case
        run.Source.Files[lowerCp && path.rfind("CP6001/", 0) == 0 ? "cp" + path.substr(2) : path] =
            bytes;
    return run;
}

// The program folder, where Refused is there but cannot be opened.
struct Program : MemoryInputFolder {
    std::string Refused;
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override {
        return path.back() == Refused ? nullptr : MemoryInputFolder::Open(path);
    }
};

// Every lookup that meets two or more case variants names them after its
// message, whatever the case of the folders on the way, and what it could not
// take is never dropped in silence: a warning that counts, or the failure. A
// base source there but not to be opened is named so.
TEST(CaseVariants, EveryLookupNamesTheVariantsItCouldNotChooseBetween) {
    const auto wf = SourceKind::WorkingFile, sa = SourceKind::SaveAll;
    struct Case {
        SourceKind Kind;
        int Tree;  // 1: a .Compound_Dir; 2: the CP's folder in lower case; 4: DEP_base.s refused
        std::string File, Names;  // a file ("P:" in the program folder), its new names
        std::string Message;      // "TITLE: TEXT" of the first message
        std::string Where;        // "folder|name|variants" named on its second line
        long long Compounds;      // converted; -1 when the run failed
    };
    for (const Case& c : std::vector<Case>{
             {wf, 2, "cp6001/CP6001.wf", "cp6001/Cp6001.wf cp6001/CP6001.WF",
              "Pamiro - Working File: CP6001.wf no se encuentra",
              "cp6001|CP6001.wf|CP6001.WF Cp6001.wf", -1},
             {wf, 2, "cp6001/CP6001.wf", "Cp6001/CP6001.wf",
              "Pamiro - Working File: CP6001.wf no se encuentra", "|CP6001|Cp6001 cp6001", -1},
             {wf, 0, "CP6001/CP6001.O", "CP6001/cp6001.o CP6001/CP6001.o",
              "Pamiro - Working File - Compound: CP6001.O no encontrado",
              "CP6001|CP6001.O|CP6001.o cp6001.o", 0},
             {wf, 2, "cp6001/C2.O", "cp6001/c2.o cp6001/C2.o",
              "Pamiro -Working File - Bloque: C2.O no encontrado", "cp6001|C2.O|C2.o c2.o", 2},
             {wf, 0, "C1/S1.s", "C1/s1.s C1/S1.S",
              "Pamiro - Fuentes: C1:S1 - S1.s no se toma; se ha copiado DEP_base.s",
              "C1|S1.s|S1.S s1.s", 2},
             {wf, 0, "P:DEP_base.s", "dep_base.s DEP_BASE.S",
              "Pamiro - Fuentes: C1:S2 - No se encuentra S2.s ni DEP_base.s; no se ha copiado "
              "el fuente",
              "|DEP_base.s|DEP_BASE.S dep_base.s", 2},
             {wf, 4, "", "",
              "Pamiro - Fuentes: C1:S2 - No se encuentra S2.s y no se puede leer DEP_base.s "
              "(DEP_base.s); no se ha copiado el fuente",
              "", 2},
             {sa, 0, "C2/parameters", "C2/Parameters C2/PARAMETERS",
              "Pamiro - Save All: El compuesto C2 se omite: no se encuentra su archivo de "
              "parámetros",
              "C2|parameters|PARAMETERS Parameters", 1},
             {sa, 1, "C2/parameters", "C2/Parameters C2/PARAMETERS",
              "Pamiro - Save All - Bloques: C2 - Archivo de parametros no encontrado",
              "C2|parameters|PARAMETERS Parameters", 2},
             {sa, 1, ".Compound_Dir", ".compound_dir .COMPOUND_DIR",
              "Pamiro - Save All: No se lee la lista de compuestos .Compound_Dir: se toman las "
              "carpetas con archivo de parámetros",
              "|.Compound_Dir|.COMPOUND_DIR .compound_dir", 2}}) {
        SCOPED_TRACE(c.Message);
        MemoryRun run = Example(c.Kind, c.Tree & 1, c.Tree & 2);
        const bool inProgram = c.File.rfind("P:", 0) == 0;
        auto& files = inProgram ? run.Program.Files : run.Source.Files;
        std::istringstream names(c.Names);
        for (std::string name; names >> name;) files[name] = files.at(c.File.substr(inProgram * 2));
        files.erase(c.File.substr(inProgram * 2));
        Program program;
        program.Files = run.Program.Files;
        if (c.Tree & 4) program.Refused = "DEP_base.s";
        run.Job.PlatformIndex = Platform::Aw51;
        run.Job.DestinationKind = DestinationKind::FoxCae;
        RunConversionIn(run.Job, run.Host, c.Kind, "CP6001",
                        {run.Source, run.Out, program, "ver51_620.dat"});
        const RecordedMessage& shown = run.Host.Messages.at(0);
        CaseVariantsMet met;
        std::istringstream where(c.Where);
        std::getline(std::getline(where, met.Folder, '|'), met.Name, '|');
        for (std::string name; where >> name;) met.Variants.push_back(name);
        EXPECT_EQ(shown.Title + ": " + shown.Text,
                  c.Message + (c.Where.empty() ? "" : "\n" + CaseVariantsNote(met)));
        EXPECT_EQ(shown.Icon, c.Compounds < 0 ? MessageIcon::Critical : MessageIcon::Warning);
        EXPECT_EQ(run.Job.Report.Failed, c.Compounds < 0);
        if (c.Compounds < 0) continue;
        EXPECT_EQ(run.Job.Report.CompoundsConverted, c.Compounds);
        EXPECT_EQ(run.Job.Report.Warnings, 1);
        if (c.Compounds == 0) continue;
        EXPECT_EQ(run.File("src0001"), c.File == "C1/S1.s" ? "base" : "own");
        EXPECT_EQ(run.File("src0002"),
                  (c.Tree & 4) || met.Name == "DEP_base.s" ? "<missing>" : "base");
    }
}

}  // namespace
}  // namespace pamiro::testing
