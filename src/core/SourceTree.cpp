#include "core/SourceTree.h"

#include "core/Paths.h"

namespace pamiro {

namespace {
bool AllSafe(const RelativePath& path) {
    for (const std::string& part : path) {
        if (!IsSafeFileName(part)) return false;
    }
    return !path.empty();
}
}  // namespace

RelativePath SourceTree::WorkingFile(const std::string& cp) { return {cp, cp + ".wf"}; }
RelativePath SourceTree::CompoundIndex(const std::string& cp) { return {cp, cp + ".O"}; }
RelativePath SourceTree::BlockIndex(const std::string& cp, const std::string& compound) {
    // A compound named "." or ".." has no index file (".O" and "..O" would
    // name another compound's).
    if (!IsSafeFileName(compound)) return {cp, std::string()};
    return {cp, compound + ".O"};
}
RelativePath SourceTree::Parameters(const std::string& compound) {
    return {compound, "parameters"};
}
RelativePath SourceTree::CompoundList() { return {".Compound_Dir"}; }
RelativePath SourceTree::SequenceSource(const std::string& compound, const std::string& block) {
    if (!IsSafeFileName(block)) return {compound, std::string()};
    return {compound, block + ".s"};
}

std::unique_ptr<ByteSource> SourceTree::Open(const RelativePath& path) const {
    if (!AllSafe(path)) return nullptr;
    return folder_.Open(path);
}

std::unique_ptr<ByteSource> SourceTree::Open(const RelativePath& path, InputRole role) const {
    auto source = Open(path);
    if (source && watcher_ != nullptr) watcher_->InputOpened(role, source->Name());
    return source;
}

Lookup SourceTree::Find(const RelativePath& path) const {
    if (!AllSafe(path)) return {};
    return folder_.Find(path);
}

std::string SourceTree::VariantsLine(const RelativePath& path) const {
    const Lookup found = Find(path);
    return found.Ambiguous ? "\n" + CaseVariantsNote(*found.Ambiguous) : std::string();
}

EntryKind SourceTree::Entry(const RelativePath& path) const {
    if (!AllSafe(path)) return EntryKind::Missing;
    return folder_.Entry(path);
}

}  // namespace pamiro
