#include <gtest/gtest.h>

#ifndef _WIN32  // names that differ only in case are one name on Windows
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <set>

#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

using Args = std::vector<std::string>;
using nlohmann::json;

// Every file under folder with its bytes, by its path below folder.
std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).generic_string()] = ReadFile(entry.path());
    return files;
}

std::string Note(const fs::path& folder, const std::string& name, const std::string& names) {
    return "No se toma ninguno: en " + folder.string() +
           " hay varios nombres que solo difieren de " + name +
           " en mayúsculas y minúsculas: " + names;
}

class CaseVariantsCli : public ::testing::Test {
  protected:
    // The bundled Working File sample as a tree copied from Windows: every
    // folder and file name in lower case.
    void SetUp() override {
        const fs::path sample = fs::path(PAMIRO_SOURCE_ROOT) / "samples";
        for (const auto& [path, bytes] : Tree(sample / "working-file")) {
            std::string lower = path;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            WriteFile(wf / lower, bytes);
        }
        fs::copy(sample / "save-all/SMPL01", sa, fs::copy_options::recursive);
    }
    Args Convert(const std::string& source, const fs::path& from, const fs::path& to) const {
        return {"convert",      "--cp",   "SMPL01",   "--platform", "aw51",
                "--ia-version", "620",    "--source", source,       "--from",
                from.string(),  "--dest", "foxcae",   "--to",       to.string()};
    }
    TempDir temp;
    fs::path wf = temp.Path() / "wf", sa = temp.Path() / "sa";
};

// A lower-case tree converts to the very bytes of the original, and the report
// lists what was read under the paths that stand on disk, with their roles.
// A second working file in another case is named, whatever the case of the
// CP's folder, and the run fails with the destination untouched.
TEST_F(CaseVariantsCli, ALowerCaseTreeConvertsAsTheOriginalAndVariantsAreNamed) {
    const fs::path report = temp.Path() / "r.json";
    const CliResult lower =
        RunCliHere(Set(Convert("wf", wf, temp.Path() / "lower"), "--report", report.string()));
    ASSERT_EQ(lower.Status, 0) << lower.Err;
    const CliResult original = RunCliHere(Convert(
        "wf", fs::path(PAMIRO_SOURCE_ROOT) / "samples/working-file", temp.Path() / "original"));
    ASSERT_EQ(original.Status, 0) << original.Err;
    EXPECT_EQ(Tree(temp.Path() / "lower"), Tree(temp.Path() / "original"));

    const json r = json::parse(ReadFile(report));
    std::set<std::string> roles;
    for (const json& input : r["inputs"]) {
        const std::string path = input["path"];
        EXPECT_EQ(input["size"], ReadFile(path).size()) << path;
        roles.insert(input["role"].get<std::string>() + " " + fs::path(path).filename().string());
    }
    EXPECT_EQ(r["inputs"][0]["path"], (wf / "smpl01/smpl01.o").string());
    EXPECT_EQ(roles, (std::set<std::string>{"index smpl01.o", "working file smpl01.wf",
                                            "data file ver51_620.dat", "compound index alarms.o",
                                            "compound index unit01.o", "compound index unit02.o",
                                            "own source seq01.s", "own source exc01.s",
                                            "own source mon01.s", "base source IND_base.s"}));

    fs::copy_file(wf / "smpl01/smpl01.wf", wf / "smpl01/Smpl01.WF");
    const CliResult twice = RunCliHere(Convert("wf", wf, temp.Path() / "lower"));
    EXPECT_EQ(twice.Status, 1);
    EXPECT_EQ(twice.Err,
              "Pamiro - Working File: SMPL01.wf no se encuentra\n"
              "  Carpeta donde se buscó: " +
                  (wf / "SMPL01").string() + "\n  " +
                  Note(wf / "smpl01", "SMPL01.wf", "Smpl01.WF, smpl01.wf") +
                  "\nConversión fallida: el destino no se ha modificado\n");
    EXPECT_EQ(Tree(temp.Path() / "lower"), Tree(temp.Path() / "original"));
}

// A compound folder whose parameters only case variants match is named in a
// warning with or without a compound list, and --strict refuses the run.
TEST_F(CaseVariantsCli, AnAmbiguousParametersFileIsWarnedAndFailsStrict) {
    fs::rename(sa / "UNIT02/parameters", sa / "UNIT02/Parameters");
    fs::copy_file(sa / "UNIT02/Parameters", sa / "UNIT02/PARAMETERS");
    const std::string note =
        "\n  " + Note(sa / "UNIT02", "parameters", "PARAMETERS, Parameters") + "\n";
    for (const auto& [list, warning, compounds] :
         std::vector<std::tuple<bool, std::string, std::string>>{
             {false,
              "Pamiro - Save All: El compuesto UNIT02 se omite: no se encuentra su archivo de "
              "parámetros",
              "2 compuesto(s)"},
             {true, "Pamiro - Save All - Bloques: UNIT02 - Archivo de parametros no encontrado",
              "3 compuesto(s)"}}) {
        if (list) WriteFile(sa / ".Compound_Dir", "ALARMS\r\nx\r\nUNIT01\r\nx\r\nUNIT02\r\nx\r\n");
        const fs::path to = temp.Path() / (list ? "list" : "scan");
        const CliResult strict = RunCliHere(Set(Convert("sa", sa, to), "--strict"));
        EXPECT_EQ(strict.Status, 1);
        EXPECT_TRUE(Has(strict.Err, warning + note)) << strict.Err;
        EXPECT_FALSE(fs::exists(to / "cmp_list"));
        const CliResult plain = RunCliHere(Convert("sa", sa, to));
        EXPECT_EQ(plain.Status, 0);
        EXPECT_TRUE(Has(plain.Out, compounds)) << plain.Out;
        EXPECT_TRUE(fs::exists(to / "cmp_list"));
    }
}

// batch takes a lower-case CP folder as convert does, names an ambiguous
// working file by its variants, and keeps "no es un archivo normal" for what
// is really no file.
TEST_F(CaseVariantsCli, BatchGivesTheRunsReasonForACpFolderItCannotTake) {
    WriteFile(wf / "cpamb1/Cpamb1.wf", "R001");
    WriteFile(wf / "cpamb1/cpamb1.WF", "R001");
    WriteFile(wf / "cpfifo/CPFIFO.O", "");
    ASSERT_EQ(::mkfifo((wf / "cpfifo/CPFIFO.wf").c_str(), 0600), 0);
    const fs::path to = temp.Path() / "batch";
    const CliResult result =
        RunCliHere({"batch", "--platform", "aw51", "--ia-version", "620", "--from", wf.string(),
                    "--dest", "foxcae", "--to", to.string(), "--jobs", "1"});
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(Has(result.Out, "SMPL01: Conversión terminada: 3 compuesto(s)")) << result.Out;
    EXPECT_TRUE(Has(result.Out, "Lote: 3 CP, 1 convertido(s), 2 fallido(s)")) << result.Out;
    ASSERT_EQ(RunCliHere(Convert("wf", wf, temp.Path() / "single")).Status, 0);
    EXPECT_EQ(Tree(to / "SMPL01"), Tree(temp.Path() / "single"));
    EXPECT_EQ(result.Err,
              "cpamb1: Pamiro - Lote: CPAMB1.wf no se encuentra en " + (wf / "cpamb1").string() +
                  "\ncpamb1:   " + Note(wf / "cpamb1", "CPAMB1.wf", "Cpamb1.wf, cpamb1.WF") +
                  "\ncpfifo: Pamiro - Lote: CPFIFO.wf no es un archivo normal: " +
                  (wf / "cpfifo/CPFIFO.wf").string() + "\n" +
                  "SMPL01: Pamiro - Bloques: 1 bloque(s) omitido(s): su tipo no está en el "
                  "archivo de datos: ALARMS:OD301 (XYZBLK)\nSMPL01: Pamiro - Fuentes: 1 "
                  "bloque(s) de secuencia sin su fuente .s: se ha copiado la fuente base de su "
                  "tipo: UNIT01:SEQ02 (IND_base.s)\n");
}

}  // namespace
}  // namespace pamiro::testing
#endif
