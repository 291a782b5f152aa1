#pragma once

#include <filesystem>
#include <string>

namespace pamiro::bench {

// The large CP the benchmark converts: 200 compounds of 100 blocks each
// (20 000 blocks, plus each compound's own record) over a long-layout data
// file of 500 types with 48 parameters each (25 000 records). Every compound
// has a sequence block; half of them have their own ".s" file, the others
// take the type's base file. One block per compound has a type the data file
// lacks.
inline constexpr int kCompounds = 200;
inline constexpr int kBlocksPerCompound = 100;
inline constexpr int kTypes = 500;
inline constexpr int kParametersPerType = 48;
inline constexpr const char* kCp = "BIGCP1";
inline constexpr int kPlatform = 1;  // AW51 (list index): long index entries, long data records

struct BigCpPaths {
    std::filesystem::path DataDir;          // ver51_620.dat, DEP_base.s
    std::filesystem::path WorkingFileRoot;  // holds BIGCP1/BIGCP1.wf and the sources
    std::filesystem::path SaveAllRoot;      // the Save All tree of BIGCP1
    // A Save All of the same CP with kChangedValues values changed.
    std::filesystem::path ChangedSaveAllRoot;
};
inline constexpr int kChangedValues = 10;

BigCpPaths PathsUnder(const std::filesystem::path& work);
// Writes the data file and both source trees under work.
void WriteBigCp(const std::filesystem::path& work);

}  // namespace pamiro::bench
