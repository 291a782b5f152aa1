#include "app/SourceSnapshot.h"

#include <cerrno>
#include <utility>

#include "core/FileError.h"
#include "core/Folders.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "core/Text.h"
#include "readers/ReadContext.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"

namespace pamiro {

namespace {

constexpr std::size_t kChunkBytes = 1024 * 1024;

}  // namespace

KeptSource ReadKept(ByteSource& source) {
    const std::uint64_t length = source.Length();
    if (length <= kKeptSourceBytes) {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        source.ReadAt(0, bytes.data(), bytes.size());
        return {length, std::move(bytes)};
    }
    // FNV-1a over the whole file, read in pieces.
    std::uint64_t digest = 14695981039346656037ull;
    std::string chunk(1024 * 1024, '\0');
    for (std::uint64_t at = 0; at < length; at += chunk.size()) {
        source.ReadAt(at, chunk.data(), chunk.size());
        const std::uint64_t n = std::min<std::uint64_t>(chunk.size(), length - at);
        for (std::uint64_t i = 0; i < n; ++i) {
            digest = (digest ^ static_cast<unsigned char>(chunk[i])) * 1099511628211ull;
        }
    }
    return {length, std::to_string(digest)};
}

namespace {

// Hands each value of the block, as written, to take.
template <typename Take>
void ForEachValueAsWritten(const BlockSeen& block, Take take) {
    NulFields fields = block.Values;
    std::string value;
    if (block.Names != nullptr) {
        for (std::size_t j = 2; j < block.Names->size(); ++j) {
            value = fields.Next();
            BlankLineBreaks(value);
            take(std::string_view(value));
        }
        return;
    }
    // Up to the last string that is not empty; the empty ones before it count.
    std::size_t empties = 0;
    while (!fields.AtEnd()) {
        value = fields.Next();
        if (value.empty()) {
            ++empties;
            continue;
        }
        for (; empties > 0; --empties) take(std::string_view());
        BlankLineBreaks(value);
        take(std::string_view(value));
    }
}

// Keeps what the dry run hands over, with the bytes of each sequence source
// the conversion would copy.
class SnapshotRecorder : public RunObserver {
  public:
    SnapshotRecorder(SourceSnapshot& snapshot, const RunPlaces& places, InputWatcher* inputs)
        : snapshot_(snapshot), places_(places), inputs_(inputs) {}

    void InputOpened(InputRole role, const std::string& path) override {
        if (inputs_ != nullptr) inputs_->InputOpened(role, path);
    }

    void CompoundStarted(const std::string& name) override {
        snapshot_.Compounds.push_back({name, {}});
    }

    void BlockSeenInRun(const BlockSeen& seen) override {
        if (snapshot_.Compounds.empty() || snapshot_.Compounds.back().Name != seen.Compound) {
            snapshot_.Compounds.push_back({seen.Compound, {}});
        }
        BlockSnapshot block;
        block.Name = seen.Name;
        block.Type = seen.Type;
        block.TypeKnown = seen.TypeKnown;
        StoreValues(seen, block);
        if (seen.Names != nullptr && !snapshot_.Types.count(seen.Type)) {
            snapshot_.Types.emplace(seen.Type, *seen.Names);
        }
        block.Sequence = seen.Sequence;
        block.SequenceSourceIsBase = seen.SequenceSourceIsBase;
        if (seen.Sequence && !seen.SequenceSource.empty()) ReadSequenceSource(seen, block);
        snapshot_.Compounds.back().Blocks.push_back(std::move(block));
    }

    void CompoundEnded(const std::string& revisionCode) override {
        if (snapshot_.Compounds.empty()) return;
        std::string& code = snapshot_.Compounds.back().RevisionCode = revisionCode;
        BlankLineBreaks(code);
    }

  private:
    // A record's values fit in its 5001 bytes, so a chunk with room for them
    // takes the whole block.
    void StoreValues(const BlockSeen& seen, BlockSnapshot& block) {
        auto& chunks = snapshot_.ValueChunks;
        auto& bounds = snapshot_.ValueBounds;
        if (chunks.empty() || chunks.back().size() + kRecordBufferSize > kChunkBytes) {
            chunks.emplace_back().reserve(kChunkBytes);
            if (bounds.empty()) bounds.reserve(1 << 20);
            bounds.push_back(0);
        }
        std::string& chunk = chunks.back();
        block.Chunk = chunks.size() - 1;
        block.FirstValue = bounds.size() - 1;
        ForEachValueAsWritten(seen, [&](std::string_view value) {
            chunk += value;
            bounds.push_back(static_cast<std::uint32_t>(chunk.size()));
        });
        block.ValueCount = bounds.size() - 1 - block.FirstValue;
    }

    void ReadSequenceSource(const BlockSeen& seen, BlockSnapshot& block) {
        if (seen.SequenceSourceIsBase) {
            block.SequenceSourceName = seen.Type + "_base.s";
            auto& shared = baseSources_[seen.Type];
            if (!shared) {
                const RelativePath base{block.SequenceSourceName};
                shared = Kept(Told(places_.Program.Open(base), InputRole::BaseSource),
                              places_.Program.PathOf(base));
            }
            block.SequenceBytes = shared;
            return;
        }
        block.SequenceSourceName = seen.Name + ".s";
        const SourceTree tree(places_.Source);
        const RelativePath own = SourceTree::SequenceSource(seen.Compound, seen.Name);
        block.SequenceBytes = Kept(Told(tree.Open(own), InputRole::OwnSource), tree.PathOf(own));
    }

    std::unique_ptr<ByteSource> Told(std::unique_ptr<ByteSource> source, InputRole role) {
        if (source) InputOpened(role, source->Name());
        return source;
    }

    // The run has just found the file; one that cannot be opened now is a
    // read error, as it would be for the copy.
    static std::shared_ptr<const KeptSource> Kept(std::unique_ptr<ByteSource> source,
                                                  const std::string& path) {
        if (!source) throw FileError(FileError::Kind::Read, path, EACCES);
        return std::make_shared<const KeptSource>(ReadKept(*source));
    }

    SourceSnapshot& snapshot_;
    const RunPlaces& places_;
    InputWatcher* inputs_;
    std::map<std::string, std::shared_ptr<const KeptSource>> baseSources_;
};

}  // namespace

std::vector<std::string> ValuesAsWritten(const BlockSeen& block) {
    std::vector<std::string> values;
    ForEachValueAsWritten(block, [&](std::string_view value) { values.emplace_back(value); });
    return values;
}

void ReadSnapshotIn(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                    const RunPlaces& places, SourceSnapshot& snapshot, InputWatcher* inputs) {
    SnapshotRecorder recorder(snapshot, places, inputs);
    job.DestinationKind = DestinationKind::FoxCae;  // so sequence sources are taken too
    job.DryRun = true;
    job.Observer = &recorder;
    RunConversionIn(job, host, kind, cp, places);
    job.Observer = nullptr;
}

void ReadSnapshot(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                  SourceSnapshot& snapshot, InputWatcher* inputs) {
    const DiskInputFolder source(job.SourceDir, false);
    const DiskInputFolder program(job.ProgramDir, true);
    MemoryOutputFolder nowhere(false);
    const RunPlaces places{source, nowhere, program, FileNameOf(job.DataFilePath)};
    ReadSnapshotIn(job, host, kind, cp, places, snapshot, inputs);
}

}  // namespace pamiro
