#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "app/InputChecks.h"
#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

// The stdout lines that start with a CP's name, in the order printed.
std::string CpLines(const std::string& out) {
    std::istringstream in(out);
    std::string names;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Lote:", 0) != 0) names += line.substr(0, line.find(':')) + " ";
    return names;
}

class BatchCli : public ::testing::Test {
  protected:
    void SetUp() override { ws.WriteDataFiles({{"AIN", {"DESCRP"}}, {"DEP", {"P1"}}}); }
    // compounds of blocks AIN blocks, a DEP block with its source; unknown: one of no known type.
    static std::vector<CompoundSpec> Compounds(const std::string& prefix, int compounds, int blocks,
                                               bool unknown = false) {
        std::vector<CompoundSpec> list;
        for (int c = 0; c < compounds; ++c) {
            CompoundSpec compound{prefix + std::to_string(c), std::nullopt, {{"S", "DEP", {}}}, {}};
            for (int i = 0; i < blocks; ++i)
                compound.Blocks.push_back(
                    {"B" + std::to_string(i), "AIN", {"v" + std::to_string(i)}});
            if (unknown) compound.Blocks.push_back({"X", "NOPE", {}});
            compound.Sources["S"] = "source of " + compound.Name + "\r\n";
            list.push_back(compound);
        }
        return list;
    }
    void AddWorkingFile(const std::string& cp, int compounds, int blocks, bool unknown = false) {
        WriteWorkingFile(ws.Src(), {cp, "R001", 1, Compounds(cp, compounds, blocks, unknown)});
    }
    CliResult Batch(const std::vector<std::string>& more = {}) const {
        std::vector<std::string> args{
            "batch",           "--platform", "aw51",   "--ia-version", "620",       "--from",
            ws.Src().string(), "--dest",     "foxcae", "--to",         to.string(), "--data-dir",
            ws.Data().string()};
        args.insert(args.end(), more.begin(), more.end());
        return RunCliHere(args);
    }
    // What a single convert of the CP writes.
    std::map<std::string, std::string> Single(const std::string& cp,
                                              const std::string& source) const {
        const fs::path single = ws.temp.Path() / "single" / cp;
        const CliResult result = RunCliHere(
            Words("convert --cp " + cp +
                      " --platform aw51 --ia-version 620 --dest foxcae --source " + source,
                  {"--from", (source == "wf" ? ws.Src() : ws.Src() / cp).string(), "--to",
                   single.string(), "--data-dir", ws.Data().string()}));
        EXPECT_EQ(result.Status, 0) << result.Err;
        return Tree(single);
    }
    Workspace ws;
    fs::path to = ws.temp.Path() / "batch";
};

TEST_F(BatchCli, ParallelRunsWriteWhatSingleRunsWriteAndReportInCpOrder) {
    AddWorkingFile("CPA001", 30, 20);  // the first CP is the longest: it ends last
    AddWorkingFile("CPB001", 1, 2, true);
    WriteSaveAll(ws.Src() / "CPSA01", {Compounds("S", 2, 3), {}, std::nullopt});
    fs::create_directories(ws.Src() / "CPSA01" / "LNK" / "parameters");  // no plain file
    WriteFile(ws.Src() / "CPSA02" / ".Compound_Dir", "");  // names no compound: damaged
    fs::create_directories(ws.Src() / "CPSA03" / "C1" / "parameters");  // its only compound
#ifndef _WIN32
    fs::create_directory_symlink(ws.Src() / "CPSA01", ws.Src() / "LINKED");  // not a CP
#endif

    const CliResult result = Batch({"--jobs", "3"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(CpLines(result.Out), "CPA001 CPB001 CPSA01 CPSA02 CPSA03 ") << result.Out;
    EXPECT_TRUE(Has(result.Out,
                    "CPB001: Conversión terminada: 1 compuesto(s), 3 bloque(s) escrito(s), 1 "
                    "fuente(s) copiado(s), 0 fuente(s) base en lugar de la del bloque, 1 "
                    "bloque(s) omitido(s) por tipo desconocido, 1 aviso(s)\nCPSA01: "
                    "Conversión terminada: 2 compuesto(s), 8 bloque(s) escrito(s), 2 fuente(s) "
                    "copiado(s), 0 fuente(s) base en lugar de la del bloque, 0 bloque(s) "
                    "omitido(s) por tipo desconocido, 1 aviso(s)\nCPSA02: Conversión fallida"))
        << result.Out;
    EXPECT_TRUE(Has(result.Out, "\nLote: 5 CP, 3 convertido(s), 2 fallido(s), 3 con avisos\n"));
    EXPECT_TRUE(Has(result.Err,
                    "CPSA01: Pamiro - Save All: El compuesto LNK se omite: su archivo "
                    "de parámetros no es un archivo normal (" +
                        (ws.Src() / "CPSA01" / "LNK" / "parameters").string() + ")\n"))
        << result.Err;
    EXPECT_FALSE(fs::exists(to / "CPSA02"));  // a failed CP leaves no empty folder
    EXPECT_EQ(Tree(to / "CPA001"), Single("CPA001", "wf"));
    EXPECT_EQ(Tree(to / "CPSA01"), Single("CPSA01", "sa"));

    // --source picks one format: no failure left, only warnings, which --strict fails.
    const CliResult wf = Batch({"--source", "wf"});
    EXPECT_EQ(wf.Status, 0);
    EXPECT_EQ(CpLines(wf.Out), "CPA001 CPB001 ");
    EXPECT_EQ(CpLines(Batch({"--source", "sa"}).Out), "CPSA01 CPSA02 CPSA03 ");
    EXPECT_EQ(Batch({"--source", "Working File", "--strict"}).Status, 1);
    // A source that is not a folder is refused, saying which it is.
    for (const auto& [from, text] : std::map<fs::path, std::string>{
             {ws.Src() / "nope", "La carpeta de la fuente no existe: "},
             {ws.Src() / "CPA001" / "CPA001.wf", "La fuente no es una carpeta: "}}) {
        const CliResult refused =
            RunCliHere({"batch", "--platform", "aw51", "--ia-version", "620", "--from",
                        from.string(), "--dest", "foxcae", "--to", to.string()});
        EXPECT_EQ(refused.Status, 1);
        EXPECT_EQ(refused.Err, "Pamiro - Lote: " + text + from.string() + "\n");
    }
}

#ifndef _WIN32  // folders that differ only in case are one folder on Windows
TEST_F(BatchCli, CollidingRefusedAndBrokenCpsFailAloneWithNothingWritten) {
    for (const char* cp : {"CPOK01", "SMPL01", "smpl01", "CPGONE", "CPBAD", "CPDIR1"})
        AddWorkingFile(cp, 1, 1);
    fs::remove(ws.Src() / "CPGONE" / "CPGONE.wf");
    fs::remove(ws.Src() / "CPDIR1" / "CPDIR1.wf");
    fs::create_directory(ws.Src() / "CPDIR1" / "CPDIR1.wf");
    const CliResult result = Batch({"--jobs", "1"});  // messages in CP order
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(CpLines(result.Out), "CPBAD CPDIR1 CPGONE CPOK01 SMPL01 smpl01 ") << result.Out;
    EXPECT_TRUE(Has(result.Out,
                    "CPBAD: Solicitud rechazada\nCPDIR1: Conversión fallida\n"
                    "CPGONE: Conversión fallida\n"));
    EXPECT_TRUE(Has(result.Out, "SMPL01: Conversión fallida\nsmpl01: Conversión fallida\n"));
    EXPECT_TRUE(Has(result.Out, "Lote: 6 CP, 1 convertido(s), 5 fallido(s)"));
    for (const std::string cp : {"CPBAD", "CPDIR1", "CPGONE", "SMPL01", "smpl01"})
        EXPECT_FALSE(fs::exists(to / cp)) << cp;
    EXPECT_TRUE(fs::exists(to / "CPOK01" / "cmp_list"));
    const std::string collision =
        ": Pamiro - Lote: las carpetas SMPL01, smpl01 irían a la misma "
        "carpeta de destino " +
        (to / "SMPL01").string() + "; no se convierte ninguna\n";
    EXPECT_EQ(result.Err, "CPBAD: Nombre del CP: Letterbug del CP incorrecto\nCPBAD:   " +
                              std::string(kLetterbugExplained) +
                              "\nCPDIR1: Pamiro - Lote: CPDIR1.wf no es un archivo normal: " +
                              (ws.Src() / "CPDIR1" / "CPDIR1.wf").string() +
                              "\nCPGONE: Pamiro - "
                              "Lote: CPGONE.wf no se encuentra en " +
                              (ws.Src() / "CPGONE").string() + " (hay archivos .O)\nSMPL01" +
                              collision + "smpl01" + collision);
}

#endif

}  // namespace
}  // namespace pamiro::testing
