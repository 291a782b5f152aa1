// The libFuzzer target PAMIRO_FUZZ_TARGET: a broken rule aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem = pamiro::fuzz::RunInput(
        PAMIRO_FUZZ_TARGET, std::string_view(reinterpret_cast<const char*>(data), size));
    if (problem.empty()) return 0;
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
}
