#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "readers/ReadContext.h"

namespace pamiro {

// Lines of a ".Compound_Dir" file: a line ends at CR or CR LF; a lone LF does
// not end one.
std::vector<std::string> SplitCompoundDirLines(std::string_view text);
// Compound names in the order a conversion takes them: ascending, letters
// compared without regard to case.
void SortCompoundNames(std::vector<std::string>& names);
// The compound names a Save All tree holds, sorted: the first line of each
// record of ".Compound_Dir" when it exists, else every folder that holds a
// "parameters" file (names starting with "." are passed over). A linked
// folder, a "parameters" that is no plain file or that only case variants
// match, and a list file that only case variants match, are each named in a
// note in passedOver (a Spanish warning text) when one is given.
std::vector<std::string> CollectSaveAllCompounds(const SourceTree& tree,
                                                 std::vector<std::string>* passedOver = nullptr);

// Reads every compound in turn: each entry of its "parameters" index, then the
// compound's revision code (the 4 bytes at length - 23).
void ReadSaveAll(ReadContext& context, const std::vector<std::string>& compounds);

}  // namespace pamiro
