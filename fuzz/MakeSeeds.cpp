// pamiro_fuzz_seeds FOLDER SAMPLES: writes every seed as FOLDER/<target>/<name>.
#include "FuzzEntries.h"
#include "treebuilder/TreeBuilder.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    for (const pamiro::fuzz::Seed& seed : pamiro::fuzz::MakeSeeds(argv[2])) {
        pamiro::testing::WriteFile(std::filesystem::path(argv[1]) / seed.Target / seed.Name,
                                   seed.Bytes);
    }
    return 0;
}
