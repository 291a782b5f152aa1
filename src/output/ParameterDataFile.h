#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pamiro {

class Host;
struct ConversionJob;

// Record layouts of a parameter data file. The platform picks the layout, not
// the file name. Short: PW (Intel); long: AW51 and AW70.
//
//            short (32 bytes)   long (44 bytes)
//   Prefix   0, 4               0, 4     not interpreted
//   Key      4, 12              4, 16    "NAME..." in a type header, else a list name
//   Detail   16, 16             20, 24   type name in a header, else not interpreted
struct DataFileLayout {
    std::size_t RecordSize;
    std::size_t PrefixOffset, PrefixWidth;
    std::size_t KeyOffset, KeyWidth;
    std::size_t DetailOffset, DetailWidth;
};

inline constexpr DataFileLayout kShortDataLayout{32, 0, 4, 4, 12, 16, 16};
inline constexpr DataFileLayout kLongDataLayout{44, 0, 4, 4, 16, 20, 24};

// Platform 1 and 2 take the long layout, any other value the short one.
const DataFileLayout& DataLayoutForPlatform(int platformIndex);

// One record's three fields, as raw bytes of their full width.
struct DataRecord {
    std::string Prefix;
    std::string Key;
    std::string Detail;
};

DataRecord SplitDataRecord(std::string_view record, const DataFileLayout& layout);
// A type header is a record whose Key field starts with the bytes "NAME".
bool IsTypeHeader(const DataRecord& record);

// The parameter lists of one data file, read once and indexed by type. Looking
// a type up here gives exactly what scanning the whole file for it gives: the
// last definition of a type wins and lists run to the next header.
class ParameterDataCache {
public:
    // Reads the file if it is not the one already loaded. A file that cannot
    // be read leaves the cache empty (every type unknown).
    void Load(const std::string& path, int platformIndex);
    void Clear();
    const std::vector<std::string>* Find(const std::string& typeName) const;
    bool IsLoaded(const std::string& path, int platformIndex) const;

private:
    bool loaded_ = false;
    std::string path_;
    int platform_ = -1;
    bool longLayout_ = false;
    std::unordered_map<std::string, std::vector<std::string>> lists_;
};

// Leaves the type's list in job.ParameterNames / job.ParameterCount.
// Returns 0 when the type was found, -2 when it was not.
int LookUpBlockType(ConversionJob& job, Host& host, const std::string& typeName);

}  // namespace pamiro
