#include <gtest/gtest.h>

#ifndef _WIN32  // names that differ only in case are one name on Windows
#include <nlohmann/json.hpp>

#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

// A lower-case tree converts to the bytes of the original, by convert and by
// batch, each picking the platform from the index, and the report lists what
// was read under the paths that stand on disk, with their roles (a Save All's
// too). batch names an ambiguous working file's variants; a destination inside
// the source is warned.
TEST(CaseVariantsCli, ALowerCaseTreeConvertsAsTheOriginalAndIsReportedAsRead) {
    const fs::path sample = fs::path(PAMIRO_SOURCE_ROOT) / "samples";
    TempDir temp;
    const fs::path wf = temp.Path() / "wf";  // the sample as copied from Windows: lower case
    for (const auto& [name, bytes] : Tree(sample / "working-file")) {
        if (bytes == "<folder>") continue;
        std::string path = name;
        for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        WriteFile(wf / path, bytes);
    }
    const auto Convert = [&](const fs::path& from, const std::string& to) {
        return Words(
            "convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf --dest foxcae",
            {"--from", from.string(), "--to", temp / to});
    };
    const CliResult lower =
        RunCliHere(Set(Set(Convert(wf, "lower"), "--report", temp / "r"), "--platform", "auto"));
    ASSERT_EQ(lower.Status, 0) << lower.Err;
    EXPECT_TRUE(Has(lower.Err, "Plataforma: se elige AW51: el índice de SMPL01.O solo "))
        << lower.Err;
    ASSERT_EQ(RunCliHere(Convert(sample / "working-file", "original")).Status, 0);
    EXPECT_EQ(Tree(temp.Path() / "lower"), Tree(temp.Path() / "original"));
    // Each input as "role path" (below the temporary folder, else its name).
    const auto Roles = [&](const fs::path& report) {
        std::string roles;
        const nlohmann::json r = nlohmann::json::parse(ReadFile(report));
        for (const auto& input : r["inputs"]) {
            const std::string path = input["path"];
            EXPECT_EQ(input["size"], ReadFile(path).size()) << path;
            const bool below = path.rfind(temp / "", 0) == 0;
            roles += input["role"].get<std::string>() + " " +
                     (below ? path.substr(temp.Path().string().size() + 1)
                            : fs::path(path).filename().string()) +
                     ", ";
        }
        return roles;
    };
    EXPECT_EQ(Roles(temp.Path() / "r"),
              "index wf/smpl01/smpl01.o, working file wf/smpl01/smpl01.wf, data file "
              "ver51_620.dat, compound index wf/smpl01/unit02.o, own source wf/unit02/mon01.s, own "
              "source wf/unit02/exc01.s, compound index wf/smpl01/unit01.o, own source "
              "wf/unit01/seq01.s, base source IND_base.s, compound index wf/smpl01/alarms.o, ");
    const fs::path sa = temp.Path() / "sa";  // the list file found in lower case
    WriteFile(sa / ".compound_dir", "UNIT02\r\nx\r\n");
    fs::copy(sample / "save-all/SMPL01/UNIT02", sa / "UNIT02", fs::copy_options::recursive);
    EXPECT_EQ(RunCliHere(Set(Set(Convert(sa, "sa-out"), "--source", "sa"), "--report", temp / "r2"))
                  .Status,
              0);
    EXPECT_TRUE(Has(Roles(temp.Path() / "r2"),
                    "compound list sa/.compound_dir, parameters sa/UNIT02/parameters, "));

    WriteFile(wf / "cpamb1/Cpamb1.wf", "R001");
    WriteFile(wf / "cpamb1/cpamb1.WF", "R001");
    const CliResult batch = RunCliHere(Words("batch --platform auto --ia-version 620 --dest foxcae",
                                             {"--from", wf.string(), "--to", temp / "batch"}));
    EXPECT_TRUE(Has(batch.Out, "Lote: 2 CP, 1 convertido(s), 1 fallido(s)")) << batch.Out;
    EXPECT_EQ(Tree(temp.Path() / "batch/SMPL01"), Tree(temp.Path() / "original"));
    EXPECT_TRUE(Has(batch.Err, "cpamb1: Pamiro - Lote: CPAMB1.wf no se encuentra en " +
                                   (wf / "cpamb1").string() +
                                   "\ncpamb1:   No se toma ninguno: en " +
                                   (wf / "cpamb1").string() +
                                   " hay varios nombres que solo difieren de CPAMB1.wf en "
                                   "mayúsculas y minúsculas: Cpamb1.wf, cpamb1.WF\n"))
        << batch.Err;
    const CliResult inside = RunCliHere(Set(Convert(wf, "wf/out"), "--strict"));
    EXPECT_EQ(inside.Status, 1);
    EXPECT_TRUE(Has(inside.Err, "Pamiro - Destino: La carpeta de destino " + (temp / "wf/out") +
                                    " está dentro de la carpeta de la fuente (" + (temp / "wf")));
}

}  // namespace
}  // namespace pamiro::testing
#endif
