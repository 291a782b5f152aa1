#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/Choices.h"
#include "output/ParameterDataFile.h"
#include "run/RunObserver.h"

namespace pamiro {

class Host;
struct ConversionJob;
struct RunPlaces;

// One block as a conversion to "FoxCAE Transfer" would take it.
struct BlockSnapshot {
    std::string Name;
    std::string Type;
    bool TypeKnown = false;
    // Known type: one value per parameter of the type, as written (trimmed,
    // each CR or LF a blank). Unknown type: every string of the record after
    // name and type, up to the last one that is not empty, taken the same way.
    std::vector<std::string> Values;
    bool Sequence = false;
    bool SequenceSourceIsBase = false;
    std::string SequenceSourceName;  // "BLOCK.s" or "TYPE_base.s"; empty when neither exists
    // The bytes the conversion would copy (a base file's are shared).
    std::shared_ptr<const std::string> SequenceBytes;
};

struct CompoundSnapshot {
    std::string Name;
    std::vector<BlockSnapshot> Blocks;
};

// What one source holds, compounds and blocks in the order the run met them.
struct SourceSnapshot {
    std::vector<CompoundSnapshot> Compounds;
    // The parameter names of every known type met, from this side's data file.
    std::map<std::string, ParameterNames> Types;
    const ParameterNames* NamesOf(const std::string& type) const {
        const auto it = Types.find(type);
        return it == Types.end() ? nullptr : &it->second;
    }
};

// A block's values as the conversion writes them: for a known type one per
// name after the first two; for an unknown type, see BlockSnapshot::Values.
std::vector<std::string> ValuesAsWritten(const BlockSeen& block);

// Reads the source the request check has set in job exactly as a conversion
// does (same readers, same lookup, same messages through host), writing
// nothing. job.Report tells whether the run failed.
void ReadSnapshot(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                  SourceSnapshot& snapshot);
// The same on given folders (in memory for tests).
void ReadSnapshotIn(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                    const RunPlaces& places, SourceSnapshot& snapshot);

}  // namespace pamiro
