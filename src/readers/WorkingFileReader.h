#pragma once

#include <string>

namespace pamiro {

class Host;
struct ConversionJob;

// Working File tree of CP under SourceDir:
//   CP/CP.wf        revision code in its first 4 bytes, then the block records
//   CP/CP.O         one index entry per compound (name, offset of its own record)
//   CP/compound.O   one index entry per block (offset of the block's record)

// Converts every compound of the CP's index file, in file order. Leaves the
// index file open under job.CompoundObjectFileNumber for the driver to close.
void ReadWorkingFileCompounds(ConversionJob& job, Host& host, const std::string& cpName,
                              int workingFileNumber);
// Hands every block record of one compound to the writer, in index order.
void ReadWorkingFileBlocks(ConversionJob& job, Host& host, const std::string& cpName,
                           const std::string& compoundName);

}  // namespace pamiro
