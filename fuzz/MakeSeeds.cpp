// Writes the seed corpus of every fuzz target: FOLDER/<target>/<name>, from
// in-code trees and, when given, the bundled sample folder.
#include <cstdio>

#include "FuzzSeeds.h"
#include "treebuilder/TreeBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "uso: %s CARPETA [CARPETA_DE_EJEMPLOS]\n", argv[0]);
        return 2;
    }
    for (const pamiro::fuzz::Seed& seed : pamiro::fuzz::MakeSeeds(argc == 3 ? argv[2] : "")) {
        pamiro::testing::WriteFile(std::filesystem::path(argv[1]) / seed.Target / seed.Name,
                                   seed.Bytes);
    }
    return 0;
}
