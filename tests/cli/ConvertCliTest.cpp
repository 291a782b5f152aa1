#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "core/Paths.h"
#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

using Args = std::vector<std::string>;
using nlohmann::json;

// The bundled sample, named as the README names it, from the source root.
class CliSample : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        fs::current_path(PAMIRO_SOURCE_ROOT);
    }
    void TearDown() override { fs::current_path(previous); }
    static Args Inspect(const std::string& source, const std::string& from) {
        return {"inspect", "--cp",     "SMPL01", "--platform", "aw51", "--ia-version",
                "620",     "--source", source,   "--from",     from};
    }
    static Args Convert(const std::string& source, const std::string& from, const fs::path& to) {
        Args args = Inspect(source, from);
        args[0] = "convert";
        args.insert(args.end(), {"--dest", "foxcae", "--to", to.string()});
        return args;
    }
    fs::path previous;
    TempDir temp;
};

TEST_F(CliSample, TheReadmesExampleCreatesTheMissingDestination) {
    const fs::path to = temp.Path() / "new" / "smpl01";
    const CliResult result = RunCli(Convert("wf", "samples/working-file", to));
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(fs::is_regular_file(to / "cmp_list"));
    EXPECT_EQ(result.Out,
              "Conversión terminada: 3 compuesto(s), 16 bloque(s) escrito(s), 3 fuente(s) "
              "copiado(s), 1 fuente(s) base en lugar de la del bloque, 1 bloque(s) omitido(s) "
              "por tipo desconocido\n");
    EXPECT_EQ(result.Err,
              "Pamiro - Bloques: 1 bloque(s) omitido(s): su tipo no está en el archivo de datos: "
              "ALARMS:OD301 (XYZBLK)\nPamiro - Fuentes: 1 bloque(s) de secuencia sin su fuente "
              ".s: se ha copiado la fuente base de su tipo: UNIT01:SEQ02 (IND_base.s)\n");
}

TEST_F(CliSample, RefusalsAndFailedRunsExitWithOneAndTakeBackTheDestination) {
    WriteFile(temp.Path() / "file", "x");
    const fs::path to = temp.Path() / "new" / "out";
    const Args wf = Convert("wf", "samples/working-file", to);
    const std::string cannot = "Pamiro - Destino: No se puede crear la carpeta ";
    const std::string file = (temp.Path() / "file").string();
    for (const auto& [args, err] : std::vector<std::pair<Args, std::string>>{
             {Set(wf, "--to", file), cannot + file + ": existe y no es una carpeta\n"},
#ifndef _WIN32  // a file in the path is ENOTDIR on POSIX only
             {Set(wf, "--to", file + "/sub"),
              cannot + file + "/sub: una parte de la ruta no es una carpeta\n"},
#endif
             {Set(wf, "--from", "samples/nope"),
              "Fuente: La carpeta de la fuente no existe: samples/nope\n"},
             {Set(wf, "--cp", "CP60"), "Nombre del CP: Letterbug del CP incorrecto\n"},
             {Set(wf, "--data-dir", "samples"),
              "Archivo de datos: No se encuentra el archivo de datos\n"
              "  Archivo buscado: " +
                  JoinPath("samples", "ver51_620.dat") + "\n"},
             {Set(wf, "--cp", "OTHER1"),
              "Pamiro - Working File: OTHER1.wf no se encuentra\n"
              "  Carpeta donde se buscó: " +
                  JoinPath("samples/working-file", "OTHER1") +
                  "\nConversión fallida: el destino no se ha modificado\n"},
             {Convert("sa", "samples/save-all", to),
              "Pamiro - Save All: Save All incorrecto de SMPL01\n  Sugerencia: para un Save All, "
              "--from es el árbol mismo; pruebe --from " +
                  JoinPath("samples/save-all", "SMPL01") +
                  "\nConversión fallida: el destino no se ha modificado\n"}}) {
        const CliResult result = RunCliHere(args);
        EXPECT_EQ(result.Status, 1);
        EXPECT_EQ(result.Err, err);
        // A refusal prints nothing more; a run that failed says so.
        EXPECT_TRUE(result.Out.empty() ||
                    result.Out.rfind("Conversión fallida: 0 compuesto", 0) == 0)
            << result.Out;
        EXPECT_EQ(ReadFile(temp.Path() / "file"), "x");
        EXPECT_FALSE(fs::exists(temp.Path() / "new"));
    }
}

TEST_F(CliSample, WrongPlatformWarnsThatNothingWasWrittenAndStrictFailsOnAnyWarning) {
    const Args wf =
        Set(Convert("Working File", "samples/working-file", temp.Path()), "--platform", "2");
    CliResult result = RunCliHere(wf);
    EXPECT_EQ(result.Status, 0);
    EXPECT_TRUE(Has(result.Out,
                    " 0 bloque(s) escrito(s), 0 fuente(s) copiado(s), 0 fuente(s) base en lugar "
                    "de la del bloque, 0 bloque(s) omitido(s) por tipo desconocido\nAviso: no se "
                    "ha escrito ningún bloque aunque la fuente "
                    "tiene entradas; compruebe la plataforma (--platform) y la versión "
                    "(--ia-version)\n"))
        << result.Out;
    EXPECT_EQ(RunCliHere(Set(wf, "--strict")).Status, 1);
    // The right platform writes, but the sample's unknown type still warns.
    const Args sa = Set(Set(Set(wf, "--platform", "AW51"), "--source", "1"), "--from",
                        "samples/save-all/SMPL01");
    result = RunCliHere(Set(sa, "--dest", "ICC Api"));
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(fs::is_regular_file(temp.Path() / "SMPL01.cmd"));
    EXPECT_FALSE(Has(result.Out, "Aviso"));
    EXPECT_EQ(RunCliHere(Set(Set(sa, "--dest", "1"), "--strict")).Status, 1);
}

TEST_F(CliSample, InspectListsExactlyWhatConvertWritesAndAnswersRefusalsInJson) {
    ASSERT_EQ(RunCliHere(Convert("wf", "samples/working-file", temp.Path())).Status, 0);
    const Args inspect = Inspect("wf", "samples/working-file");
    const CliResult asJson = RunCliHere(Set(inspect, "--json"));
    ASSERT_EQ(asJson.Status, 0) << asJson.Err;
    const json report = json::parse(asJson.Out);
    const CliResult asText = RunCliHere(inspect);
    ASSERT_EQ(asText.Status, 0) << asText.Err;

    // Text and JSON list the same blocks; convert wrote the known ones and copied the sources.
    std::string text, fromJson, list, known, written;
    std::istringstream lines(asText.Out);
    for (std::string line; std::getline(lines, line);) {
        std::string a, b;
        std::istringstream(line) >> a >> b;
        if (a == "Compuesto" || line.rfind("  ", 0) == 0) text += a + " " + b + "\n";
    }
    std::size_t c = 0, sequence = 0;
    char file[16];
    for (const json& compound : report["compounds"]) {
        const std::string name = compound["name"];
        list += name + " " + std::to_string(++c) + "\r\n";
        fromJson += "Compuesto " + name + "\n";
        std::snprintf(file, sizeof file, "cmp%04zu", c);
        std::istringstream cmp(ReadFile(temp.Path() / file));
        for (std::string line; std::getline(cmp, line);)
            if (line.rfind("NAME     >", 0) == 0)
                written += line.substr(10, line.find('\r') - 10) + " ";
        for (const json& block : compound["blocks"]) {
            const std::string blockName = block["name"];
            fromJson += blockName + " " + block["type"].get<std::string>() + "\n";
            if (block["typeKnown"]) known += blockName + " ";
            if (!block["sequence"]) continue;
            std::snprintf(file, sizeof file, "src%04zu", ++sequence);
            EXPECT_EQ(ReadFile(temp.Path() / file),
                      ReadFile(block["sequenceSource"].get<std::string>()));
        }
        known += "END ";
    }
    EXPECT_EQ(text, fromJson);
    EXPECT_EQ(ReadFile(temp.Path() / "cmp_list"), list);
    EXPECT_EQ(known, written);
    EXPECT_TRUE(Has(asText.Out,
                    "\nTotales: 3 compuesto(s), 17 bloque(s): 16 se escriben, 1 de tipo "
                    "desconocido; 4 de secuencia: 3 con su fuente, 1 con el fuente base, 0 sin "
                    "fuente\n"))
        << asText.Out;

    const CliResult refused = RunCliHere(Set(Set(inspect, "--from", "samples/nope"), "--json"));
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Err, "Fuente: La carpeta de la fuente no existe: samples/nope\n");
    EXPECT_EQ(json::parse(refused.Out),
              json({{"refused", true},
                    {"title", "Fuente"},
                    {"text", "La carpeta de la fuente no existe: samples/nope"}}));
    const CliResult failed = RunCliHere(
        Set(Set(Set(inspect, "--source", "sa"), "--from", "samples/save-all"), "--json"));
    EXPECT_EQ(failed.Status, 1);
    EXPECT_EQ(json::parse(failed.Out)["reason"]["text"], "Save All incorrecto de SMPL01");
}

}  // namespace
}  // namespace pamiro::testing
