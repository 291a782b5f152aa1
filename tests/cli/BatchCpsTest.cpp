#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class BatchCps : public ::testing::Test {
  protected:
    void SetUp() override { ws.WriteDataFiles({{"AIN", {"DESCRP"}}}); }
    // compounds compounds of blocks blocks; unknown: one more block of a type the data lacks.
    CompoundSpec Compound(const std::string& name, int blocks, bool unknown = false) {
        CompoundSpec compound{name, std::nullopt, {}, {}};
        for (int i = 0; i < blocks; ++i)
            compound.Blocks.push_back({"B" + std::to_string(i), "AIN", {"v"}});
        if (unknown) compound.Blocks.push_back({"X", "NOPE", {}});
        return compound;
    }
    void AddWorkingFile(const std::string& cp, int compounds, bool unknown = false) {
        std::vector<CompoundSpec> list;
        for (int i = 0; i < compounds; ++i)
            list.push_back(Compound(cp + std::to_string(i), 20, unknown));
        WriteWorkingFile(ws.Src(), {cp, "R001", 1, list});
    }
    CliResult Batch(const std::vector<std::string>& more = {}) {
        std::vector<std::string> args{
            "batch",           "--platform", "aw51",   "--ia-version", "620",       "--from",
            ws.Src().string(), "--dest",     "foxcae", "--to",         to.string(), "--data-dir",
            ws.Data().string()};
        args.insert(args.end(), more.begin(), more.end());
        return RunCli(args);
    }
    // The stdout lines that start with a CP's name, in the order printed.
    static std::string CpLines(const std::string& out) {
        std::istringstream in(out);
        std::string names;
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("Lote:", 0) != 0) names += line.substr(0, line.find(':')) + " ";
        }
        return names;
    }
    Workspace ws;
    fs::path to = ws.temp.Path() / "batch";
};

TEST_F(BatchCps, LinesComeInCpOrderAndCountTheWarningsEachCpShowed) {
    AddWorkingFile("CPA001", 30);  // the first CP is the longest: it ends last
    AddWorkingFile("CPB001", 1, true);
    AddWorkingFile("CPC001", 1);
    for (int round = 0; round < 3; ++round) {
        const CliResult result = Batch({"--jobs", "3"});
        EXPECT_EQ(result.Status, 0) << result.Err;
        EXPECT_EQ(CpLines(result.Out), "CPA001 CPB001 CPC001 ") << result.Out;
        EXPECT_TRUE(Has(result.Out,
                        "CPB001: Conversión terminada: 1 compuesto(s), 20 bloque(s) "
                        "escrito(s), 0 fuente(s) copiado(s), 1 bloque(s) omitido(s) "
                        "por tipo desconocido, 1 aviso(s)\n"))
            << result.Out;
        EXPECT_TRUE(Has(result.Out,
                        "CPC001: Conversión terminada: 1 compuesto(s), 20 bloque(s) "
                        "escrito(s), 0 fuente(s) copiado(s), 0 bloque(s) omitido(s) "
                        "por tipo desconocido, 0 aviso(s)\n"));
        EXPECT_TRUE(Has(result.Out, "Lote: 3 CP, 3 convertido(s), 0 fallido(s), 1 con avisos"));
    }
    EXPECT_EQ(Batch({"--strict"}).Status, 1);
}

TEST_F(BatchCps, CollidingAndBrokenCpFoldersAreReportedAsFailedWithNothingWritten) {
    AddWorkingFile("CPOK01", 1);
    AddWorkingFile("SMPL01", 1);
    AddWorkingFile("smpl01", 1);
    AddWorkingFile("CPGONE", 1);
    fs::remove(ws.Src() / "CPGONE" / "CPGONE.wf");
    AddWorkingFile("CPDIR1", 1);
    fs::remove(ws.Src() / "CPDIR1" / "CPDIR1.wf");
    fs::create_directory(ws.Src() / "CPDIR1" / "CPDIR1.wf");
    const CliResult result = Batch();
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(CpLines(result.Out), "CPDIR1 CPGONE CPOK01 SMPL01 smpl01 ") << result.Out;
    for (const std::string cp : {"CPDIR1", "CPGONE", "SMPL01", "smpl01"}) {
        EXPECT_TRUE(Has(result.Out, cp + ": Conversión fallida\n")) << cp << result.Out;
        EXPECT_FALSE(fs::exists(to / cp)) << cp;
    }
    EXPECT_TRUE(Has(result.Err,
                    "SMPL01: Pamiro - Lote: las carpetas SMPL01, smpl01 irían a la "
                    "misma carpeta de destino " +
                        (to / "SMPL01").string() + "; no se convierte ninguna\n"))
        << result.Err;
    EXPECT_TRUE(Has(result.Err, "CPGONE: Pamiro - Lote: CPGONE.wf no se encuentra en " +
                                    (ws.Src() / "CPGONE").string() + " (hay archivos .O)\n"))
        << result.Err;
    EXPECT_TRUE(Has(result.Err, "CPDIR1: Pamiro - Lote: CPDIR1.wf no es un archivo normal"));
    EXPECT_TRUE(fs::exists(to / "CPOK01" / "cmp_list"));
    EXPECT_TRUE(Has(result.Out, "Lote: 5 CP, 1 convertido(s), 4 fallido(s)"));
}

TEST_F(BatchCps, SaveAllCompoundsWhoseParametersIsNoPlainFileAreNamedNotDropped) {
    WriteSaveAll(ws.Src() / "CPSA01", {{Compound("S0", 2)}, {}, std::nullopt});
    const fs::path tree = ws.Src() / "CPSA01";
    fs::create_directories(tree / "LNK");
    fs::create_symlink(tree / "S0", tree / "LNK" / "parameters");
    fs::create_directories(tree / "FIFO" / "parameters");
    fs::remove(tree / "FIFO" / "parameters");
    ASSERT_EQ(mkfifo((tree / "FIFO" / "parameters").c_str(), 0600), 0);
    fs::create_directories(ws.Src() / "CPSA02" / "DIR" / "parameters");  // nothing else in it

    const CliResult result = Batch({"--source", "sa"});
    EXPECT_EQ(result.Status, 1);
    for (const std::string name : {"FIFO", "LNK"}) {
        EXPECT_TRUE(Has(result.Err, "CPSA01: Pamiro - Save All: El compuesto " + name +
                                        " se omite: su archivo de parámetros no es un archivo "
                                        "normal (" +
                                        (tree / name / "parameters").string() + ")\n"))
            << result.Err;
    }
    EXPECT_TRUE(Has(result.Out, "CPSA01: Conversión terminada: 1 compuesto(s)"));
    EXPECT_TRUE(Has(result.Out, "por tipo desconocido, 2 aviso(s)"));
    EXPECT_TRUE(Has(result.Err, "CPSA02: Pamiro - Save All: El compuesto DIR se omite"));
    EXPECT_TRUE(Has(result.Err, "CPSA02: Pamiro - Save All: Save All incorrecto de CPSA02"));
    EXPECT_TRUE(Has(result.Out, "CPSA02: Conversión fallida"));
}

}  // namespace
}  // namespace pamiro::testing
