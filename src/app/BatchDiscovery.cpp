#include "app/BatchDiscovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "readers/SaveAllReader.h"
#include "run/ConversionJob.h"
#include "core/NativeFile.h"
#include "core/Paths.h"

namespace pamiro {

namespace {

namespace fs = std::filesystem;

bool IsWorkingFileCp(const std::string& folder, const std::string& name) {
    return FileExists(JoinPath(JoinPath(folder, name), name + ".wf"));
}

// A list file makes a tree even when it names nothing: the run then reports
// the damaged tree instead of the batch passing over it in silence.
bool IsSaveAllTree(const std::string& tree) {
    return FileExists(JoinPath(tree, ".Compound_Dir")) || !CollectSaveAllCompounds(tree).empty();
}

}  // namespace

std::vector<BatchCp> FindBatchCps(const std::string& folder, int sourceKind) {
    const std::string root = StripTrailingSeparator(folder);
    std::vector<BatchCp> found;
    // Linked folders are not listed.
    for (const std::string& name : SubfolderNames(root)) {
        if (name.empty() || name[0] == '.') continue;
        const bool anyKind = sourceKind != kSourceWorkingFile && sourceKind != kSourceSaveAll;
        if ((anyKind || sourceKind == kSourceWorkingFile) && IsWorkingFileCp(root, name)) {
            found.push_back({name, kSourceWorkingFile, root});
        } else if ((anyKind || sourceKind == kSourceSaveAll) &&
                   IsSaveAllTree(JoinPath(root, name))) {
            found.push_back({name, kSourceSaveAll, JoinPath(root, name)});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const BatchCp& a, const BatchCp& b) { return a.Folder < b.Folder; });
    return found;
}

}  // namespace pamiro
