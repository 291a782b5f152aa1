#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pamiro {

class Host;
struct ConversionJob;

// A block record: NUL-ended strings (name, type, then one value per parameter)
// within the 5001 bytes at its offset. A string that does not end inside the
// buffer ends at the buffer's end; strings after it are empty.
class BlockRecord {
public:
    explicit BlockRecord(const std::vector<char>& buffer) : buffer_(buffer) {}
    // The next string, trimmed of blanks.
    std::string Next();

private:
    const std::vector<char>& buffer_;
    std::size_t cursor_ = 0;
};

inline bool IsSequenceBlockType(std::string_view type) {
    return type == "DEP" || type == "IND" || type == "MON" || type == "EXC";
}

// Writes the definition of the block record at recordOffset of the open source
// file fileNumber; offset 0 means there is no record and nothing happens.
void WriteBlockDefinition(ConversionJob& job, Host& host, std::uint32_t recordOffset,
                          int fileNumber, const std::string& compoundName);

}  // namespace pamiro
