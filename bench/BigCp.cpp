#include "BigCp.h"

#include <vector>

#include "treebuilder/TreeBuilder.h"

namespace pamiro::bench {

using namespace pamiro::testing;

namespace {

std::string TypeName(int t) {
    if (t == 0) return "DEP";
    if (t == 1) return "IND";
    std::string digits = std::to_string(t);
    return "TY" + std::string(4 - digits.size(), '0') + digits;
}

std::vector<TypeSpec> Types() {
    std::vector<TypeSpec> types;
    for (int t = 0; t < kTypes; ++t) {
        TypeSpec type{TypeName(t), {}};
        for (int p = 0; p < kParametersPerType; ++p)
            type.Parameters.push_back("PAR" + std::to_string(p));
        types.push_back(std::move(type));
    }
    return types;
}

BlockSpec Block(const std::string& name, const std::string& type, int seed) {
    BlockSpec block{name, type, {}};
    for (int p = 0; p < kParametersPerType; ++p) {
        std::string value;
        if (p % 7 != 0) value.append(1, 'V').append(std::to_string((seed * 31 + p) % 100000));
        block.Values.push_back(std::move(value));
    }
    return block;
}

std::vector<CompoundSpec> Compounds() {
    std::vector<CompoundSpec> compounds;
    for (int c = 0; c < kCompounds; ++c) {
        const std::string name = "CMP" + std::to_string(1000 + c);
        CompoundSpec compound{name, Block(name, TypeName(2 + c % (kTypes - 2)), c), {}, {}};
        for (int b = 0; b < kBlocksPerCompound; ++b) {
            const std::string block = "BLK" + std::to_string(b);
            std::string type = TypeName((c * kBlocksPerCompound + b) % kTypes);
            if (b == 0) type = "DEP";
            if (b == 1) type = "NOTYPE";
            compound.Blocks.push_back(Block(block, type, c * kBlocksPerCompound + b));
        }
        if (c % 2 == 0) compound.Sources["BLK0"] = "sequence source of " + name + "\r\n";
        compounds.push_back(std::move(compound));
    }
    return compounds;
}

}  // namespace

BigCpPaths PathsUnder(const std::filesystem::path& work) {
    return {work / "data", work / "wf", work / "sa" / kCp, work / "sa-changed" / kCp};
}

void WriteBigCp(const std::filesystem::path& work) {
    const BigCpPaths paths = PathsUnder(work);
    WriteFile(paths.DataDir / "ver51_620.dat", EncodeDataFile(Types(), true));
    WriteFile(paths.DataDir / "DEP_base.s", "base source of DEP\r\n");
    WriteFile(paths.DataDir / "IND_base.s", "base source of IND\r\n");
    const std::vector<CompoundSpec> compounds = Compounds();
    // The revision code the Save All writes too: comparing the sources finds
    // only the changed values.
    WriteWorkingFile(paths.WorkingFileRoot, {kCp, "R001", kPlatform, compounds});
    WriteSaveAll(paths.SaveAllRoot, {compounds, {}, std::nullopt});
    std::vector<CompoundSpec> changed = compounds;
    for (int i = 0; i < kChangedValues; ++i) {
        changed[static_cast<std::size_t>(i * kCompounds / kChangedValues)].Blocks[5].Values[3] =
            "CHANGED";
    }
    WriteSaveAll(paths.ChangedSaveAllRoot, {changed, {}, std::nullopt});
}

}  // namespace pamiro::bench
