#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/SourceSnapshot.h"

namespace pamiro {

enum class DifferenceKind {
    CompoundOnlyInFirst,
    CompoundOnlyInSecond,
    BlockOnlyInFirst,
    BlockOnlyInSecond,
    TypeChanged,           // First and Second hold the two types
    ValueChanged,          // a parameter's value
    ParameterOnlyInFirst,  // the other side's data file lacks the name
    ParameterOnlyInSecond,
    SequenceSourceChanged,  // First and Second name the source files
    RevisionCodeChanged,    // of a compound; First and Second hold the codes
};

struct Difference {
    DifferenceKind Kind;
    std::string Compound;
    std::string Block;      // empty for a compound on one side only
    std::string Type;       // the first side's, or the only side's
    std::string Parameter;  // the name (from the side that knows the type)
    std::string First, Second;
    // The type is unknown on a side: values were paired by their position.
    bool ByPosition = false;
};

struct ComparisonTotals {
    long long CompoundsCompared = 0;  // on both sides
    long long BlocksCompared = 0;     // on both sides
    long long CompoundsOnlyOneSide = 0;
    long long BlocksOnlyOneSide = 0;  // within compounds on both sides
    long long BlocksChanged = 0;      // type, a value or the sequence source
    long long ParametersChanged = 0;
    long long RevisionCodesChanged = 0;  // compounds whose closing line differs
};

// The differences grouped by compound: the first side's order, then the
// compounds of the second side alone; in a compound, its blocks likewise.
struct Comparison {
    std::vector<Difference> Differences;
    // Blocks on both sides whose type a side does not know: said, but no
    // difference of their own. Known on the other side, the values are paired
    // by position; unknown on both, nothing tells how many values the record
    // holds (the bytes after it belong to the next record or, in a Save All,
    // lead to the revision code), so only name, type and sequence source count.
    struct BlockRef {
        std::string Compound, Block, Type;
        bool ValuesCompared = true;
    };
    std::vector<BlockRef> ComparedByPosition;
    // Against a conversion's output: blocks of a type this side's data file
    // lacks, which the conversion leaves out by rule (no difference).
    std::vector<BlockRef> NotConverted;
    // False when a side is a command script, which carries neither.
    bool SourcesAndCodesCompared = true;
    ComparisonTotals Totals;
    bool Same() const { return Differences.empty(); }
};

// Matches compounds by name and blocks by compound and block name (the n-th
// of a repeated name with the n-th on the other side), never by position;
// order alone is no difference. Values are compared as the conversion would
// write them; parameters of a known type by name from each side's own data
// file. Parameters named in ignored are left out.
Comparison CompareSnapshots(const SourceSnapshot& first, const SourceSnapshot& second,
                            const std::set<std::string>& ignored = {});

// Every parameter name (after each list's first two) of a data file.
std::set<std::string> DataFileParameterNames(const InputFolder& program, const std::string& file,
                                             Platform platform);
// Each wanted name as the names spell it, without regard to ASCII case (all
// spellings that match); a name none matches goes to unknown.
std::set<std::string> MatchIgnoringCase(const std::vector<std::string>& wanted,
                                        const std::set<std::string>& names,
                                        std::vector<std::string>& unknown);

}  // namespace pamiro
