#pragma once

#include <string>
#include <vector>

#include "core/Folders.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {

// A whole conversion on folders in memory: the source tree, the program
// folder (data files "ver20_620.dat" / "ver51_620.dat", base sources) and the
// destination. Tests fill the folders, run, and read the outputs.
struct MemoryRun {
    MemoryInputFolder Source, Program;
    MemoryOutputFolder Out;
    ConversionJob Job;
    RecordingHost Host;

    // Both data files with the same types, and a base source for DEP.
    void Data(const std::vector<TypeSpec>& types) {
        Program.Files["ver20_620.dat"] = EncodeDataFile(types, false);
        Program.Files["ver51_620.dat"] = EncodeDataFile(types, true);
    }
    // Runs as the request check would leave the job (version "620").
    void Run(SourceKind kind, Platform platform, DestinationKind destination,
             const std::string& cp = "CP6001") {
        Job.PlatformIndex = platform;
        Job.DestinationKind = destination;
        Job.CompoundCount = Job.SourceFileCount = 0;
        const std::string data = std::string(TraitsOf(platform).DataFilePrefix) + "620.dat";
        RunConversionIn(Job, Host, kind, cp, {Source, Out, Program, data});
    }
    std::string File(const std::string& name) const {
        const auto it = Out.Files.find(name);
        return it == Out.Files.end() ? "<missing>" : it->second;
    }
    std::string Messages() const { return Host.MessageLines(); }
};

inline constexpr Platform kPlatforms[] = {Platform::Pw, Platform::Aw51, Platform::Aw70};

}  // namespace pamiro::testing
