#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/RunCli.h"

namespace pamiro::testing {
namespace {
#ifndef _WIN32  // typed text is UTF-8 here; on Windows it is the code page's

using Args = std::vector<std::string>;

// A Working File written with PW (Intel) index entries (read as AW51 it draws
// the platform warning, which names the letterbug) and a data folder; every
// folder name may carry bytes that are not ASCII.
struct Tree {
    TempDir Temp;
    std::string Cp, Data;
    Tree(const std::string& cp, const std::string& dataFolder) : Cp(cp), Data(Temp / dataFolder) {
        WriteFile(fs::path(Data) / "ver51_620.dat", EncodeDataFile({{"AIN", {"HI"}}}, true));
        WriteWorkingFile(Temp.Path() / "wf",
                         {cp, "R001", 0, {{"C1", std::nullopt, {{"A1", "AIN", {"5"}}}, {}}}});
    }
    Args Inspect() const {
        return Words("inspect --platform aw51 --ia-version 620 --source wf --json",
                     {"--cp", Cp, "--from", Temp / "wf", "--data-dir", Data});
    }
    Args Compare(const std::string& withFrom) const {
        Args args = Inspect();
        args[0] = "compare";
        args.insert(args.end(), {"--with-source", "wf", "--with-from", withFrom});
        return args;
    }
};

// Every answer parses, whatever bytes the letterbug or a folder holds; text
// the user gave in UTF-8 comes back as it was, a Latin-1 byte as its letter.
TEST(JsonAnswers, ValidUtf8WithoutAbortOrDoubleEncoding) {
    const std::string n = "\xC3\x91";  // Ñ in UTF-8
    struct Case {
        const char* What;
        std::string Cp, DataFolder;
        std::string ShownCp;
    };
    const std::vector<Case> cases = {
        {"a Latin-1 letterbug", "SMPL0\xD1", "datos", "SMPL0" + n},
        {"a UTF-8 letterbug and data folder", n + "AME0", "dat" + n + "os", n + "AME0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const Tree tree(c.Cp, c.DataFolder);
        // Through the real program: an abort would end the test process.
        CliResult result = RunCli(tree.Inspect());
        ASSERT_EQ(result.Status, 0) << result.Err;
        nlohmann::json doc = nlohmann::json::parse(result.Out);
        EXPECT_EQ(doc["cp"], c.ShownCp);
        EXPECT_EQ(doc["platformWarning"], "El índice de " + c.ShownCp +
                                              ".O no corresponde a la plataforma AW51; "
                                              "parece PW (Intel)");
        EXPECT_EQ(doc["dataFile"], tree.Data + "/ver51_620.dat");

        result = RunCliHere(tree.Compare(tree.Temp / "wf"));
        ASSERT_EQ(result.Status, 0) << result.Err;
        doc = nlohmann::json::parse(result.Out);
        EXPECT_EQ(doc["second"]["cp"], c.ShownCp);
        EXPECT_EQ(doc["first"]["dataFile"], doc["second"]["dataFile"]);
        EXPECT_EQ(doc["first"]["dataFile"], tree.Data + "/ver51_620.dat");
    }
}

#endif
}  // namespace
}  // namespace pamiro::testing
