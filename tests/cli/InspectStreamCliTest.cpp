#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

// inspect writes each block as it reads it; its answers are still the bytes
// the whole document gave before (kept in tests/cli/expected, the folders as
// @FROM@ and @DATA@), a failed run's too.
TEST(InspectStream, AnswersForTheBundledSampleAreTheBytesTheyWere) {
    const std::string root = PAMIRO_SOURCE_ROOT, data = PAMIRO_PROGRAM_DIR;
    struct Case {
        const char* Expected;
        const char *Cp, *Source, *From, *Format;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"inspect-sample-wf.json", "SMPL01", "wf", "working-file", "--json"},
             {"inspect-sample-sa.csv", "SMPL01", "sa", "save-all/SMPL01", "--csv"},
             {"inspect-missing-wf.json", "SMPL02", "wf", "working-file", "--json"}}) {
        SCOPED_TRACE(c.Expected);
        const std::string from = root + "/samples/" + c.From;
        const CliResult result =
            RunCliHere({"inspect", "--cp", c.Cp, "--platform", "aw51", "--ia-version", "620",
                        "--source", c.Source, "--from", from, "--data-dir", data, c.Format});
        EXPECT_EQ(result.Status, std::string(c.Cp) == "SMPL01" ? 0 : 1) << result.Err;
        EXPECT_EQ(Replaced(Replaced(result.Out, from, "@FROM@"), data, "@DATA@"),
                  ReadFile(fs::path(root) / "tests/cli/expected" / c.Expected));
    }
}

// An answer of megabytes goes out while the source is read, before the run
// knows its end: it is still the one document a whole dump would give.
TEST(InspectStream, ALargeAnswerIsTheDocumentAWholeDumpGives) {
    TempDir data, tree;
    WriteFile(data.Path() / "ver51_620.dat", EncodeDataFile({{"AIN", {"HI", "LO", "DESC"}}}, true));
    std::vector<CompoundSpec> compounds{{"VACIO", std::nullopt, {}, {}}, {"C1", {}, {}, {}}};
    for (int i = 0; i < 300; ++i) {
        compounds[1].Blocks.push_back({"B" + std::to_string(i),
                                       "AIN",
                                       {std::string(2400, 'h'), "\"0\"", std::string(2400, 'v')}});
    }
    WriteSaveAll(tree.Path(), {compounds, {}, std::nullopt});
    const CliResult result =
        RunCliHere({"inspect", "--cp", "CP6001", "--platform", "aw51", "--ia-version", "620",
                    "--source", "sa", "--from", tree.Path().string(), "--data-dir",
                    data.Path().string(), "--parameters", "--json"});
    ASSERT_EQ(result.Status, 0) << result.Err;
    ASSERT_GT(result.Out.size(), 1200u * 1024);  // more than is held back
    const auto document = nlohmann::ordered_json::parse(result.Out);
    EXPECT_EQ(document.dump(2) + "\n", result.Out);
    EXPECT_EQ(document["compounds"][1]["blocks"].size(), 0u /* VACIO, sorted last */);
    EXPECT_EQ(document["compounds"][0]["blocks"].size(), 300u);
    EXPECT_EQ(document["compounds"][0]["blocks"][299]["parameters"][1]["value"], "\"0\"");
    EXPECT_EQ(document["totals"]["blocks"], 300);
}

}  // namespace
}  // namespace pamiro::testing
