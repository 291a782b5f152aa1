#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

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
