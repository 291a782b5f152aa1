#include <gtest/gtest.h>

#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

using Args = std::vector<std::string>;

Args With(Args args, const Args& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(CliUsage, ParseErrorsExitWithTwoAndNameTheOptionOrTheValueInSpanish) {
    // The built program itself: what a shell sees of a usage error.
    const CliResult shell = RunCli({"convert", "--cp", "SMPL01"});
    EXPECT_EQ(shell.Status, 2);
    EXPECT_EQ(shell.Out, "");
    EXPECT_EQ(shell.Err,
              "pamiro-cli: falta la opción obligatoria --platform\n"
              "Use --help para más información.\n");
    const Args convert = Words(
        "convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from . --dest foxcae "
        "--to .");
    const Args batch =
        Words("batch --platform aw51 --ia-version 620 --from . --dest foxcae --to . --jobs 1");
    const Args inspect =
        Words("inspect --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from . --csv");
    for (const auto& [args, text] : std::vector<std::pair<Args, std::string>>{
             {Set(convert, "--source", "working-file"),
              "--source: valor \"working-file\" no válido; se acepta: wf, sa, \"Working File\", "
              "\"Save All\", 0, 1\n"},
             {Set(convert, "--platform", "aw99"),
              "--platform: valor \"aw99\" no válido; se acepta: pw, aw51, aw70, \"PW (Intel)\", "
              "\"AW51\", \"AW70\", 0, 1, 2, auto\n"},
             {Set(convert, "--dest", "x"),
              "--dest: valor \"x\" no válido; se acepta: foxcae, icc, \"FoxCAE Transfer\", \"ICC "
              "Api\", 0, 1\n"},
             {Set(batch, "--jobs", "0"),
              "--jobs: valor \"0\" no válido; se acepta un número entero de 1 a 1024\n"},
             {Set(batch, "--jobs", "dos"), "--jobs: valor \"dos\" no válido"},
             {{"batch", "--source", "nope"}, "--source: valor \"nope\" no válido"},
             {{"convert", "--to"}, "falta el valor de la opción --to\n"},
             {Set(convert, "--to", ""),
              "--to: no se ha indicado la carpeta del destino (el valor está vacío)\n"},
             {Set(batch, "--to", ""),
              "--to: no se ha indicado la carpeta del destino (el valor está vacío)\n"},
             {With(convert, {"--report", ""}),
              "--report: no se ha indicado el archivo del informe (el valor está vacío)\n"},
             {With(batch, {"--report", ""}), "--report: no se ha indicado la carpeta de los"},
             {With(inspect, {"--csv-sep", "\""}),
              "--csv-sep: el separador no puede ser comillas dobles ni un salto de línea"},
             {With(inspect, {"--csv-sep", "\n"}), "--csv-sep: el separador no puede ser"},
             {With(inspect, {"--csv-sep", ";;"}),
              "--csv-sep: el separador ha de ser un solo carácter (p. ej. \";\" o \",\"), no "
              "\";;\"\n"},
             {With(inspect, {"--csv-sep", "\xC3"}), "--csv-sep: el separador ha de ser un solo"},
             {Words("inspect --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from . "
                    "--csv-sep ;"),
              "--csv-sep solo vale con --csv\n"},
             {With(inspect, {"--html", ""}),
              "--html: no se ha indicado el archivo de la página (el valor está vacío)\n"},
             {{"frobnicate"}, "argumento no esperado: frobnicate\n"},
             {{"datfile"}, "falta la orden de datfile (dump, build, check)\n"},
             {{"datfile", "check", "--platform", "pw"}, "falta el argumento ARCHIVO\n"},
             {{"datfile", "build", "x", "--platform", "pw"},
              "falta la opción obligatoria --output"},
             {{"datfile", "dump", "x", "--platform", "pw7"}, "--platform: valor \"pw7\" no válido"},
         }) {
        const CliResult result = RunCliHere(args);
        EXPECT_EQ(result.Status, 2) << text;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(result.Err.substr(0, 12 + text.size()), "pamiro-cli: " + text);
        EXPECT_TRUE(Has(result.Err, "\nUse --help para más información.\n")) << result.Err;
    }
    // No command at all: the help, and the usage status.
    const CliResult none = RunCliHere({});
    EXPECT_EQ(none.Status, 2);
    EXPECT_TRUE(Has(none.Out, "Uso: pamiro-cli")) << none.Out;
}

TEST(CliUsage, HelpIsSpanishWithoutPlaceholdersAndVersionNamesTheProgram) {
    std::string all;
    for (const Args& args :
         {Args{"--help"}, Args{"convert", "-h"}, Args{"batch", "--help"}, Args{"inspect", "--help"},
          Args{"datfile", "dump", "--help"}, Args{"datfile", "build", "--help"},
          Args{"datfile", "check", "--help"}}) {
        const CliResult help = RunCliHere(args);
        EXPECT_EQ(help.Status, 0);
        EXPECT_TRUE(Has(help.Out, "  -h, --help ")) << help.Out;
        for (const char* english : {"TEXT", "REQUIRED", "OBLIGATORIA", "UINT", "Usage", "OPTIONS"})
            EXPECT_FALSE(Has(help.Out, english)) << english << "\n" << help.Out;
        all += help.Out;
    }
    for (const char* text : {"la carpeta que contiene la carpeta", "el árbol guardado mismo",
                             "Carpeta del destino", "--jobs N"})
        EXPECT_TRUE(Has(all, text)) << text;
    const CliResult version = RunCliHere({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "pamiro-cli (Pamiro) 3.0.2\n");
}

}  // namespace
}  // namespace pamiro::testing
