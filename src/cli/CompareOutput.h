#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/SourceComparison.h"
#include "cli/StagedRun.h"

namespace pamiro::cli {

// One side of a comparison as the user chose it (the user's own text).
struct CompareSide {
    std::string Cp, Source, Folder, Platform, Version, DataFile;
};

// How the text and CSV name a kind of difference ("valor distinto").
const char* DifferenceLabel(DifferenceKind kind);

// The differences and notes of each compound, compounds in the order their
// first difference or note comes.
struct CompoundGroup {
    std::string Name;
    std::vector<const Difference*> Differences;
    std::vector<const Comparison::BlockRef*> ByPosition;
};
std::vector<CompoundGroup> Grouped(const Comparison& comparison);

// Spanish, grouped by compound, then a one-line summary.
void PrintComparisonText(const Comparison& comparison, const CompareSide& first,
                         const CompareSide& second);
// The same as one JSON document.
void PrintComparisonJson(const Comparison& comparison, const CompareSide& first,
                         const CompareSide& second);
// One row per difference: compound, block, type, parameter, both values, kind;
// fields separated by separator (one character).
void PrintComparisonCsv(const Comparison& comparison, const std::string& separator = ",");

// A compound on both sides without any difference, and its blocks.
struct UnchangedCompound {
    std::string Name;
    std::size_t Blocks = 0;
};
// Everything the page of a comparison shows besides the comparison itself.
struct ComparePageFacts {
    const CompareSide* Sides[2];
    const std::vector<InputRead>* Inputs[2];
    std::vector<UnchangedCompound> Unchanged;
    std::set<std::string> Ignored;
};
// The comparison as one self-contained HTML page for people.
std::string ComparisonPage(const Comparison& comparison, const ComparePageFacts& facts);

}  // namespace pamiro::cli
