#include <cstdio>
#include <exception>

#include "SampleDescription.h"

// pamiro-samplegen DESCRIPTION DATAFILE OUTDIR: writes the sample's Working
// File and Save All trees under OUTDIR. The data file is read in the long
// layout; the sequence sources are taken from DESCRIPTION's folder/sources.
int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: pamiro-samplegen DESCRIPCION ARCHIVO_DE_DATOS CARPETA\n");
        return 2;
    }
    try {
        const std::filesystem::path description(argv[1]);
        const auto sample =
            pamiro::samplegen::ParseSample(pamiro::testing::ReadFile(description), argv[2], 1,
                                           description.parent_path() / "sources");
        pamiro::samplegen::WriteSample(sample, argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pamiro-samplegen: %s\n", error.what());
        return 1;
    }
    return 0;
}
