#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

using nlohmann::json;

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(entry.path().string());
    return names;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// The bundled sample, read as convert reads it, with the data files beside
// the built programs.
class InspectSample : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {
  protected:
    std::vector<std::string> Source() const {
        const auto [source, from] = GetParam();
        return {"--cp",         "SMPL01",
                "--platform",   "aw51",
                "--ia-version", "620",
                "--source",     source,
                "--from",       (fs::path(PAMIRO_SOURCE_ROOT) / from).string()};
    }
    TempDir temp;
};

TEST_P(InspectSample, ListsExactlyTheBlocksConvertWritesPlusTheOnesItSkips) {
    std::vector<std::string> convertArgs{"convert"};
    for (const std::string& arg : Source()) convertArgs.push_back(arg);
    for (const char* arg : {"--dest", "foxcae", "--to"}) convertArgs.emplace_back(arg);
    convertArgs.push_back(temp.Path().string());
    const CliResult converted = RunCli(convertArgs);
    ASSERT_EQ(converted.Status, 0) << converted.Err;

    std::vector<std::string> inspectArgs{"inspect"};
    for (const std::string& arg : Source()) inspectArgs.push_back(arg);
    inspectArgs.emplace_back("--json");
    const CliResult inspected = RunCli(inspectArgs);
    ASSERT_EQ(inspected.Status, 0) << inspected.Err;
    const json report = json::parse(inspected.Out);

    const std::vector<std::string> compoundList = Lines(ReadFile(temp.Path() / "cmp_list"));
    const std::vector<std::string> sourceList = Lines(ReadFile(temp.Path() / "src_list"));
    ASSERT_EQ(report["compounds"].size(), compoundList.size());
    std::size_t sequenceNumber = 0;
    std::vector<std::string> skipped;
    for (std::size_t c = 0; c < compoundList.size(); ++c) {
        const json& compound = report["compounds"][c];
        const std::string name = compound["name"];
        EXPECT_EQ(compoundList[c], name + " " + std::to_string(c + 1));
        char file[32];
        std::snprintf(file, sizeof file, "cmp%04zu", c + 1);
        std::vector<std::string> written;
        for (const std::string& line : Lines(ReadFile(temp.Path() / file))) {
            if (line.rfind("NAME     >", 0) == 0 && line != "NAME     >END")
                written.push_back(line.substr(10));
        }
        std::vector<std::string> known;
        for (const json& block : compound["blocks"]) {
            if (block["typeKnown"]) {
                known.push_back(block["name"]);
            } else {
                skipped.push_back(name + ":" + block["name"].get<std::string>() + " (" +
                                  block["type"].get<std::string>() + ")");
            }
            if (!block["sequence"]) continue;
            ++sequenceNumber;
            ASSERT_LE(sequenceNumber, sourceList.size());
            EXPECT_EQ(sourceList[sequenceNumber - 1], name + ":" +
                                                          block["name"].get<std::string>() + " " +
                                                          std::to_string(sequenceNumber));
            char copy[32];
            std::snprintf(copy, sizeof copy, "src%04zu", sequenceNumber);
            EXPECT_EQ(ReadFile(temp.Path() / copy),
                      ReadFile(block["sequenceSource"].get<std::string>()));
        }
        EXPECT_EQ(known, written) << name;
    }
    EXPECT_EQ(sequenceNumber, sourceList.size());
    EXPECT_EQ(skipped, std::vector<std::string>{"ALARMS:OD301 (XYZBLK)"});
    EXPECT_NE(converted.Err.find(skipped.front()), std::string::npos);
    EXPECT_EQ(report["totals"]["unknownType"], 1);
    EXPECT_EQ(report["totals"]["baseSource"], 1);
    EXPECT_EQ(report["totals"]["compounds"], compoundList.size());
}

INSTANTIATE_TEST_SUITE_P(BothSources, InspectSample,
                         ::testing::Values(std::tuple{"wf", "samples/working-file"},
                                           std::tuple{"sa", "samples/save-all/SMPL01"}));

class InspectCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ws.WriteDataFiles({{"AIN", {"DESCRP"}}, {"DEP", {}}, {"IND", {}}, {"C", {}}});
        WriteFile(ws.Data() / "DEP_base.s", "base\n");
        CompoundSpec c1{"C1",
                        BlockSpec{"C1", "C", {}},
                        {{"B1", "AIN", {"d"}},
                         {"V\xE9", "NOPE", {}},
                         {"S1", "DEP", {}},
                         {"S2", "DEP", {}},
                         {"S3", "IND", {}}},
                        {}};
        c1.Sources["S1"] = "own\n";
        WriteWorkingFile(ws.Src(), {"CP6001", "R001", 1, {c1}});
    }
    std::vector<std::string> Args(const std::string& cp, bool asJson) const {
        std::vector<std::string> args{"inspect",
                                      "--cp",
                                      cp,
                                      "--platform",
                                      "AW51",
                                      "--ia-version",
                                      "620",
                                      "--source",
                                      "Working File",
                                      "--from",
                                      ws.Src().string(),
                                      "--data-dir",
                                      ws.Data().string()};
        if (asJson) args.emplace_back("--json");
        return args;
    }
    Workspace ws;
};

TEST_F(InspectCli, MarksUnknownTypesAndMissingSequenceSourcesAndWritesNothing) {
    const auto before = Listing(ws.temp.Path());
    const CliResult result = RunCli(Args("cp6001", false));
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(Listing(ws.temp.Path()), before);
    const std::string expected =
        "CP CP6001, Working File, AW51, version 620\n"
        "Archivo de datos: " +
        (ws.Data() / "ver51_620.dat").string() +
        "\n"
        "\n"
        "Compuesto C1\n"
        "  C1           C\n"
        "  B1           AIN\n"
        "  V\xE9           NOPE     tipo desconocido: se omite\n"
        "  S1           DEP      fuente " +
        (ws.Src() / "C1" / "S1.s").string() +
        "\n"
        "  S2           DEP      falta S2.s: se copia DEP_base.s\n"
        "  S3           IND      falta S3.s y no hay IND_base.s: no se copia nada\n"
        "\n"
        "Totales: 1 compuesto(s), 6 bloque(s): 5 se escriben, 1 de tipo desconocido; 3 de "
        "secuencia: 1 con su fuente, 1 con el fuente base, 1 sin fuente\n";
    EXPECT_EQ(result.Out, expected);
    // The run's own reports, as convert prints them.
    EXPECT_NE(result.Err.find("Pamiro - Bloques: 1 bloque(s) omitido(s)"), std::string::npos)
        << result.Err;
}

TEST_F(InspectCli, JsonCarriesTheSameFactsWithNamesAsLatin1) {
    const CliResult result = RunCli(Args("CP6001", true));
    ASSERT_EQ(result.Status, 0) << result.Err;
    const json report = json::parse(result.Out);
    EXPECT_EQ(report["cp"], "CP6001");
    EXPECT_EQ(report["platform"], "AW51");
    EXPECT_EQ(report["version"], "620");
    EXPECT_EQ(report["failed"], false);
    const json& blocks = report["compounds"][0]["blocks"];
    ASSERT_EQ(blocks.size(), 6u);
    EXPECT_EQ(blocks[2]["name"], "V\xC3\xA9");
    EXPECT_EQ(blocks[2]["typeKnown"], false);
    EXPECT_FALSE(blocks[1].contains("sequenceSource"));
    EXPECT_EQ(blocks[3]["sequenceSource"], (ws.Src() / "C1" / "S1.s").string());
    EXPECT_EQ(blocks[3]["sequenceSourceIsBase"], false);
    EXPECT_EQ(blocks[4]["sequenceSource"], (ws.Data() / "DEP_base.s").string());
    EXPECT_EQ(blocks[4]["sequenceSourceIsBase"], true);
    EXPECT_TRUE(blocks[5]["sequenceSource"].is_null());
    EXPECT_EQ(report["totals"], json({{"compounds", 1},
                                      {"blocks", 6},
                                      {"written", 5},
                                      {"unknownType", 1},
                                      {"sequence", 3},
                                      {"ownSource", 1},
                                      {"baseSource", 1},
                                      {"noSource", 1}}));
}

TEST_F(InspectCli, RefusalsAndFailedRunsExitWithOne) {
    CliResult result = RunCli(Args("CP60", false));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "Nombre del CP: Letterbug del CP incorrecto\n");
    EXPECT_EQ(result.Out, "");

    result = RunCli(Args("OTHER1", true));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "Pamiro - Working File: OTHER1.wf no se encuentra\n");
    EXPECT_EQ(json::parse(result.Out)["failed"], true);

    fs::remove(ws.Data() / "ver51_620.dat");
    result = RunCli(Args("CP6001", false));
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "Archivo de datos: No se encuentra el archivo de datos\n");
}

}  // namespace
}  // namespace pamiro::testing
