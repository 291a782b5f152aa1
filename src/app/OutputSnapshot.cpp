#include "app/OutputSnapshot.h"

#include <algorithm>
#include <unordered_map>

#include "output/BlockWriter.h"

namespace pamiro {

namespace {

constexpr std::size_t kChunkBytes = 1024 * 1024;

class SnapshotBuilder : public ReadBackSink {
  public:
    SnapshotBuilder(const InputFolder& folder, SourceSnapshot& snapshot)
        : folder_(folder), snapshot_(snapshot) {}

    void CompoundStarted(const std::string& name) override {
        snapshot_.Compounds.push_back({name, {}});
    }
    void BlockRead(const ReadBackBlock& read) override {
        BlockSnapshot block;
        block.Name = read.Name;
        block.Type = read.Type;
        block.TypeKnown = true;
        block.Names = NamesFor(read);
        StoreValues(read, block);
        if (snapshot_.Origin == SnapshotOrigin::FoxCaeOutput && IsSequenceBlockType(read.Type)) {
            block.Sequence = true;
            if (!read.SequenceCopy.empty()) {
                if (auto copy = folder_.Open({read.SequenceCopy})) {
                    block.SequenceSourceName = read.SequenceCopy;
                    block.SequenceBytes = std::make_shared<const KeptSource>(ReadKept(*copy));
                }
            }
        }
        snapshot_.Compounds.back().Blocks.push_back(std::move(block));
    }
    void CompoundEnded(const std::string& revisionCode) override {
        snapshot_.Compounds.back().RevisionCode = revisionCode;
    }

  private:
    // One list shared by the blocks of a type that agree on it, as the data
    // file's list would be; "NAME" and "TYPE" stand for the first two.
    std::shared_ptr<const ParameterNames> NamesFor(const ReadBackBlock& read) {
        auto& last = lastOfType_[read.Type];
        const auto sameTail = [&](const ParameterNames& names) {
            return names.size() == read.Names.size() + 2 &&
                   std::equal(read.Names.begin(), read.Names.end(), names.begin() + 2);
        };
        if (last && sameTail(*last)) return last;
        ParameterNames names{"NAME", "TYPE"};
        names.insert(names.end(), read.Names.begin(), read.Names.end());
        last = std::make_shared<const ParameterNames>(std::move(names));
        snapshot_.Types.try_emplace(read.Type, *last);
        return last;
    }
    void StoreValues(const ReadBackBlock& read, BlockSnapshot& block) {
        auto& chunks = snapshot_.ValueChunks;
        auto& bounds = snapshot_.ValueBounds;
        if (chunks.empty() || chunks.back().size() > kChunkBytes) {
            chunks.emplace_back().reserve(kChunkBytes + kChunkBytes / 8);
            bounds.push_back(0);
        }
        std::string& chunk = chunks.back();
        block.Chunk = chunks.size() - 1;
        block.FirstValue = bounds.size() - 1;
        for (const std::string& value : read.Values) {
            chunk += value;
            bounds.push_back(static_cast<std::uint32_t>(chunk.size()));
        }
        block.ValueCount = read.Values.size();
    }

    const InputFolder& folder_;
    SourceSnapshot& snapshot_;
    std::unordered_map<std::string, std::shared_ptr<const ParameterNames>> lastOfType_;
};

}  // namespace

std::optional<ReadBackError> ReadOutputSnapshot(const InputFolder& folder, DestinationKind kind,
                                                const std::string& cp, SourceSnapshot& snapshot) {
    const bool fox = kind == DestinationKind::FoxCae;
    snapshot.Origin = fox ? SnapshotOrigin::FoxCaeOutput : SnapshotOrigin::IccOutput;
    SnapshotBuilder builder(folder, snapshot);
    return fox ? ReadFoxCaeOutput(folder, builder) : ReadIccOutput(folder, cp, builder);
}

void ReplaySnapshot(const SourceSnapshot& snapshot, const InputFolder& folder,
                    RunObserver& observer) {
    std::string values;
    for (const CompoundSnapshot& compound : snapshot.Compounds) {
        observer.CompoundStarted(compound.Name);
        for (const BlockSnapshot& block : compound.Blocks) {
            const ValueList list = snapshot.ValuesOf(block);
            values.clear();
            for (std::size_t j = 0; j < list.size(); ++j) (values += list[j]) += '\0';
            BlockSeen seen;
            seen.Compound = compound.Name;
            seen.Name = block.Name;
            seen.Type = block.Type;
            seen.TypeKnown = block.TypeKnown;
            seen.Sequence = block.Sequence;
            if (block.SequenceBytes)
                seen.SequenceSource = folder.PathOf({block.SequenceSourceName});
            seen.Names = snapshot.NamesOf(block);
            seen.Values = NulFields(values);
            observer.BlockSeenInRun(seen);
        }
        observer.CompoundEnded(compound.RevisionCode);
    }
}

}  // namespace pamiro
