#include <gtest/gtest.h>

#include <map>

#include "app/BatchDiscovery.h"
#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

// Every file under folder with its bytes, keyed by its path below folder.
std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path());
        }
    }
    return files;
}

CompoundSpec Compound(const std::string& name, int blocks) {
    CompoundSpec compound{name, BlockSpec{name, "AIN", {"own"}}, {}, {}};
    for (int i = 0; i < blocks; ++i) {
        compound.Blocks.push_back({"B" + std::to_string(i), i % 3 == 0 ? "DEP" : "AIN",
                                   {"v" + std::to_string(i), "x"}});
    }
    compound.Sources["B0"] = "source of " + name + "\r\n";
    return compound;
}

class BatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        ws.WriteDataFiles({{"AIN", {"DESCRP", "PERIOD"}}, {"DEP", {"P1"}}});
        WriteFile(ws.Data() / "DEP_base.s", "base\r\n");
    }

    // Working File CPs share the batch folder; a Save All CP is a subfolder.
    void AddWorkingFile(const std::string& cp, int compounds) {
        std::vector<CompoundSpec> list;
        for (int i = 0; i < compounds; ++i) list.push_back(Compound(cp + "C" + std::to_string(i), 4));
        WriteWorkingFile(ws.Src(), {cp, "R" + cp.substr(4), 1, list});
    }
    void AddSaveAll(const std::string& cp, int compounds) {
        SaveAllSpec spec;
        for (int i = 0; i < compounds; ++i) spec.Compounds.push_back(Compound("S" + std::to_string(i), 3));
        WriteSaveAll(ws.Src() / cp, spec);
    }

    std::vector<std::string> Args(const fs::path& to, const std::string& dest = "foxcae") {
        return {"batch", "--platform", "aw51", "--ia-version", "620", "--from", ws.Src().string(),
                "--dest", dest, "--to", to.string(), "--data-dir", ws.Data().string()};
    }

    // What a single convert of the CP writes, for comparison.
    std::map<std::string, std::string> Single(const std::string& cp, const std::string& source,
                                              const std::string& dest = "foxcae") {
        const fs::path to = ws.temp.Path() / ("single-" + cp + dest);
        fs::create_directories(to);
        const fs::path from = source == "wf" ? ws.Src() : ws.Src() / cp;
        const CliResult result =
            RunCli({"convert", "--cp", cp, "--platform", "aw51", "--ia-version", "620", "--source",
                    source, "--from", from.string(), "--dest", dest, "--to", to.string(),
                    "--data-dir", ws.Data().string()});
        EXPECT_EQ(result.Status, 0) << result.Err;
        return Tree(to);
    }

    Workspace ws;
};

TEST_F(BatchCli, ConvertsEveryCpOfBothFormatsAndReportsTheDamagedOne) {
    AddWorkingFile("CPWF01", 2);
    AddWorkingFile("CPWF02", 3);
    AddSaveAll("CPSA01", 2);
    AddSaveAll("CPSA02", 1);
    WriteFile(ws.Src() / "CPSA03" / ".Compound_Dir", "");  // names no compound: damaged

    const fs::path to = ws.temp.Path() / "batch";
    for (const std::string dest : {"foxcae", "icc"}) {
        SCOPED_TRACE(dest);
        fs::remove_all(to);
        const CliResult result = RunCli(Args(to, dest));
        EXPECT_EQ(result.Status, 1);
        EXPECT_NE(result.Err.find("CPSA03: Pamiro - Save All: Save All incorrecto de CPSA03"),
                  std::string::npos)
            << result.Err;
        for (const auto& [cp, source] : std::map<std::string, std::string>{
                 {"CPWF01", "wf"}, {"CPWF02", "wf"}, {"CPSA01", "sa"}, {"CPSA02", "sa"}}) {
            const auto converted = Tree(to / cp);
            EXPECT_EQ(converted.count(dest == "icc" ? cp + ".cmd" : "cmp0001"), 1u) << cp;
            EXPECT_EQ(converted, Single(cp, source, dest)) << cp;
            EXPECT_NE(result.Out.find(cp + ": Conversion terminada: "), std::string::npos) << cp;
        }
        EXPECT_NE(result.Out.find("CPSA03: Conversion fallida"), std::string::npos);
        EXPECT_TRUE(Tree(to / "CPSA03").empty());
        EXPECT_NE(result.Out.find("Lote: 5 CP, 4 convertido(s), 1 fallido(s)"), std::string::npos)
            << result.Out;
    }
}

TEST_F(BatchCli, ManyCpsInParallelWriteWhatEachSingleRunWrites) {
    for (int i = 0; i < 10; ++i) {
        AddWorkingFile("CPW" + std::to_string(100 + i), 1 + i % 3);
        AddSaveAll("CPS" + std::to_string(100 + i), 1 + i % 2);
    }
    const fs::path to = ws.temp.Path() / "batch";
    std::vector<std::string> args = Args(to);
    args.insert(args.end(), {"--jobs", "4"});
    const CliResult result = RunCli(args);
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Err, "");
    for (int i = 0; i < 10; ++i) {
        const std::string wf = "CPW" + std::to_string(100 + i);
        const std::string sa = "CPS" + std::to_string(100 + i);
        const auto wfFiles = Tree(to / wf);
        const auto saFiles = Tree(to / sa);
        EXPECT_EQ(wfFiles.size(), 2u + (1 + i % 3) * 3u) << wf;  // lists, cmp and src files
        EXPECT_EQ(wfFiles, Single(wf, "wf")) << wf;
        EXPECT_EQ(saFiles, Single(sa, "sa")) << sa;
    }
}

TEST_F(BatchCli, SourceOptionPicksOneFormatAndRefusalsFailOnlyTheirCp) {
    AddWorkingFile("CPWF01", 1);
    AddSaveAll("CPSA01", 1);
    AddWorkingFile("CPBAD", 1);  // five characters: refused by the request check
    const fs::path to = ws.temp.Path() / "batch";
    fs::create_directories(to);
    WriteFile(to / "CPSA01", "a file where the CP's folder should go");

    std::vector<std::string> args = Args(to);
    args.insert(args.end(), {"--source", "wf"});
    CliResult result = RunCli(args);
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("CPBAD: Nombre del CP: Letterbug del CP incorrecto"), std::string::npos);
    EXPECT_FALSE(fs::exists(to / "CPBAD"));  // no empty folder left for a refusal
    EXPECT_EQ(Tree(to / "CPWF01"), Single("CPWF01", "wf"));
    EXPECT_EQ(result.Out.find("CPSA01"), std::string::npos);  // not a Working File

    args = Args(to);
    args.insert(args.end(), {"--source", "sa"});
    result = RunCli(args);
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("CPSA01: Pamiro - Destino: No se puede crear la carpeta"),
              std::string::npos)
        << result.Err;
    EXPECT_NE(result.Out.find("Lote: 1 CP, 0 convertido(s), 1 fallido(s)"), std::string::npos);
}

TEST_F(BatchCli, AFolderWithoutCpsOrABadSourceOptionFails) {
    CliResult result = RunCli(Args(ws.Out()));
    EXPECT_EQ(result.Status, 1);
    EXPECT_NE(result.Err.find("No se ha encontrado ningun CP"), std::string::npos);

    AddWorkingFile("CPWF01", 1);
    std::vector<std::string> args = Args(ws.Out());
    args.insert(args.end(), {"--source", "nope"});
    EXPECT_EQ(RunCli(args).Status, 2);
}

TEST(BatchDiscovery, FindsWorkingFilesAndSaveAllTreesButNotSourceFoldersOrLinks) {
    TempDir temp;
    WriteWorkingFile(temp.Path(), {"CPWF01", "R001", 1, {Compound("C1", 1)}});  // also C1/B0.s
    WriteSaveAll(temp.Path() / "CPSA01", {{Compound("S1", 1)}, {}, std::nullopt});
    WriteFile(temp.Path() / "CPSA02" / ".Compound_Dir", "");
    WriteFile(temp.Path() / ".hidden" / ".hidden.wf", "");
    fs::create_directories(temp.Path() / "empty");
#ifndef _WIN32  // creating a link needs a privilege on Windows
    fs::create_directory_symlink(temp.Path() / "CPSA01", temp.Path() / "LINKED");
#endif

    auto describe = [](const std::vector<BatchCp>& cps) {
        std::string text;
        for (const BatchCp& cp : cps) text += cp.Folder + ":" + std::to_string(cp.SourceKind) + " ";
        return text;
    };
    const std::vector<BatchCp> all = FindBatchCps(temp.Path().string() + "/", -1);
    EXPECT_EQ(describe(all), "CPSA01:1 CPSA02:1 CPWF01:0 ");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].SourceDir, (temp.Path() / "CPSA01").string());
    EXPECT_EQ(all[2].SourceDir, temp.Path().string());
    EXPECT_EQ(describe(FindBatchCps(temp.Path().string(), 0)), "CPWF01:0 ");
    EXPECT_EQ(describe(FindBatchCps(temp.Path().string(), 1)), "CPSA01:1 CPSA02:1 ");
    EXPECT_TRUE(FindBatchCps((temp.Path() / "missing").string(), -1).empty());
}

}  // namespace
}  // namespace pamiro::testing
