#pragma once

#include <string>
#include <string_view>

#include "core/Choices.h"
#include "core/FileTable.h"
#include "core/Text.h"
#include "output/ParameterDataFile.h"

namespace pamiro {

inline bool IsSequenceBlockType(std::string_view type) {
    return type == "DEP" || type == "IND" || type == "MON" || type == "EXC";
}

struct BlockOutcome {
    bool TypeKnown = false;          // false: the data file lacks the type, nothing written
    bool LineBreaksBlanked = false;  // a CR or LF of the block's text was written as a blank
};

// Writes block definitions: with "FoxCAE Transfer" the NAME and TYPE lines and
// one line per parameter into the compound file; with "ICC Api" an ADD
// command, its TYPE and parameter lines and END into the script. Values come
// from the record in the order of the type's parameter names (after the two
// that name the record's own name and type).
class BlockWriter {
  public:
    BlockWriter(DestinationKind kind, TypeLookup& lookup) : kind_(kind), lookup_(lookup) {}
    BlockOutcome Write(OutputFile& out, const std::string& compound, const std::string& name,
                       const std::string& type, NulFields& values);

  private:
    DestinationKind kind_;
    TypeLookup& lookup_;
    std::string line_;  // one buffer for every line: a large CP has a million
};

}  // namespace pamiro
