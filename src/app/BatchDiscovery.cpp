#include "app/BatchDiscovery.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/RequestCheck.h"
#include "core/Choices.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "core/Text.h"
#include "readers/SaveAllReader.h"

namespace pamiro {

namespace {

// Visits the subfolders of folder that are folders themselves (not links)
// and whose names do not start with a dot.
template <typename Visit>
void ForEachSubfolder(const std::string& folder, Visit visit) {
    for (const auto& [name, kind] : FolderEntries(folder.empty() ? "/" : folder)) {
        if (kind == EntryKind::Folder && !name.empty() && name[0] != '.') visit(name);
    }
}

// As the run will look for it: the CP's name in upper case, found in any case.
bool IsWorkingFileCp(const std::string& folder, const std::string& name) {
    const DiskInputFolder disk(folder, false);
    const std::string cp = NormaliseCpName(name);
    return SourceTree(disk).Exists(SourceTree::WorkingFile(cp));
}

// Why a folder is no Working File CP when it looks like one: named as a
// letterbug and holding ".O" index files, or holding CP.wf only in case
// variants the run cannot choose between. Empty when it is no such folder.
std::string WorkingFileProblem(const std::string& folder, const std::string& name) {
    const DiskInputFolder disk(folder, false);
    const std::string cp = NormaliseCpName(name);
    const Lookup found = SourceTree(disk).Find(SourceTree::WorkingFile(cp));
    const std::string where = disk.PathOf({name});
    if (found.Ambiguous) {
        return cp + ".wf no se encuentra en " + where + "\n" + CaseVariantsNote(*found.Ambiguous);
    }
    if (name.size() != 6) return {};
    bool indexFiles = false;
    for (const auto& [entry, kind] : FolderEntries(where)) {
        if (entry.size() >= 2 && EqualIgnoringAsciiCase(entry.substr(entry.size() - 2), ".O")) {
            indexFiles = true;
        }
    }
    if (!indexFiles) return {};
    if (found.Kind == EntryKind::Missing) {
        return cp + ".wf no se encuentra en " + where + " (hay archivos .O)";
    }
    return cp + ".wf no es un archivo normal: " + disk.PathOf(found.Found);
}

// A compound folder holding "parameters", whatever it is, or only case
// variants of it.
bool HasParametersEntry(const std::string& tree) {
    const DiskInputFolder disk(tree, false);
    bool found = false;
    ForEachSubfolder(tree, [&](const std::string& name) {
        const Lookup parameters = disk.Find({name, "parameters"});
        if (parameters.Kind != EntryKind::Missing || parameters.Ambiguous) found = true;
    });
    return found;
}

}  // namespace

bool IsSaveAllTree(const std::string& tree) {
    const DiskInputFolder folder(tree, false);
    const SourceTree source(folder);
    return source.Exists(SourceTree::CompoundList()) || !CollectSaveAllCompounds(source).empty() ||
           HasParametersEntry(tree);
}

std::vector<BatchCp> FindBatchCps(const std::string& folder, int sourceKind) {
    const std::string root = StripTrailingSeparator(folder);
    std::vector<BatchCp> found;
    constexpr int kSourceWorkingFile = static_cast<int>(SourceKind::WorkingFile);
    constexpr int kSourceSaveAll = static_cast<int>(SourceKind::SaveAll);
    const bool anyKind = sourceKind != kSourceWorkingFile && sourceKind != kSourceSaveAll;
    const bool workingFiles = anyKind || sourceKind == kSourceWorkingFile;
    const bool saveAlls = anyKind || sourceKind == kSourceSaveAll;
    ForEachSubfolder(root.empty() ? "/" : root, [&](const std::string& name) {
        const std::string tree = JoinPath(root, name);
        if (workingFiles && IsWorkingFileCp(root, name)) {
            found.push_back({name, kSourceWorkingFile, root, {}});
        } else if (saveAlls && IsSaveAllTree(tree)) {
            found.push_back({name, kSourceSaveAll, tree, {}});
        } else if (workingFiles) {
            std::string problem = WorkingFileProblem(root, name);
            if (!problem.empty()) found.push_back({name, kSourceWorkingFile, root, problem});
        }
    });
    std::sort(found.begin(), found.end(),
              [](const BatchCp& a, const BatchCp& b) { return a.Folder < b.Folder; });
    return found;
}

void RefuseCollisions(std::vector<BatchCp>& cps, const std::string& to) {
    std::map<std::string, std::vector<std::size_t>> byDestination;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        if (cps[i].Problem.empty()) byDestination[NormaliseCpName(cps[i].Folder)].push_back(i);
    }
    for (const auto& [name, indexes] : byDestination) {
        if (indexes.size() < 2) continue;
        std::string folders;
        for (std::size_t i : indexes) folders += (folders.empty() ? "" : ", ") + cps[i].Folder;
        for (std::size_t i : indexes) {
            cps[i].Problem = "las carpetas " + folders + " irían a la misma carpeta de destino " +
                             (std::filesystem::path(to) / name).string() +
                             "; no se convierte ninguna";
        }
    }
}

}  // namespace pamiro
