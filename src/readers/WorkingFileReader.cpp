#include "readers/WorkingFileReader.h"

#include "readers/IndexEntry.h"

namespace pamiro {

namespace {

// Entries are read until one comes up short; that last one is zero filled
// past the end and still taken.
template <typename Visit>
void ForEachEntry(ByteSource& index, EntryForm form, ByteOrder order, Visit visit) {
    const std::uint64_t size = LayoutOf(form).Size;
    for (std::uint64_t at = 0;; at += size) {
        visit(ReadIndexEntry(index, at, form, order));
        if (at + size > index.Length()) break;
    }
}

void ReadBlocks(ReadContext& context, const std::string& cp, const std::string& compound,
                ByteSource& workingFile) {
    const RelativePath path = SourceTree::BlockIndex(cp, compound);
    const auto index = context.Tree.Open(path);
    if (!index) {
        context.Report.Warnings += 1;
        context.Messages.ShowMessage(MessageIcon::Warning, compound + ".O no encontrado",
                                     "Pamiro -Working File - Bloque");
        return;
    }
    const PlatformTraits& traits = TraitsOf(context.PlatformIndex);
    CheckIndexLength(context, context.Tree.PathOf(path), index->Length(),
                     LayoutOf(traits.IndexEntries).Size, false);
    InvalidOffsets invalid;
    ForEachEntry(*index, traits.IndexEntries, traits.RecordOffsets, [&](const IndexEntry& entry) {
        context.Messages.ProcessPendingEvents();
        const std::uint32_t offset =
            UsableRecordOffset(entry.RecordOffset, workingFile.Length(), invalid);
        ReadBlockRecord(context, workingFile, offset, compound);
    });
    ReportInvalidOffsets(context, context.Tree.PathOf(path), workingFile.Name(), invalid);
}

}  // namespace

void ReadWorkingFile(ReadContext& context, const std::string& cp, ByteSource& workingFile) {
    char code[4];
    workingFile.ReadAt(0, code, sizeof code);
    context.RevisionCode.assign(code, sizeof code);

    const RelativePath path = SourceTree::CompoundIndex(cp);
    const auto index = context.Tree.Open(path);
    if (!index) {
        context.Report.Warnings += 1;
        context.Messages.ShowMessage(MessageIcon::Warning, cp + ".O no encontrado",
                                     "Pamiro - Working File - Compound");
        return;
    }
    const PlatformTraits& traits = TraitsOf(context.PlatformIndex);
    CheckIndexLength(context, context.Tree.PathOf(path), index->Length(),
                     LayoutOf(traits.IndexEntries).Size, true);
    InvalidOffsets invalid;
    ForEachEntry(*index, traits.IndexEntries, traits.RecordOffsets, [&](const IndexEntry& entry) {
        context.Messages.SetStatus(1, entry.Name);
        if (entry.Name.empty()) return;
        const std::uint32_t own =
            UsableRecordOffset(entry.RecordOffset, workingFile.Length(), invalid);
        context.Sink.StartCompound(entry.Name);
        ReadBlockRecord(context, workingFile, own, entry.Name);
        ReadBlocks(context, cp, entry.Name, workingFile);
        context.Sink.EndCompound(context.RevisionCode);
    });
    ReportInvalidOffsets(context, context.Tree.PathOf(path), workingFile.Name(), invalid);
}

}  // namespace pamiro
