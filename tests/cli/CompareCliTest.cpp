#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/HtmlPage.h"
#include "support/Csv.h"
#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

// Two Save Alls of one CP on disk, the second with one value changed, and a
// data folder of their own. The compound's name holds a Latin-1 byte (Ñ) and
// the value a comma and quotes, so JSON and CSV must convert and quote them.
struct TwoSaveAlls {
    TempDir Data, First, Second;
    TwoSaveAlls() {
        WriteFile(Data.Path() / "ver51_620.dat",
                  EncodeDataFile({{"AIN", {"HI", "DESC"}}, {"DEP", {"STEP"}}}, true));
        WriteFile(Data.Path() / "DEP_base.s", "base\r\n");
        CompoundSpec compound{
            "BOMBA\xD1", std::nullopt, {{"A1", "AIN", {"100", "Nivel, \"alto\""}}}, {}};
        WriteSaveAll(First.Path(), {{compound}, {}, std::nullopt});
        compound.Blocks[0].Values[1] = "bajo";
        WriteSaveAll(Second.Path(), {{compound}, {}, std::nullopt});
    }
    // The options before the folders, then each folder option with its folder.
    std::vector<std::string> Args(const std::string& words, const TempDir* second) const {
        std::vector<std::string> args = Words(words + " --source sa --with-source sa");
        if (second == nullptr) args.resize(args.size() - 2);
        args.insert(args.end(),
                    {"--from", First.Path().string(), "--data-dir", Data.Path().string()});
        if (second != nullptr) args.insert(args.end(), {"--with-from", second->Path().string()});
        return args;
    }
    std::vector<std::string> Args(const TempDir& second) const {
        return Args("compare --cp CP6001 --platform aw51 --ia-version 620", &second);
    }
};

TEST(CompareCli, CsvThroughTheProgramHoldsOneRowPerDifference) {
    TwoSaveAlls trees;
    std::vector<std::string> args = trees.Args(trees.Second);
    args.push_back("--csv");
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.Status, 1) << result.Err;
    ASSERT_EQ(result.Out.rfind(kBom, 0), 0u);
    const auto rows = ParseCsv(result.Out.substr(3));
    ASSERT_EQ(rows.size(), 2u) << result.Out;
    EXPECT_EQ(rows[0].size(), 7u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"BOMBA\xC3\x91", "A1", "AIN", "DESC",
                                                 "Nivel, \"alto\"", "bajo", "valor distinto"}));
}

TEST(CompareCli, JsonAndExitStatusTellSameDifferentUsageAndFailure) {
    TwoSaveAlls trees;
    std::vector<std::string> different = trees.Args(trees.Second);
    different.push_back("--json");
    CliResult result = RunCliHere(different);
    EXPECT_EQ(result.Status, 1) << result.Err;
    const nlohmann::json doc = nlohmann::json::parse(result.Out);
    ASSERT_EQ(doc["compounds"].size(), 1u);
    EXPECT_EQ(doc["compounds"][0]["name"], "BOMBA\xC3\x91");
    const nlohmann::json& d = doc["compounds"][0]["differences"][0];
    EXPECT_EQ(d["kind"], "valueChanged");
    EXPECT_EQ(d["parameter"], "DESC");
    EXPECT_EQ(d["first"], "Nivel, \"alto\"");
    EXPECT_EQ(d["second"], "bajo");

    // --ignore leaves the one difference out; the text report says "Iguales".
    result = RunCliHere(Set(trees.Args(trees.Second), "--ignore", "hi, DESC"));
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(Has(result.Out, "\nIguales: 1 compuesto(s) y 1 bloque(s) comparados"))
        << result.Out;

    std::vector<std::string> both = different;
    both.push_back("--csv");
    EXPECT_EQ(RunCliHere(both).Status, 2);

    // The second side's folder is missing: refused as convert refuses it, in
    // text and in a document naming the side; the exit status stays 3.
    result = RunCliHere(Set(trees.Args(trees.Second), "--with-from", trees.Second / "nada"));
    EXPECT_EQ(result.Status, 3);
    EXPECT_TRUE(Has(result.Err, "Fuente: La carpeta de la fuente no existe")) << result.Err;
    EXPECT_TRUE(result.Out.empty());
    result = RunCliHere(Set(different, "--with-from", trees.Second / "nada"));
    EXPECT_EQ(result.Status, 3);
    EXPECT_EQ(nlohmann::json::parse(result.Out)["side"], "second");
    EXPECT_EQ(nlohmann::json::parse(result.Out)["text"],
              "La carpeta de la fuente no existe: " + trees.Second / "nada");
    // A first side that holds no Save All is a failed run, not a refusal.
    result = RunCliHere(Set(different, "--from", trees.Data.Path().string()));
    EXPECT_EQ(result.Status, 3);
    const nlohmann::json failed = nlohmann::json::parse(result.Out);
    EXPECT_EQ(failed["side"], "first");
    EXPECT_EQ(failed["failed"], true);
    EXPECT_EQ(failed["reason"]["text"], "Save All incorrecto de CP6001");
    EXPECT_TRUE(Has(result.Err, "  (primera fuente: --source, --from)")) << result.Err;
}

// What compare sees besides the values: the revision code each compound file
// ends with, --ignore names in any case (and refused when no data file has
// one), warnings that say which side they come from.
TEST(CompareCli, RevisionCodesIgnoredNamesAndWarningsOfEachSide) {
    TwoSaveAlls trees;
    const std::string compound = "BOMBA\xD1";
    // The second tree: the value and the revision code differ, and a block of
    // a type the data file lacks is warned.
    const CompoundSpec second{
        compound, std::nullopt, {{"A1", "AIN", {"100", "bajo"}}, {"Z1", "XYZ", {}}}, {}};
    WriteSaveAll(trees.Second.Path(), {{second}, {{compound, "R002"}}, std::nullopt});

    CliResult result = RunCliHere(Set(trees.Args(trees.Second), "--ignore", " desc , hi"));
    EXPECT_EQ(result.Status, 1) << result.Err;
    EXPECT_TRUE(Has(result.Out, "\nCompuesto " + compound +
                                    ": código de revisión distinto: \"R001\" -> \"R002\"\n"))
        << result.Out;
    EXPECT_TRUE(Has(result.Out, ", 1 código(s) de revisión distintos\n")) << result.Out;
    EXPECT_TRUE(Has(result.Err, "(segunda fuente) Pamiro - Bloques: ")) << result.Err;
    EXPECT_FALSE(Has(result.Err, "(primera fuente)")) << result.Err;

    result = RunCliHere(Set(Set(trees.Args(trees.Second), "--ignore", "DESC"), "--json"));
    const nlohmann::json doc = nlohmann::json::parse(result.Out);
    EXPECT_EQ(doc["compounds"][0]["differences"][0],
              nlohmann::json::parse(
                  R"({"kind": "revisionCodeChanged", "first": "R001", "second": "R002"})"));
    EXPECT_EQ(doc["totals"]["revisionCodesChanged"], 1);

    result = RunCliHere(Set(Set(trees.Args(trees.Second), "--ignore", "DESC,nada"), "--csv"));
    EXPECT_EQ(result.Status, 2);
    EXPECT_TRUE(result.Out.empty());
    EXPECT_TRUE(Has(result.Err,
                    "pamiro-cli: --ignore: parámetro que no tiene el archivo de "
                    "datos de ninguna de las dos fuentes: nada\n"))
        << result.Err;
}

void SetSourceDateEpoch(const char* value) {
#ifdef _WIN32
    _putenv_s("SOURCE_DATE_EPOCH", value);
#else
    setenv("SOURCE_DATE_EPOCH", value, 1);
#endif
}

// The page's place is checked as --report's, before anything is read; the
// page is written whole, its values escaped, the same bytes for the same
// SOURCE_DATE_EPOCH.
TEST(CompareCli, HtmlPageIsPlacedLikeTheReportAndReproducible) {
    EXPECT_EQ(cli::HtmlEscaped("<a href='x'>\"&\""), "&lt;a href=&#39;x&#39;&gt;&quot;&amp;&quot;");
    TwoSaveAlls trees;
    TempDir out;
    for (const auto& [place, says] : std::vector<std::pair<std::string, std::string>>{
             {trees.Second / "p.html",
              "La página no puede estar dentro de la carpeta de la fuente"},
             {out / "nada/p.html", "La carpeta de la página no existe: "},
             {out.Path().string(), "La página no puede ser una carpeta: "}}) {
        const CliResult result = RunCliHere(Set(trees.Args(trees.Second), "--html", place));
        EXPECT_EQ(result.Status, 3);
        EXPECT_TRUE(Has(result.Err, "Pamiro - Página: " + says)) << result.Err;
        EXPECT_TRUE(result.Out.empty()) << result.Out;
    }
    EXPECT_FALSE(fs::exists(trees.Second.Path() / "p.html"));
    const std::string page = out / "p.html";
    SetSourceDateEpoch("90000");
    EXPECT_EQ(RunCliHere(Set(trees.Args(trees.Second), "--html", page)).Status, 1);
    const std::string first = ReadFile(page);
    EXPECT_EQ(RunCliHere(Set(trees.Args(trees.Second), "--html", page)).Status, 1);
    SetSourceDateEpoch("");
    EXPECT_EQ(ReadFile(page), first);
    EXPECT_EQ(Tree(out.Path()).size(), 1u);  // no temporary left beside it
    EXPECT_TRUE(Has(first, "Leídas el 1970-01-02 01:00 UTC")) << first;
    EXPECT_TRUE(Has(first, "<h3>Compuesto BOMBA\xC3\x91</h3>")) << first;
    EXPECT_TRUE(Has(first,
                    "<td>DESC</td><td class=\"v old\">Nivel, &quot;alto&quot;</td>"
                    "<td class=\"v new\">bajo</td>"))
        << first;
}

// --platform auto picks the first side's platform from its index; a Save All
// second side, which has none to pick, takes it. A version a label names
// stands for its code; the header names each side's folder and kind.
TEST(CompareCli, AutoPlatformCarriesToASaveAllSecondSide) {
    const std::string samples = std::string(PAMIRO_SOURCE_ROOT) + "/samples/";
    const CliResult result = RunCliHere(
        Words("compare --cp SMPL01 --platform auto --ia-version 6.2.1 --source wf "
              "--with-source sa",
              {"--from", samples + "working-file", "--with-from", samples + "save-all/SMPL01"}));
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err, "(primera fuente) Plataforma: se elige AW51")) << result.Err;
    EXPECT_TRUE(Has(result.Out, "Segunda fuente: SMPL01, Save All en " + samples +
                                    "save-all/SMPL01, AW51, versión 620 ("))
        << result.Out;
}

// The sample's two sources, each converted to both formats with --verify,
// equal every output; an output read as a source names a hand edit, refuses
// a damaged line by file and line, and is no source for convert.
TEST(CompareCli, SampleSourcesEqualEveryOutputOfEither) {
    const std::string samples = std::string(PAMIRO_SOURCE_ROOT) + "/samples/";
    const std::pair<std::string, std::string> sources[] = {{"wf", samples + "working-file"},
                                                           {"sa", samples + "save-all/SMPL01"}};
    const std::string cp = " --cp SMPL01 --platform aw51 --ia-version 620 --source ";
    TempDir out;
    std::vector<std::pair<std::string, std::string>> outputs;
    for (const auto& [kind, from] : sources) {
        for (const std::string dest : {"foxcae", "icc"}) {
            const std::string to = out / (kind + dest);
            const CliResult r = RunCliHere(Words("convert" + cp + kind + " --verify --dest " + dest,
                                                 {"--from", from, "--to", to}));
            EXPECT_EQ(r.Status, 0) << r.Err;
            EXPECT_TRUE(Has(r.Out, "Verificado: ")) << r.Out;
            outputs.emplace_back(dest, to);
        }
    }
    const auto compare = [&](const std::string& kind, const std::string& from, std::size_t at) {
        return RunCliHere(Words("compare" + cp + kind + " --with-source " + outputs[at].first,
                                {"--from", from, "--with-from", outputs[at].second}));
    };
    for (const auto& [kind, from] : sources) {
        for (std::size_t at = 0; at < outputs.size(); ++at) {
            const CliResult r = compare(kind, from, at);
            EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
        }
    }
    CliResult r =
        RunCliHere(Words("inspect" + cp + "foxcae --parameters", {"--from", outputs[2].second}));
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(
        Has(r.Out, "\nCompuesto UNIT01\n  UNIT01       COMPND\n      DESCRP       Alimentacion\n"))
        << r.Out;
    const auto edit = [](const fs::path& folder, const std::string& from, const std::string& to) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            std::string text = ReadFile(entry.path());
            const auto at = text.find(from);
            if (at != std::string::npos) WriteFile(entry.path(), text.replace(at, from.size(), to));
        }
    };
    edit(outputs[0].second, "Columna de destilacion", "Columna X");
    r = compare("wf", sources[0].second, 0);
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(Has(r.Out,
                    "Compuesto UNIT02\n  UNIT02 (COMPND): DESCRP: \"Columna de "
                    "destilacion\" -> \"Columna X\"\n"))
        << r.Out;
    const std::string script = ReadFile(fs::path(outputs[3].second) / "SMPL01.cmd");
    const auto line =
        std::count(script.begin(), script.begin() + script.find("  TYPE = CIN"), '\n');
    edit(outputs[3].second, "  TYPE = CIN", "  TYPO CIN");
    r = compare("sa", sources[1].second, 3);
    EXPECT_EQ(r.Status, 3);
    EXPECT_TRUE(Has(
        r.Err, "SMPL01.cmd, línea " + std::to_string(line + 1) + ": se esperaba \"TYPE = tipo\"\n"))
        << r.Err;
    r = RunCliHere(Words("inspect" + cp + "icc", {"--from", outputs[3].second}));
    EXPECT_EQ(r.Status, 1);
    r = RunCliHere(
        Words("convert" + cp + "foxcae --dest icc", {"--from", out / "x", "--to", out / "y"}));
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(Has(r.Err, "es la salida de una conversión")) << r.Err;
}

TEST(InspectCli, ParametersListEveryBlocksNamedValues) {
    TwoSaveAlls trees;
    const std::vector<std::string> args =
        trees.Args("inspect --cp CP6001 --platform aw51 --ia-version 620", nullptr);
    CliResult result = RunCliHere(Set(args, "--csv"));
    ASSERT_EQ(result.Status, 0) << result.Err;
    ASSERT_EQ(result.Out.rfind(kBom, 0), 0u);
    EXPECT_EQ(ParseCsv(result.Out.substr(3)),
              (std::vector<std::vector<std::string>>{
                  {"compuesto", "bloque", "tipo", "parámetro", "valor"},
                  {"BOMBA\xC3\x91", "A1", "AIN", "HI", "100"},
                  {"BOMBA\xC3\x91", "A1", "AIN", "DESC", "Nivel, \"alto\""}}));

    result = RunCliHere(Set(Set(args, "--parameters"), "--json"));
    ASSERT_EQ(result.Status, 0) << result.Err;
    const auto block = nlohmann::json::parse(result.Out)["compounds"][0]["blocks"][0];
    EXPECT_EQ(block["parameters"],
              nlohmann::json::parse(R"([{"name":"HI","value":"100"},)"
                                    R"({"name":"DESC","value":"Nivel, \"alto\""}])"));

    result = RunCliHere(Set(args, "--parameters"));
    EXPECT_TRUE(Has(result.Out, "      HI           100\n")) << result.Out;

    // Another separator quotes what holds it, not a comma; a block of a type
    // the data file lacks has a row of its own.
    WriteSaveAll(trees.Second.Path(),
                 {{{"C2", std::nullopt, {{"Z1", "XYZ", {"5"}}, {"A1", "AIN", {"1,5", "x;y"}}}, {}}},
                  {},
                  std::nullopt});
    result = RunCliHere(
        Set(Set(Set(args, "--from", trees.Second.Path().string()), "--csv"), "--csv-sep", ";"));
    EXPECT_EQ(result.Out, std::string(kBom) +
                              "compuesto;bloque;tipo;parámetro;valor\r\n"
                              "BOMBA\xC3\x91;A1;AIN;HI;100\r\nBOMBA\xC3\x91;A1;AIN;DESC;bajo\r\n"
                              "C2;Z1;XYZ;;\r\n"
                              "C2;A1;AIN;HI;1,5\r\nC2;A1;AIN;DESC;\"x;y\"\r\n")
        << result.Err;
}

}  // namespace
}  // namespace pamiro::testing
