#include "app/FolderHints.h"

#include <algorithm>

#include "app/BatchDiscovery.h"
#include "core/Folders.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/SourceTree.h"

namespace pamiro {

namespace {

// The folder that holds folder; empty for a root.
std::string Parent(const std::string& folder) {
    const std::size_t slash = folder.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string(1, folder[0]) : folder.substr(0, slash);
}

// The real folders in folder, sorted, so a hint names the same one every time.
std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& [name, kind] : FolderEntries(folder)) {
        if (kind == EntryKind::Folder && !name.empty() && name[0] != '.') names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HoldsWorkingFile(const std::string& folder, const std::string& cp) {
    const DiskInputFolder disk(folder, false);
    return SourceTree(disk).Exists(SourceTree::WorkingFile(cp));
}

// The CP's Working File directly in folder (the CP's own folder chosen).
bool IsCpFolder(const std::string& folder, const std::string& cp) {
    return EntryBelow(folder, {cp + ".wf"}) == EntryKind::File;
}

// A compound folder of a Save All tree chosen instead of the tree.
bool IsCompoundFolder(const std::string& folder) {
    return EntryBelow(folder, {"parameters"}) == EntryKind::File;
}

std::string Folder(const ChosenSource& s, const std::string& folder) {
    return s.CommandLine ? s.OptionPrefix + "from " + folder : "la carpeta " + folder;
}

std::string Kind(const ChosenSource& s, SourceKind kind) {
    const bool wf = kind == SourceKind::WorkingFile;
    if (s.CommandLine) return s.OptionPrefix + (wf ? "source wf" : "source sa");
    return wf ? "la fuente \"Working File\"" : "la fuente \"Save All\"";
}

std::string WorkingFileHint(const ChosenSource& s, const std::string& from) {
    const std::string wf = SourceTree::WorkingFile(s.Cp).back();
    if (IsCpFolder(from, s.Cp)) {
        return "la carpeta elegida es la del CP; para un Working File se elige la que la "
               "contiene: pruebe " +
               Folder(s, Parent(from));
    }
    for (const std::string& name : Subfolders(from)) {
        const std::string inner = JoinPath(from, name);
        if (HoldsWorkingFile(inner, s.Cp)) {
            return wf + " está un nivel más abajo: pruebe " + Folder(s, inner);
        }
    }
    const std::string cpTree = JoinPath(from, s.Cp);
    if (IsSaveAllTree(cpTree)) {
        return cpTree + " es un Save All: pruebe " + Kind(s, SourceKind::SaveAll) + " y " +
               Folder(s, cpTree);
    }
    if (IsSaveAllTree(from)) {
        return "la carpeta elegida es un Save All: pruebe " + Kind(s, SourceKind::SaveAll);
    }
    return {};
}

std::string SaveAllHint(const ChosenSource& s, const std::string& from) {
    const std::string inner = JoinPath(from, s.Cp);
    if (IsSaveAllTree(inner)) {
        return "para un Save All se elige el árbol mismo: pruebe " + Folder(s, inner);
    }
    if (IsCompoundFolder(from)) {
        return "la carpeta elegida es la de un compuesto; el árbol Save All es la que la "
               "contiene: pruebe " +
               Folder(s, Parent(from));
    }
    if (HoldsWorkingFile(from, s.Cp)) {
        return "la carpeta contiene el Working File de " + s.Cp + ": pruebe " +
               Kind(s, SourceKind::WorkingFile);
    }
    if (IsCpFolder(from, s.Cp)) {
        return "la carpeta elegida es la de un Working File: pruebe " +
               Kind(s, SourceKind::WorkingFile) + " y " + Folder(s, Parent(from));
    }
    return {};
}

}  // namespace

bool HintFollows(MessageKind kind) {
    return kind == MessageKind::WorkingFileNotFound || kind == MessageKind::SaveAllEmpty;
}

std::string FolderHint(const ChosenSource& source) {
    const std::string from = StripTrailingSeparator(source.Folder);
    if (EntryBelow(from, {}) != EntryKind::Folder) return {};
    const std::string hint = source.Kind == SourceKind::WorkingFile ? WorkingFileHint(source, from)
                                                                    : SaveAllHint(source, from);
    return hint.empty() ? hint : "Sugerencia: " + hint;
}

std::vector<std::string> FurtherLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;) {
        const std::size_t end = text.find('\n', at + 1);
        lines.emplace_back(text.substr(at + 1, end - at - 1));
        at = end;
    }
    return lines;
}

std::vector<std::string> NotesAfter(std::string_view text, MessageKind kind,
                                    const ChosenSource& source) {
    std::vector<std::string> notes = FurtherLines(text);
    if (HintFollows(kind)) {
        std::string hint = FolderHint(source);
        if (!hint.empty()) notes.push_back(std::move(hint));
    }
    return notes;
}

std::string BatchFolderHint(const std::string& chosen) {
    const std::string folder = StripTrailingSeparator(chosen);
    const std::string name = FileNameOf(folder);
    if (EntryBelow(folder, {name + ".wf"}) == EntryKind::File || IsSaveAllTree(folder)) {
        return "Sugerencia: la carpeta elegida es la de un CP; --from es la carpeta que contiene "
               "los CP: pruebe --from " +
               Parent(folder);
    }
    for (const std::string& sub : Subfolders(folder)) {
        const std::string inner = JoinPath(folder, sub);
        if (!FindBatchCps(inner, -1).empty()) {
            return "Sugerencia: hay CP un nivel más abajo: pruebe --from " + inner;
        }
    }
    return {};
}

void HintingHost::ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                              MessageKind kind) {
    if (HintFollows(kind)) {
        const std::string hint = FolderHint(source_);
        if (!hint.empty()) {
            host_.ShowMessage(icon, std::string(text) + "\n" + hint, title, kind);
            return;
        }
    }
    host_.ShowMessage(icon, text, title, kind);
}

}  // namespace pamiro
