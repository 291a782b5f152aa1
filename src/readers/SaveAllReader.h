#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pamiro {

class Host;
struct ConversionJob;

// Save All tree under SourceDir:
//   .Compound_Dir          optional; two-line records, the first line a compound name
//   compound/parameters    index of 34-byte entries, then the block records;
//                          the revision code is the 4 bytes at length - 23

// Lines of a ".Compound_Dir" file: a line ends at CR or CR LF; a lone LF does
// not end one.
std::vector<std::string> SplitCompoundDirLines(std::string_view text);
// Compound names in the order a conversion takes them: ascending, letters
// compared without regard to case.
void SortCompoundNames(std::vector<std::string>& names);
// The compound names a Save All tree holds, sorted.
std::vector<std::string> CollectSaveAllCompounds(const std::string& sourceDir);

// Converts every compound; true when the tree held no compound (the run failed).
bool ScanSaveAll(ConversionJob& job, Host& host, const std::string& cpName);
// Hands every index entry of the compound's "parameters" file to the writer
// and takes the compound's revision code.
void ReadSaveAllBlocks(ConversionJob& job, Host& host, const std::string& compoundName);

}  // namespace pamiro
