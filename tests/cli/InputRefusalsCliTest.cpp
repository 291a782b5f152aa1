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
        const std::string source = from.empty() ? temp / "wf" : from;
        return {"convert",      "--cp",   "SMPL01",   "--platform", platform,
                "--ia-version", "620",    "--source", "wf",         "--from",
                source,         "--dest", "foxcae",   "--to",       temp / to};
    }
    TempDir temp;
};

TEST_F(WrongInput, AutoPicksTheSamplesPlatformLowerCaseNamesConvertTheSameInsideIsWarned) {
    ASSERT_EQ(RunCliHere(Convert("aw51", "aw51")).Status, 0);
    const CliResult picked = RunCliHere(Convert("auto", "auto"));
    EXPECT_EQ(picked.Status, 0);
    EXPECT_TRUE(Has(picked.Err, "Plataforma: se elige AW51: el índice de SMPL01.O solo "))
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
    const CliResult inside = RunCliHere(Set(Convert("aw51", "low/out", temp / "low"), "--strict"));
    EXPECT_EQ(inside.Status, 1);
    EXPECT_TRUE(Has(inside.Err, "Pamiro - Destino: La carpeta de destino " + (temp / "low/out") +
                                    " está dentro de la carpeta de la fuente (" + (temp / "low")));
}

}  // namespace
}  // namespace pamiro::testing
