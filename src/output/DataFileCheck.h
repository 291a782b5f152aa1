#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "output/ParameterDataFile.h"

namespace pamiro {

// What the parameter lookup would accept without a word although the file is
// probably not what its author meant.
enum class DataFileProblem {
    NameWithoutNul,       // a list Key or a header Detail fills its field: taken whole
    TypeDefinedTwice,     // the last definition wins
    PartialLastRecord,    // ignored
    ListTooLong,          // more than 1001 entries, header included: all kept
    RecordsBeforeHeader,  // belong to no type: never read
};

struct DataFileFinding {
    DataFileProblem Problem;
    std::size_t Offset;  // byte offset of the record concerned
    std::string Text;    // Spanish (UTF-8), names quoted and escaped
};

// The entries a type's list may hold in the program's fixed table.
inline constexpr std::size_t kParameterTableSize = 1001;

std::vector<DataFileFinding> CheckDataFile(std::string_view bytes, const DataFileLayout& layout);

}  // namespace pamiro
