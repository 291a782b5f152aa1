#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Choices.h"
#include "output/ParameterDataFile.h"
#include "run/RunObserver.h"

namespace pamiro {

class Host;
struct ConversionJob;
struct RunPlaces;

// A sequence source larger than this is kept as its length and a digest: a
// damaged file must not decide how much memory the comparison takes.
constexpr std::uint64_t kKeptSourceBytes = 16 * 1024 * 1024;

// The bytes of a sequence source, or for one larger than kKeptSourceBytes a
// digest of them; two sources are the same when length and bytes agree.
struct KeptSource {
    std::uint64_t Length = 0;
    std::string Bytes;
    bool operator==(const KeptSource&) const = default;
};

// One block as a conversion to "FoxCAE Transfer" would take it.
struct BlockSnapshot {
    std::string Name;
    std::string Type;
    bool TypeKnown = false;
    // Its values in the snapshot's value store (SourceSnapshot::ValuesOf).
    std::size_t Chunk = 0, FirstValue = 0, ValueCount = 0;
    bool Sequence = false;
    bool SequenceSourceIsBase = false;
    std::string SequenceSourceName;  // "BLOCK.s" or "TYPE_base.s"; empty when neither exists
    // What the conversion would copy (a base file's is shared).
    std::shared_ptr<const KeptSource> SequenceBytes;
    // Read back from an output: the names of its own parameter lines (a hand
    // edit may give two blocks of one type different lists).
    std::shared_ptr<const ParameterNames> Names;
};

struct CompoundSnapshot {
    std::string Name;
    std::vector<BlockSnapshot> Blocks;
    std::string RevisionCode = {};  // as the compound's closing line writes it
};

// A block's values, each a view into its snapshot.
class ValueList {
  public:
    ValueList(const std::string& bytes, const std::uint32_t* bounds, std::size_t count)
        : bytes_(bytes), bounds_(bounds), count_(count) {}
    std::size_t size() const { return count_; }
    std::string_view operator[](std::size_t j) const {
        return std::string_view(bytes_).substr(bounds_[j], bounds_[j + 1] - bounds_[j]);
    }

  private:
    const std::string& bytes_;
    const std::uint32_t* bounds_;  // value j spans bounds_[j] to bounds_[j + 1]
    std::size_t count_;
};

// Where a snapshot comes from: a source, or a conversion's output read back,
// which holds only what the conversion keeps.
enum class SnapshotOrigin { Source, FoxCaeOutput, IccOutput };

// What one source holds, compounds and blocks in the order the run met them.
struct SourceSnapshot {
    SnapshotOrigin Origin = SnapshotOrigin::Source;
    bool IsOutput() const { return Origin != SnapshotOrigin::Source; }
    // The script carries neither sequence sources nor revision codes.
    bool CarriesSourcesAndCodes() const { return Origin != SnapshotOrigin::IccOutput; }
    std::vector<CompoundSnapshot> Compounds;
    // The parameter names of every known type met, from this side's data file.
    std::map<std::string, ParameterNames> Types;
    // Every block's values back to back in chunks that are never moved (a
    // large CP has a million values: one allocation each, or copying a
    // growing buffer, would cost more than reading them). A block's values lie
    // in one chunk; ValueBounds[FirstValue + j] and the bound after it are
    // value j's start and end in that chunk.
    std::vector<std::string> ValueChunks;
    std::vector<std::uint32_t> ValueBounds;
    // Known type: one value per parameter of the type, as written (trimmed,
    // each CR or LF a blank). Unknown type: every string of the record after
    // name and type, up to the last one that is not empty, taken the same way.
    ValueList ValuesOf(const BlockSnapshot& block) const {
        return {ValueChunks[block.Chunk], ValueBounds.data() + block.FirstValue, block.ValueCount};
    }
    const ParameterNames* NamesOf(const std::string& type) const {
        const auto it = Types.find(type);
        return it == Types.end() ? nullptr : &it->second;
    }
    const ParameterNames* NamesOf(const BlockSnapshot& block) const {
        return block.Names ? block.Names.get() : NamesOf(block.Type);
    }
};

// The bytes of a file as a snapshot keeps them.
KeptSource ReadKept(ByteSource& source);

// A block's values as the conversion writes them: for a known type one per
// name after the first two; for an unknown type, see SourceSnapshot::ValuesOf.
std::vector<std::string> ValuesAsWritten(const BlockSeen& block);

// Reads the source the request check has set in job exactly as a conversion
// does (same readers, same lookup, same messages through host), writing
// nothing. job.Report tells whether the run failed. inputs, when given, is
// told of every file read.
void ReadSnapshot(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                  SourceSnapshot& snapshot, InputWatcher* inputs = nullptr);
// The same on given folders (in memory for tests).
void ReadSnapshotIn(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                    const RunPlaces& places, SourceSnapshot& snapshot,
                    InputWatcher* inputs = nullptr);

}  // namespace pamiro
