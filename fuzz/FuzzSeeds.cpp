#include "FuzzSeeds.h"

#include "FuzzEntries.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::fuzz {

namespace {

using namespace pamiro::testing;

std::vector<CompoundSpec> SampleCompounds() {
    CompoundSpec c1{"C1", BlockSpec{"C1", "T1", {"1", "2"}}, {}, {}};
    c1.Blocks = {{"B1", "T1", {"10", ""}},
                 {"S1", "DEP", {"X"}},
                 {"B2", "T2", {}},
                 {"U1", "UNKNOWN", {"a", "b"}},
                 {"S2", "IND", {" p ", "q", "r", "extra"}}};
    CompoundSpec c2{"C2", std::nullopt, {{"B1", "T1", {"x", "y"}}, {"M1", "MON", {}}}, {}};
    CompoundSpec c3{"C3", BlockSpec{"C3", "T2", {}}, {}, {}};
    return {c1, c2, c3};
}

char Settings(int low, int middle, int high) {
    return static_cast<char>(low | (middle << 2) | (high << 3));
}

// The sample SMPL01 (AW51) in both formats, its files as the parts.
void AddSampleSeeds(const fs::path& samples, std::vector<Seed>& seeds) {
    const fs::path wf = samples / "working-file" / "SMPL01";
    const fs::path sa = samples / "save-all" / "SMPL01";
    if (!fs::exists(wf / "SMPL01.wf") || !fs::is_directory(sa)) return;
    const std::string cpIndex = ReadFile(wf / "SMPL01.O");
    std::vector<std::string> wfParts{ReadFile(wf / "SMPL01.wf"), cpIndex};
    std::string list;
    std::vector<std::string> saParts{""};
    for (const std::string& name : CompoundNamesOfIndex(cpIndex, 1)) {
        if (wfParts.size() < 5 && fs::exists(wf / (name + ".O"))) wfParts.push_back(ReadFile(wf / (name + ".O")));
        if (saParts.size() < 5 && fs::exists(sa / name / "parameters")) {
            list += name + "\r\nx\r\n";
            saParts.push_back(ReadFile(sa / name / "parameters"));
        }
    }
    saParts[0] = list;
    for (int destination = 0; destination < 2; ++destination) {
        seeds.push_back({"working_file", "sample-d" + std::to_string(destination),
                         Settings(1, destination, 1) + JoinParts(wfParts)});
        for (int withList = 0; withList < 2; ++withList) {
            seeds.push_back({"save_all",
                             "sample-d" + std::to_string(destination) + "-l" + std::to_string(withList),
                             static_cast<char>(destination | (withList << 1) | (1 << 2)) +
                                 JoinParts(saParts)});
        }
    }
}

}  // namespace

std::vector<Seed> MakeSeeds(const std::string& samples) {
    std::vector<Seed> seeds;
    TempDir temp;
    for (int platform = 0; platform < 3; ++platform) {
        const fs::path root = temp.Path() / ("wf" + std::to_string(platform));
        WriteWorkingFile(root, {"CP6001", "R042", platform, SampleCompounds()});
        const fs::path cp = root / "CP6001";
        const std::string parts = JoinParts({ReadFile(cp / "CP6001.wf"), ReadFile(cp / "CP6001.O"),
                                             ReadFile(cp / "C1.O"), ReadFile(cp / "C2.O"),
                                             ReadFile(cp / "C3.O")});
        for (int destination = 0; destination < 2; ++destination) {
            seeds.push_back({"working_file",
                             "tree-p" + std::to_string(platform) + "-d" + std::to_string(destination),
                             Settings(platform, destination, 1) + parts});
        }
    }

    const std::vector<CompoundSpec> compounds = SampleCompounds();
    std::vector<std::string> saveAllParts{"C2\r\nx\r\nC1\r\ny\r\n"};
    for (const CompoundSpec& compound : compounds) {
        saveAllParts.push_back(EncodeParameters(compound, "R007"));
    }
    for (int destination = 0; destination < 2; ++destination) {
        for (int withList = 0; withList < 2; ++withList) {
            seeds.push_back({"save_all",
                             "tree-d" + std::to_string(destination) + "-l" + std::to_string(withList),
                             static_cast<char>(destination | (withList << 1) | (1 << 2)) +
                                 JoinParts(saveAllParts)});
        }
    }

    const std::vector<TypeSpec> types{{"T1", {"P1", "P2"}},
                                      {"DEP", {"P1"}},
                                      {"T2", {}},
                                      {"T1", {"Q1", "Q2", "Q3"}},
                                      {"LONGPARAMNAMES", {"ABCDEFGHIJK", "P"}}};
    for (int platform = 0; platform < 3; ++platform) {
        for (int destination = 0; destination < 2; ++destination) {
            seeds.push_back({"data_file",
                             "types-p" + std::to_string(platform) + "-d" + std::to_string(destination),
                             Settings(platform, destination, 0) +
                                 JoinParts({EncodeDataFile(types, platform != 0), "T1", "DEP",
                                            "t1", "ABSENT"})});
        }
    }
    if (!samples.empty()) AddSampleSeeds(samples, seeds);
    return seeds;
}

}  // namespace pamiro::fuzz
