#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The bundled sample, named as the README names it, from the source root.
class CliSample : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        fs::current_path(PAMIRO_SOURCE_ROOT);
    }
    void TearDown() override { fs::current_path(previous); }
    std::vector<std::string> Convert(const std::string& platform, const std::string& source,
                                     const std::string& from, const fs::path& to,
                                     const std::string& more = {}) const {
        std::vector<std::string> args{"convert", "--cp",         "SMPL01",   "--platform",
                                      platform,  "--ia-version", "620",      "--source",
                                      source,    "--from",       from,       "--dest",
                                      "foxcae",  "--to",         to.string()};
        if (!more.empty()) args.push_back(more);
        return args;
    }
    // The same source options, for inspect --json.
    std::vector<std::string> Inspect(const std::string& source, const std::string& from) const {
        std::vector<std::string> args = Convert("aw51", source, from, "");
        args[0] = "inspect";
        args.resize(args.size() - 4);
        args.push_back("--json");
        return args;
    }
    fs::path previous;
    TempDir temp;
};

TEST_F(CliSample, TheReadmesExampleCreatesTheMissingDestination) {
    const CliResult result =
        RunCli(Convert("aw51", "wf", "samples/working-file", temp.Path() / "smpl01"));
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(fs::is_regular_file(temp.Path() / "smpl01" / "cmp_list"));
    EXPECT_TRUE(Has(result.Out, "Conversión terminada: 3 compuesto(s)")) << result.Out;
}

TEST_F(CliSample, BadDestinationsAndMissingSourcesAreRefusedBeforeAnyWrite) {
    WriteFile(temp.Path() / "file", "x");
    const std::string fixed = "Pamiro - Destino: No se puede crear la carpeta ";
    for (const auto& [from, to, err] : std::vector<std::tuple<std::string, fs::path, std::string>>{
             {"samples/working-file", temp.Path() / "file",
              fixed + (temp.Path() / "file").string() + ": existe y no es una carpeta\n"},
             {"samples/working-file", temp.Path() / "file" / "sub",
              fixed + (temp.Path() / "file" / "sub").string() +
                  ": una parte de la ruta no es una carpeta\n"},
             {"samples/nope", temp.Path() / "new",
              "Fuente: La carpeta de la fuente no existe: samples/nope\n"}}) {
        const CliResult result = RunCli(Convert("aw51", "wf", from, to));
        EXPECT_EQ(result.Status, 1);
        EXPECT_EQ(result.Err, err);
        EXPECT_EQ(ReadFile(temp.Path() / "file"), "x");
        EXPECT_FALSE(fs::exists(temp.Path() / "new"));
    }
    // A script parses every answer, a refusal too.
    const CliResult refused = RunCli(Inspect("wf", "samples/nope"));
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(nlohmann::json::parse(refused.Out),
              nlohmann::json({{"refused", true},
                              {"title", "Fuente"},
                              {"text", "La carpeta de la fuente no existe: samples/nope"}}));
}

TEST_F(CliSample, WrongPlatformWarnsThatNothingWasWrittenAndStrictFailsOnAnyWarning) {
    const fs::path to = temp.Path() / "out";
    const CliResult result = RunCli(Convert("aw70", "wf", "samples/working-file", to));
    EXPECT_EQ(result.Status, 0);
    EXPECT_TRUE(Has(result.Out, "0 bloque(s) escrito(s)"));
    EXPECT_TRUE(Has(result.Out,
                    "\nAviso: no se ha escrito ningún bloque aunque la fuente tiene "
                    "entradas; compruebe la plataforma (--platform)"))
        << result.Out;
    EXPECT_EQ(RunCli(Convert("aw70", "wf", "samples/working-file", to, "--strict")).Status, 1);
    // The right platform writes, but the sample's unknown type still warns.
    EXPECT_FALSE(Has(RunCli(Convert("aw51", "sa", "samples/save-all/SMPL01", to)).Out, "Aviso"));
    EXPECT_EQ(RunCli(Convert("aw51", "sa", "samples/save-all/SMPL01", to, "--strict")).Status, 1);
}

TEST_F(CliSample, ASaveAllOneLevelTooHighIsAnsweredWithTheRightFolder) {
    const CliResult result = RunCli(Convert("aw51", "sa", "samples/save-all", temp.Path() / "out"));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err,
              "Pamiro - Save All: Save All incorrecto de SMPL01\n  Sugerencia: para un Save All, "
              "--from es el árbol mismo; pruebe --from samples/save-all/SMPL01\n");
    EXPECT_FALSE(fs::exists(temp.Path() / "out"));  // created for the run, taken back

    const auto answer = nlohmann::json::parse(RunCli(Inspect("sa", "samples/save-all")).Out);
    EXPECT_EQ(answer["refused"], false);
    EXPECT_EQ(answer["reason"]["text"], "Save All incorrecto de SMPL01");
}

// Usage errors: exit 2 and one Spanish line naming the option or the value.
TEST_F(CliSample, MistypedChoicesAndParseErrorsAreSpanishUsageErrors) {
    auto convert = [&](std::size_t at, const std::string& value) {
        std::vector<std::string> args = Convert("aw51", "wf", "samples/working-file", temp.Path());
        args[at] = value;
        return args;
    };
    const std::vector<std::string> batch{"batch",  "--platform", "aw51", "--ia-version",
                                         "620",    "--from",     ".",    "--dest",
                                         "foxcae", "--to",       ".",    "--jobs"};
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {convert(8, "working-file"),
         "--source: valor \"working-file\" no válido; se acepta: wf, sa, \"Working File\", "
         "\"Save All\", 0, 1"},
        {convert(4, "aw99"),
         "--platform: valor \"aw99\" no válido; se acepta: pw, aw51, aw70, \"PW (Intel)\", "
         "\"AW51\", \"AW70\", 0, 1, 2"},
        {convert(12, "x"),
         "--dest: valor \"x\" no válido; se acepta: foxcae, icc, \"FoxCAE Transfer\", \"ICC "
         "Api\", 0, 1"},
        {Convert("aw51", "wf", ".", ".", "--bogus"), "argumento no esperado: --bogus"},
        {{"convert", "--cp", "SMPL01"}, "falta la opción obligatoria --platform"},
        {{"convert", "--to"}, "falta el valor de la opción --to"},
        {{"datfile"}, "falta la orden de datfile (dump, build, check)"},
        {{"datfile", "check", "--platform", "pw"}, "falta el argumento ARCHIVO"},
        {{"datfile", "dump", "x", "--platform", "pw7"}, "--platform: valor \"pw7\" no válido"},
    };
    auto run = [](const std::vector<std::string>& args, const std::string& text) {
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.Status, 2) << text;
        EXPECT_EQ(result.Err.substr(0, 12 + text.size()), "pamiro-cli: " + text) << result.Err;
        EXPECT_TRUE(Has(result.Err, "\nUse --help para más información.\n")) << result.Err;
    };
    for (const auto& [args, text] : cases) run(args, text);
    for (const char* jobs : {"0", "-1", "dos"}) {
        std::vector<std::string> args = batch;
        args.push_back(jobs);
        run(args, std::string("--jobs: valor \"") + jobs + "\" no válido");
    }
}

TEST(CliUsage, HelpIsSpanishWithoutPlaceholders) {
    for (const std::vector<std::string>& command : {std::vector<std::string>{},
                                                    {"convert"},
                                                    {"batch"},
                                                    {"inspect"},
                                                    {"datfile", "dump"},
                                                    {"datfile", "build"},
                                                    {"datfile", "check"}}) {
        std::vector<std::string> args = command;
        args.push_back("--help");
        const CliResult help = RunCli(args);
        EXPECT_EQ(help.Status, 0);
        EXPECT_TRUE(Has(help.Out, "  -h, --help ")) << help.Out;
        for (const char* english : {"TEXT", "REQUIRED", "OBLIGATORIA", "UINT", "Usage", "OPTIONS"})
            EXPECT_FALSE(Has(help.Out, english)) << english << "\n" << help.Out;
    }
    const CliResult convert = RunCli({"convert", "--help"});
    EXPECT_TRUE(Has(convert.Out, "la carpeta que contiene la carpeta")) << convert.Out;
    EXPECT_TRUE(Has(convert.Out, "el árbol guardado mismo")) << convert.Out;
}

TEST(CliUsage, DatfileDumpRefusesTheOtherPlatformsLayout) {
    const fs::path bin = fs::path(PAMIRO_CLI_PATH).parent_path();
    for (const auto& [file, platform] :
         {std::pair{"ver51_620.dat", "pw"}, std::pair{"ver20_620.dat", "aw70"}}) {
        const CliResult result =
            RunCli({"datfile", "dump", (bin / file).string(), "--platform", platform});
        EXPECT_EQ(result.Status, 1) << file;
        EXPECT_EQ(result.Out, "");
        EXPECT_TRUE(Has(result.Err, "el archivo no tiene el formato de registro de esa plataforma"))
            << result.Err;
    }
    EXPECT_EQ(
        RunCli({"datfile", "dump", (bin / "ver51_620.dat").string(), "--platform", "aw70"}).Status,
        0);
}

}  // namespace
}  // namespace pamiro::testing
