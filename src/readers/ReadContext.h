#pragma once

#include <string>
#include <vector>

#include "core/Choices.h"
#include "core/Host.h"
#include "core/RunReport.h"
#include "core/SourceTree.h"
#include "core/Text.h"

namespace pamiro {

// One block record as read: the NUL-ended strings within the 5001 bytes at
// its offset (bytes past the end of the file read as 0): name, type, then one
// value per parameter.
struct BlockRecord {
    std::string Name;
    std::string Type;
    NulFields Values;
};
inline constexpr std::size_t kRecordBufferSize = 5001;

// Where the readers hand what they find. The driver implements it, so the
// readers know nothing of output.
class CompoundSink {
  public:
    virtual ~CompoundSink() = default;
    virtual void StartCompound(const std::string& name) = 0;
    virtual void Block(const std::string& compound, BlockRecord& record) = 0;
    virtual void EndCompound(const std::string& revisionCode) = 0;
};

// What a reader works with during one run.
struct ReadContext {
    const SourceTree& Tree;
    Platform PlatformIndex;
    Host& Messages;
    RunReport& Report;
    CompoundSink& Sink;
    std::string& RevisionCode;
    std::vector<char> RecordBuffer = std::vector<char>(kRecordBufferSize);
};

// Reads the record at offset of file and hands it to the sink; offset 0 is
// no record and nothing happens.
void ReadBlockRecord(ReadContext& context, ByteSource& file, std::uint32_t offset,
                     const std::string& compound);

// The entries of one index file whose record offset names no record: 2^31 or
// more, or at or past the end of the file that holds the records.
struct InvalidOffsets {
    long long TopBitSet = 0;
    long long PastEnd = 0;
};
// The offset as a record offset: 0 ("no record") when it names none, counted.
std::uint32_t UsableRecordOffset(std::uint32_t offset, std::uint64_t recordFileLength,
                                 InvalidOffsets& invalid);
// Tells the user, once for an index file, how many of its entries were skipped.
void ReportInvalidOffsets(ReadContext& context, const std::string& indexPath,
                          const std::string& recordPath, const InvalidOffsets& invalid);
// Warns when an index file's length is no whole number of entries (the last
// one is read zero filled), or, when it must hold one, it holds no entry.
void CheckIndexLength(ReadContext& context, const std::string& indexPath, std::uint64_t length,
                      std::uint64_t entrySize, bool mustHoldAnEntry);

}  // namespace pamiro
