#pragma once

#include <string>

#include "app/SourceComparison.h"

namespace pamiro::cli {

// One side of a comparison as the user chose it (the user's own text).
struct CompareSide {
    std::string Cp, Source, Folder, Platform, Version, DataFile;
};

// Spanish, grouped by compound, then a one-line summary.
void PrintComparisonText(const Comparison& comparison, const CompareSide& first,
                         const CompareSide& second);
// The same as one JSON document.
void PrintComparisonJson(const Comparison& comparison, const CompareSide& first,
                         const CompareSide& second);
// One row per difference: compound, block, type, parameter, both values, kind.
void PrintComparisonCsv(const Comparison& comparison);

}  // namespace pamiro::cli
