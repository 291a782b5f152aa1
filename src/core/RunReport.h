#pragma once

#include <string>
#include <vector>

namespace pamiro {

// What a run met that the user must hear about beyond the output files.
struct RunReport {
    bool Failed = false;  // refused at run time, scan failure, lost output, read error
    long long CompoundsConverted = 0;
    long long BlocksWritten = 0;
    long long SourcesCopied = 0;               // sequence blocks copied from their own ".s"
    long long BaseSourcesCopied = 0;           // ... from their type's "_base.s" instead
    std::vector<std::string> BaseSourceNames;  // "compound:block (TYPE_base.s)", first few
    long long UnknownTypeBlocks = 0;
    std::vector<std::string> UnknownTypeNames;  // "compound:block (TYPE)", first few
    long long InvalidOffsets = 0;
    long long MissingSequenceSources = 0;
    long long Warnings = 0;  // warning messages shown
    // The Working File's CP index fits another platform than the chosen one.
    std::string PlatformWarning;
    // That one platform, by its index, when a run that writes was refused for
    // it (-1 otherwise); a front end may say how to choose it.
    int FittingPlatformIndex = -1;
};

}  // namespace pamiro
