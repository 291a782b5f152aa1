#include "app/BatchDiscovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/Choices.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "readers/SaveAllReader.h"

namespace pamiro {

namespace {

namespace fs = std::filesystem;

bool IsWorkingFileCp(const std::string& folder, const std::string& name) {
    return FileExists(JoinPath(JoinPath(folder, name), name + ".wf"));
}

// A list file makes a tree even when it names nothing: the run then reports
// the damaged tree instead of the batch passing over it in silence.
bool IsSaveAllTree(const std::string& tree) {
    const DiskInputFolder folder(tree, false);
    const SourceTree source(folder);
    return source.Exists(SourceTree::CompoundList()) || !CollectSaveAllCompounds(source).empty();
}

}  // namespace

std::vector<BatchCp> FindBatchCps(const std::string& folder, int sourceKind) {
    const std::string root = StripTrailingSeparator(folder);
    std::vector<BatchCp> found;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(root.empty() ? "/" : root), error), end;
         !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (!fs::is_directory(it->symlink_status(statusError))) continue;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        constexpr int kSourceWorkingFile = static_cast<int>(SourceKind::WorkingFile);
        constexpr int kSourceSaveAll = static_cast<int>(SourceKind::SaveAll);
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
