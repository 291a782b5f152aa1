#include <gtest/gtest.h>

#include <map>

#include "core/Paths.h"
#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

using Args = std::vector<std::string>;

std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path());
        }
    }
    return files;
}

// The bundled sample's Working File copied into a temporary folder.
class WrongInput : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy(fs::path(PAMIRO_SOURCE_ROOT) / "samples/working-file", temp.Path() / "wf",
                 fs::copy_options::recursive);
    }
    Args Convert(const std::string& platform, const std::string& to,
                 const std::string& from = {}) const {
        return {"convert",
                "--cp",
                "SMPL01",
                "--platform",
                platform,
                "--ia-version",
                "620",
                "--source",
                "wf",
                "--from",
                from.empty() ? temp / "wf" : from,
                "--dest",
                "foxcae",
                "--to",
                temp / to};
    }
    TempDir temp;
};

TEST_F(WrongInput, AutoPicksTheSamplesPlatformAndLowerCaseNamesConvertTheSame) {
    ASSERT_EQ(RunCliHere(Convert("aw51", "aw51")).Status, 0);
    const CliResult picked = RunCliHere(Convert("auto", "auto"));
    EXPECT_EQ(picked.Status, 0);
    EXPECT_TRUE(Has(picked.Err,
                    "Plataforma: se elige AW51: el índice de SMPL01.O solo "
                    "corresponde a esa plataforma\n"))
        << picked.Err;
    EXPECT_EQ(Contents(temp.Path() / "auto"), Contents(temp.Path() / "aw51"));
    // Every name lower-cased, as a copy from Windows may arrive.
    fs::rename(temp.Path() / "wf", temp.Path() / "low");
    for (const auto& dir : {"low/SMPL01", "low/UNIT01", "low/UNIT02", "low"}) {
        for (const auto& entry : fs::directory_iterator(temp.Path() / dir)) {
            std::string name = entry.path().filename().string();
            for (char& c : name) c = static_cast<char>(std::tolower(c));
            fs::rename(entry.path(), entry.path().parent_path() / name);
        }
    }
    EXPECT_EQ(RunCliHere(Convert("aw51", "lower", temp / "low")).Status, 0);
    EXPECT_EQ(Contents(temp.Path() / "lower"), Contents(temp.Path() / "aw51"));
    const CliResult batch =
        RunCliHere({"batch", "--platform", "auto", "--ia-version", "620", "--from", temp / "low",
                    "--dest", "foxcae", "--to", temp / "batch"});
    EXPECT_EQ(batch.Status, 0) << batch.Err;
    EXPECT_EQ(Contents(temp.Path() / "batch/SMPL01"), Contents(temp.Path() / "aw51"));
}

TEST_F(WrongInput, WrongChoicesAreRefusedOrWarnedBeforeAnythingIsWritten) {
    WriteFile(temp.Path() / "empty/SMPL01/SMPL01.wf", "R001");
    WriteFile(temp.Path() / "empty/SMPL01/SMPL01.O", "");
    WriteFile(temp.Path() / "two/SMPL01/smpl01.wf", "R001");
    WriteFile(temp.Path() / "two/SMPL01/Smpl01.WF", "R001");
    const Args aw51 = Convert("aw51", "out");
    for (const auto& [args, status, err] : std::vector<std::tuple<Args, int, std::string>>{
             {Set(Convert("auto", "out"), "--source", "sa"), 1,
              "Plataforma: --platform auto solo sirve para un Working File"},
             {Convert("auto", "out", temp / "empty"), 1,
              "Plataforma: No se puede elegir la plataforma: el índice de SMPL01.O corresponde "
              "a varias: PW (Intel), AW51 y AW70\n"},
             {Set(aw51, "--ia-version", "6.2"), 1,
              "Versión: La versión de I/A 6.2 no es ninguna de las ofrecidas y no hay archivo de "
              "datos para ella\n  Versiones ofrecidas (código o texto): 411 (4.1.1 o anterior), "
              "423 (4.2.x), 610 (6.1 / 4.3), 611 (6.1.1), 620 (6.2 / 6.2.1 / 6.3)\n"},
             {Set(aw51, "--to", "C:\\datos\\salida"), 1,
              "Pamiro: --to parece una ruta de Windows: C:\\datos\\salida\n"},
             {Convert("aw51", "out", temp / "two"), 1,
              "Pamiro - Working File: SMPL01.wf no se encuentra\n  Carpeta donde se buscó: " +
                  JoinPath(temp / "two", "SMPL01") + "\n  No se toma ninguno: en " +
                  JoinPath(temp / "two", "SMPL01") +
                  " hay varios nombres que solo difieren de SMPL01.wf en mayúsculas y "
                  "minúsculas: Smpl01.WF, smpl01.wf\n"},
             {Set(Set(Set(aw51, "--platform", "pw"), "--to", temp / "pw"), "--strict"), 1,
              "Pamiro - Working File: El índice de SMPL01.O no corresponde a la plataforma PW "
              "(Intel); parece AW51\n"},
             {Set(Set(aw51, "--to", temp / "wf/out"), "--strict"), 1,
              "Pamiro - Destino: La carpeta de destino " + (temp / "wf/out") +
                  " está dentro de la carpeta de la fuente"}}) {
        const CliResult result = RunCliHere(args);
        EXPECT_EQ(result.Status, status);
        EXPECT_EQ(result.Err.substr(0, err.size()), err);
        EXPECT_FALSE(fs::exists("C:\\datos\\salida"));
    }
    EXPECT_FALSE(fs::exists(temp.Path() / "out/cmp_list"));  // every refusal before a run
}

}  // namespace
}  // namespace pamiro::testing
