#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/InputChecks.h"
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
        return Words("inspect --cp SMPL01 --platform aw51 --ia-version 620",
                     {"--source", source, "--from", from});
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

TEST_F(CliSample, RefusalsAndFailedRunsExitWithOneAndTakeBackTheDestination) {
    WriteFile(temp.Path() / "file", "x");
    const fs::path to = temp.Path() / "new" / "out";
    const Args wf = Convert("wf", "samples/working-file", to);
    const std::string cannot = "Pamiro - Destino: No se puede crear la carpeta ";
    const std::string file = (temp.Path() / "file").string();
    WriteFile(temp.Path() / "empty/SMPL01/SMPL01.wf", "R001");
    WriteFile(temp.Path() / "empty/SMPL01/SMPL01.O", "");
    const std::string ambiguousIndex = JoinPath(JoinPath(temp / "empty", "SMPL01"), "SMPL01.O");
    for (const auto& [args, err] : std::vector<std::pair<Args, std::string>>{
             {Set(wf, "--to", file), cannot + file + ": existe y no es una carpeta\n"},
#ifndef _WIN32  // a file in the path is ENOTDIR on POSIX only
             {Set(wf, "--to", file + "/sub"),
              cannot + file + "/sub: una parte de la ruta no es una carpeta\n"},
#endif
             {Set(wf, "--from", "samples/nope"),
              "Fuente: La carpeta de la fuente no existe: samples/nope\n"},
             {Set(wf, "--cp", "CP60"), "Nombre del CP: Letterbug del CP incorrecto\n  " +
                                           std::string(kLetterbugExplained) + "\n"},
             {Set(wf, "--data-dir", "samples"),
              "Archivo de datos: No se encuentra el archivo de datos\n"
              "  Archivo buscado: " +
                  JoinPath("samples", "ver51_620.dat") + "\n"},
             {Set(wf, "--cp", "OTHER1"),
              "Pamiro - Working File: OTHER1.wf no se encuentra\n"
              "  Carpeta donde se buscó: " +
                  JoinPath("samples/working-file", "OTHER1") +
                  "\nConversión fallida: el destino no se ha modificado\n"},
             {Set(Set(wf, "--platform", "auto"), "--source", "sa"),
              "Plataforma: --platform auto solo sirve para "
              "un Working File: con un Save All indique la "
              "plataforma (pw, aw51 o aw70)\n"},
             {Set(Set(wf, "--platform", "auto"), "--from", temp / "empty"),
              "Plataforma: No se puede elegir la plataforma: el índice de SMPL01.O corresponde "
              "a varias: PW (Intel), AW51 y AW70\n  Índice: " +
                  ambiguousIndex + "; indique --platform pw, aw51 o aw70\n"},
             {Set(Set(wf, "--ia-version", "6.4"), "--data-dir", "samples"),
              "Versión: La versión de I/A 6.4 no es ninguna de las ofrecidas y no hay archivo "
              "de datos para ella\n  Versiones ofrecidas (código o texto): 411 (4.1.1 o "
              "anterior), 423 (4.2.x), 610 (6.1 / 4.3), 611 (6.1.1), 620 (6.2 / 6.2.1 / 6.3)\n"
              "  Archivo de datos buscado: " +
                  JoinPath("samples", "ver51_6.4.dat") + "\n"},
#ifndef _WIN32  // where a drive letter means nothing
             {Set(wf, "--to", "C:\\datos\\salida"),
              "Pamiro: --to parece una ruta de Windows: C:\\datos\\salida\n  Aquí las carpetas "
              "se escriben con \"/\" y sin letra de unidad (por ejemplo /mnt/datos/salida); no "
              "se crea ni se lee nada\n"},
#endif
             {Convert("sa", "samples/save-all", to),
              "Pamiro - Save All: Save All incorrecto de SMPL01\n  Sugerencia: para un Save All se "
              "elige el árbol mismo: pruebe --from " +
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

TEST_F(CliSample, WrongPlatformIsRefusedAndStrictFailsOnAnyWarning) {
    const Args wf =
        Set(Convert("Working File", "samples/working-file", temp.Path()), "--platform", "2");
    const std::string notice =
        "\nAviso: no se ha escrito ningún bloque aunque la fuente tiene entradas; compruebe la "
        "plataforma (--platform) y la versión (--ia-version)\n";
    // Nothing written (PlatformFit); here the exit status and the option to use.
    CliResult result = RunCliHere(wf);
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err,
              "Pamiro - Working File: El índice de SMPL01.O no corresponde a la plataforma "
              "AW70; parece AW51\n  Use --platform aw51: es la plataforma a la que corresponde "
              "el índice del CP\nConversión fallida: el destino no se ha modificado\n");
    EXPECT_TRUE(fs::is_empty(temp.Path()));
    // A compound without blocks: the notice is the only warning, and --strict fails on it.
    WriteWorkingFile(temp.Path() / "empty", {"SMPL01", "R001", 1, {{"C1", std::nullopt, {}, {}}}});
    const Args empty = Set(Set(Set(wf, "--platform", "aw51"), "--from", temp / "empty"), "--to",
                           temp / "out-empty");
    result = RunCliHere(empty);
    EXPECT_EQ(result.Status, 0);
    EXPECT_EQ(result.Err, "");
    EXPECT_TRUE(Has(result.Out, notice)) << result.Out;
    EXPECT_EQ(RunCliHere(Set(empty, "--strict")).Status, 1);
    // The right platform writes (the version named by its label, as the window
    // lists it), but the sample's unknown type still warns.
    const Args sa = Set(Set(Set(Set(wf, "--platform", "AW51"), "--source", "1"), "--from",
                            "samples/save-all/SMPL01"),
                        "--ia-version", "6.2 / 6.2.1 / 6.3");
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
