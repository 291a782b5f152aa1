#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pamiro {

class Host;
class InputFile;
struct ConversionJob;

// Index entries of ".O" files and of a Save All "parameters" file's index.
//
// LongIndexEntry, 48 bytes (".O" files of AW51 and AW70):
//   0  10  text, not interpreted
//   10 30  name (compound name in the CP's index file)
//   40 4   record offset: big-endian on AW51, little-endian on AW70
//   44 4   text, not interpreted
// ShortIndexEntry, 34 bytes (".O" files of PW (Intel), every "parameters" index):
//   0  6   text, not interpreted
//   6  13  name
//   19 9   text, not interpreted
//   28 4   record offset, little-endian
//   32 2   text, not interpreted
inline constexpr std::size_t kLongEntrySize = 48;
inline constexpr std::size_t kShortEntrySize = 34;

using LongIndexEntry = std::array<unsigned char, kLongEntrySize>;
using ShortIndexEntry = std::array<unsigned char, kShortEntrySize>;

// Trims leading and trailing blanks (0x20 only; tabs stay).
std::string TrimBlanks(std::string_view text);
// A fixed-width text field: everything before its first NUL, trimmed. A field
// without NUL is taken whole.
std::string CutAtNul(std::string_view text);

// The raw 32-bit value of the record offset field; values of 2^31 and more are
// no valid offset (see IsValidRecordOffset).
std::uint32_t LongEntryOffsetBE(const LongIndexEntry& entry);
std::uint32_t LongEntryOffsetLE(const LongIndexEntry& entry);
std::uint32_t ShortEntryOffsetLE(const ShortIndexEntry& entry);
inline bool IsValidRecordOffset(std::uint32_t offset) { return offset < 0x80000000u; }
// An offset of 2^31 or more is no record: it is counted in invalid and read as
// 0, "no record".
inline std::uint32_t UsableRecordOffset(std::uint32_t offset, long long& invalid) {
    if (IsValidRecordOffset(offset)) return offset;
    ++invalid;
    return 0;
}
// Tells the user, once for an index file, how many entries were skipped.
void ReportInvalidOffsets(ConversionJob& job, Host& host, const std::string& indexPath,
                          long long count);

struct IndexEntryValue {
    std::string Name;
    std::uint32_t RecordOffset = 0;
};

// Entry size of ".O" files for a platform: long for 1 and 2, short otherwise.
std::size_t IndexEntrySize(int platformIndex);
// Reads the next entry of an open ".O" file in the platform's form; bytes past
// the end of the file read as 0.
IndexEntryValue ReadIndexEntry(InputFile& file, int platformIndex);

}  // namespace pamiro
