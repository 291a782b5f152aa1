// Writes the seed corpus of every fuzz target: FOLDER/<target>/<name>.
#include <cstdio>

#include "FuzzSeeds.h"
#include "support/TreeBuilder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: %s CARPETA\n", argv[0]);
        return 2;
    }
    for (const pamiro::fuzz::Seed& seed : pamiro::fuzz::MakeSeeds()) {
        pamiro::testing::WriteFile(std::filesystem::path(argv[1]) / seed.Target / seed.Name,
                                   seed.Bytes);
    }
    return 0;
}
