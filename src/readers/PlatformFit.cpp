#include "readers/PlatformFit.h"

#include "readers/IndexEntry.h"

namespace pamiro {

bool IndexFits(ByteSource& index, std::uint64_t workingFileLength, Platform platform) {
    const PlatformTraits& traits = TraitsOf(platform);
    const std::uint64_t size = LayoutOf(traits.IndexEntries).Size;
    const std::uint64_t length = index.Length();
    if (length % size != 0) return false;
    for (std::uint64_t at = 0; at < length; at += size) {
        const std::uint32_t offset =
            ReadIndexEntry(index, at, traits.IndexEntries, traits.RecordOffsets).RecordOffset;
        if (offset != 0 && offset >= workingFileLength) return false;
    }
    return true;
}

std::vector<Platform> PlatformsFitting(ByteSource& index, std::uint64_t workingFileLength) {
    std::vector<Platform> fitting;
    for (const Platform platform : {Platform::Pw, Platform::Aw51, Platform::Aw70}) {
        if (IndexFits(index, workingFileLength, platform)) fitting.push_back(platform);
    }
    return fitting;
}

std::vector<Platform> PlatformsFittingTree(const SourceTree& tree, const std::string& cp) {
    const auto index = tree.Open(SourceTree::CompoundIndex(cp), InputRole::CpIndex);
    const auto workingFile = tree.Open(SourceTree::WorkingFile(cp), InputRole::WorkingFile);
    if (!index || !workingFile) return {};
    return PlatformsFitting(*index, workingFile->Length());
}

std::optional<Platform> OnlyOtherFittingPlatform(const SourceTree& tree, const std::string& cp,
                                                 Platform chosen) {
    const auto index = tree.Open(SourceTree::CompoundIndex(cp), InputRole::CpIndex);
    const auto workingFile = tree.Open(SourceTree::WorkingFile(cp), InputRole::WorkingFile);
    if (!index || !workingFile) return std::nullopt;
    const std::uint64_t length = workingFile->Length();
    if (IndexFits(*index, length, chosen)) return std::nullopt;
    std::vector<Platform> others = PlatformsFitting(*index, length);
    if (others.size() != 1) return std::nullopt;
    return others.front();
}

std::string PlatformFitWarning(const SourceTree& tree, const std::string& cp, Platform chosen) {
    const std::optional<Platform> other = OnlyOtherFittingPlatform(tree, cp, chosen);
    if (!other) return {};
    return "El índice de " + cp + ".O no corresponde a la plataforma " +
           std::string(TraitsOf(chosen).Label) + "; parece " + std::string(TraitsOf(*other).Label);
}

std::string PlatformList(const std::vector<Platform>& platforms) {
    std::string text;
    for (std::size_t i = 0; i < platforms.size(); ++i) {
        if (i > 0) text += i + 1 == platforms.size() ? " y " : ", ";
        text += TraitsOf(platforms[i]).Label;
    }
    return text;
}

}  // namespace pamiro
