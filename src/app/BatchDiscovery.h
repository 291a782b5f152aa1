#pragma once

#include <string>
#include <vector>

namespace pamiro {

// One CP found under a batch source folder, ready to be converted on its own.
struct BatchCp {
    std::string Folder;     // the subfolder's name as it stands on disk
    int SourceKind = -1;    // 0 Working File, 1 Save All
    std::string SourceDir;  // what the conversion takes as its source folder
    // Why the folder looks like a CP but cannot be converted; such a CP is
    // reported as failed instead of being passed over.
    std::string Problem;
};

// The CPs under folder, sorted by name. Working File: a subfolder X holding
// the file X/X.wf (its source folder is folder itself, where the sequence
// sources of its compounds lie too); a subfolder named as a letterbug holding
// ".O" files but no plain X/X.wf, or one where only case variants of X.wf
// match, is a CP with a Problem. Save All: a subfolder
// that is a Save All tree (see IsSaveAllTree), its source folder the
// subfolder. sourceKind 0 or 1 looks for that format only; any other value
// takes each subfolder in the format it holds, a Working File first. Linked
// folders are passed over.
std::vector<BatchCp> FindBatchCps(const std::string& folder, int sourceKind);

// A ".Compound_Dir" file (even an empty one) or a compound folder holding an
// entry "parameters", whatever it is, or case variants of it: a damaged tree
// is still reported.
bool IsSaveAllTree(const std::string& tree);

// CPs whose folders would share one destination folder below to (names equal
// but for case) get a Problem: none of them is converted.
void RefuseCollisions(std::vector<BatchCp>& cps, const std::string& to);

}  // namespace pamiro
