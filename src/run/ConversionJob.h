#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/Choices.h"
#include "core/RunReport.h"
#include "run/RunObserver.h"

namespace pamiro {

class OutputFolder;

// The run's state. The request check fills the request part before each run;
// the driver owns the rest and hands each reader and writer what it uses.
struct ConversionJob {
    // Set by the request check before each run.
    std::string SourceDir;       // no trailing separator
    std::string DestinationDir;  // no trailing separator
    std::string DataFilePath;    // program folder + prefix + version code + ".dat"
    pamiro::DestinationKind DestinationKind = pamiro::DestinationKind::FoxCae;
    Platform PlatformIndex = Platform::Pw;
    long long CompoundCount = 0;    // numbering of the run's compound files
    long long SourceFileCount = 0;  // numbering of the run's source copies

    // Folder of the installation data (parameter data files, "_base.s").
    std::string ProgramDir;
    // (code, label) rows of the offered I/A Series versions.
    std::vector<std::pair<std::string, std::string>> VersionTable;

    // Set by the driver.
    std::string RevisionCode = "    ";
    bool ConversionIdle = true;
    RunReport Report;

    // Reads the source exactly as a conversion does but creates, writes and
    // deletes nothing in the destination (inspection).
    bool DryRun = false;
    RunObserver* Observer = nullptr;
    // Where RunConversion writes instead of DestinationDir itself (the
    // command line's staging folder); null for the window, which writes in place.
    OutputFolder* StagedDestination = nullptr;
};

}  // namespace pamiro
