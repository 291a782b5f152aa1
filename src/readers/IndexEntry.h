#pragma once

#include <cstdint>
#include <string>

#include "core/ByteSource.h"
#include "core/Choices.h"

namespace pamiro {

// Index entries of ".O" files and of a Save All "parameters" file's index.
//
// Long entry, 48 bytes (".O" files of AW51 and AW70):
//   0  10  text, not interpreted
//   10 30  name (compound name in the CP's index file)
//   40 4   record offset: big-endian on AW51, little-endian on AW70
//   44 4   text, not interpreted
// Short entry, 34 bytes (".O" files of PW (Intel), every "parameters" index):
//   0  6   text, not interpreted
//   6  13  name
//   19 9   text, not interpreted
//   28 4   record offset, little-endian
//   32 2   text, not interpreted
struct EntryLayout {
    std::size_t Size, NameOffset, NameWidth, OffsetOffset;
};
inline constexpr EntryLayout kShortEntry{34, 6, 13, 28};
inline constexpr EntryLayout kLongEntry{48, 10, 30, 40};
const EntryLayout& LayoutOf(EntryForm form);

struct IndexEntry {
    std::string Name;            // cut at NUL, trimmed
    std::uint32_t RecordOffset;  // the field's raw value
};

// The entry at offset of an index file; bytes past the end read as 0.
IndexEntry ReadIndexEntry(ByteSource& file, std::uint64_t offset, EntryForm form, ByteOrder order);

// A record offset of 2^31 or more is no offset at all.
inline bool IsValidRecordOffset(std::uint32_t offset) { return offset < 0x80000000u; }

}  // namespace pamiro
