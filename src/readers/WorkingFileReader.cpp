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

// Reads every entry of an index file with visit, then reports the entries
// whose offset names no record; a missing index file is reported by name.
template <typename Visit>
void ReadIndex(ReadContext& context, const RelativePath& path, InputRole role,
               const std::string& name, const char* title, bool mustHoldAnEntry,
               ByteSource& workingFile, Visit visit) {
    const auto index = context.Tree.Open(path, role);
    if (!index) {
        context.Report.Warnings += 1;
        context.Messages.ShowMessage(MessageIcon::Warning,
                                     name + ".O no encontrado" + context.Tree.VariantsLine(path),
                                     title);
        return;
    }
    const PlatformTraits& traits = TraitsOf(context.PlatformIndex);
    CheckIndexLength(context, context.Tree.PathOf(path), index->Length(),
                     LayoutOf(traits.IndexEntries).Size, mustHoldAnEntry);
    InvalidOffsets invalid;
    ForEachEntry(*index, traits.IndexEntries, traits.RecordOffsets,
                 [&](const IndexEntry& entry) { visit(entry, invalid); });
    ReportInvalidOffsets(context, context.Tree.PathOf(path), workingFile.Name(), invalid);
}

void ReadBlocks(ReadContext& context, const std::string& cp, const std::string& compound,
                ByteSource& workingFile) {
    ReadIndex(context, SourceTree::BlockIndex(cp, compound), InputRole::CompoundIndex, compound,
              "Pamiro -Working File - Bloque", false, workingFile,
              [&](const IndexEntry& entry, InvalidOffsets& invalid) {
                  context.Messages.ProcessPendingEvents();
                  const std::uint32_t offset =
                      UsableRecordOffset(entry.RecordOffset, workingFile.Length(), invalid);
                  ReadBlockRecord(context, workingFile, offset, compound);
              });
}

}  // namespace

void ReadWorkingFile(ReadContext& context, const std::string& cp, ByteSource& workingFile) {
    char code[4];
    workingFile.ReadAt(0, code, sizeof code);
    context.RevisionCode.assign(code, sizeof code);

    ReadIndex(context, SourceTree::CompoundIndex(cp), InputRole::CpIndex, cp,
              "Pamiro - Working File - Compound", true, workingFile,
              [&](const IndexEntry& entry, InvalidOffsets& invalid) {
                  context.Messages.SetStatus(1, entry.Name);
                  if (entry.Name.empty()) return;
                  const std::uint32_t own =
                      UsableRecordOffset(entry.RecordOffset, workingFile.Length(), invalid);
                  context.Sink.StartCompound(entry.Name);
                  ReadBlockRecord(context, workingFile, own, entry.Name);
                  ReadBlocks(context, cp, entry.Name, workingFile);
                  context.Sink.EndCompound(context.RevisionCode);
              });
}

}  // namespace pamiro
