#include "readers/SaveAllReader.h"

#include <algorithm>

#include "readers/IndexEntry.h"

namespace pamiro {

namespace {

constexpr std::uint64_t kRevisionFromEnd = 23;

unsigned char Folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool FoldedLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Folded(x) < Folded(y); });
}

std::string ReadWhole(ByteSource& file) {
    std::string text(static_cast<std::size_t>(file.Length()), '\0');
    file.ReadAt(0, text.data(), text.size());
    return text;
}

void ReadCompound(ReadContext& context, const std::string& compound) {
    const RelativePath path = SourceTree::Parameters(compound);
    const auto file = context.Tree.Open(path, InputRole::Parameters);
    if (!file) {
        context.Report.Warnings += 1;
        context.Messages.ShowMessage(
            MessageIcon::Warning,
            compound + " - Archivo de parametros no encontrado" + context.Tree.VariantsLine(path),
            "Pamiro - Save All - Bloques");
        return;
    }
    const std::uint64_t length = file->Length();
    InvalidOffsets invalid;
    std::uint64_t first = 0;  // where the first record begins: the index's end
    for (std::uint64_t at = 0;; at += kShortEntry.Size) {
        context.Messages.ProcessPendingEvents();
        const IndexEntry entry = ReadIndexEntry(*file, at, EntryForm::Short, ByteOrder::Little);
        if (first == 0 && IsValidRecordOffset(entry.RecordOffset)) first = entry.RecordOffset;
        ReadBlockRecord(context, *file, UsableRecordOffset(entry.RecordOffset, length, invalid),
                        compound);
        // The end of the file also ends the index, so an offset past the end
        // cannot make the loop run on over zeros.
        const std::uint64_t next = at + kShortEntry.Size;
        if (next >= first || next >= length) break;
    }

    if (length < kRevisionFromEnd) {
        context.RevisionCode = "    ";
        context.Report.Warnings += 1;
        context.Messages.ShowMessage(MessageIcon::Warning,
                                     compound + " - Archivo de parámetros demasiado corto (" +
                                         std::to_string(length) + " bytes); sin código de revisión",
                                     "Pamiro - Save All - Bloques");
    } else {
        char code[4];
        file->ReadAt(length - kRevisionFromEnd, code, sizeof code);
        context.RevisionCode.assign(code, sizeof code);
    }
    ReportInvalidOffsets(context, context.Tree.PathOf(path), file->Name(), invalid);
}

}  // namespace

std::vector<std::string> SplitCompoundDirLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line.push_back(text[i]);
            open = true;
        }
    }
    if (open) lines.push_back(std::move(line));
    return lines;
}

void SortCompoundNames(std::vector<std::string>& names) {
    // Names equal but for case are ordered by their bytes, so the order never
    // depends on how the folder was listed.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        if (FoldedLess(a, b)) return true;
        if (FoldedLess(b, a)) return false;
        return a < b;
    });
}

std::vector<std::string> CollectSaveAllCompounds(const SourceTree& tree,
                                                 std::vector<std::string>* passedOver) {
    std::vector<std::string> names;
    std::vector<std::string> notes;
    const Lookup list = tree.Find(SourceTree::CompoundList());
    if (list.Kind == EntryKind::File) {
        // When present, the list file alone names the compounds.
        if (const auto file = tree.Open(SourceTree::CompoundList(), InputRole::CompoundList)) {
            const std::vector<std::string> lines = SplitCompoundDirLines(ReadWhole(*file));
            for (std::size_t i = 0; i < lines.size(); i += 2) names.push_back(lines[i]);
        }
    } else {
        for (const auto& [name, kind] : tree.Entries()) {
            if (name[0] == '.') continue;
            const RelativePath parameters = SourceTree::Parameters(name);
            if (kind == EntryKind::Link) {
                notes.push_back("La carpeta " + tree.PathOf({name}) +
                                " es un enlace simbólico: se omite");
                continue;
            }
            if (kind != EntryKind::Folder) continue;
            const Lookup found = tree.Find(parameters);
            if (found.Kind == EntryKind::File) {
                names.push_back(name);
            } else if (found.Ambiguous) {
                // Not passed over in silence: the folder holds its compound's
                // file under a name no lookup can choose.
                notes.push_back("El compuesto " + name +
                                " se omite: no se encuentra su archivo de parámetros\n" +
                                CaseVariantsNote(*found.Ambiguous));
            } else if (found.Kind != EntryKind::Missing) {
                notes.push_back("El compuesto " + name +
                                " se omite: su archivo de parámetros no es un archivo normal (" +
                                tree.PathOf(parameters) + ")");
            }
        }
        std::sort(notes.begin(), notes.end());
        if (list.Ambiguous) {
            notes.insert(notes.begin(),
                         "No se lee la lista de compuestos .Compound_Dir: se toman las carpetas "
                         "con archivo de parámetros\n" +
                             CaseVariantsNote(*list.Ambiguous));
        }
    }
    if (passedOver != nullptr) *passedOver = std::move(notes);
    SortCompoundNames(names);
    return names;
}

void ReadSaveAll(ReadContext& context, const std::vector<std::string>& compounds) {
    for (const std::string& name : compounds) {
        context.Messages.SetStatus(1, name);
        context.Sink.StartCompound(name);
        ReadCompound(context, name);
        context.Sink.EndCompound(context.RevisionCode);
    }
}

}  // namespace pamiro
