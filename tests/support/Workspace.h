#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/RequestCheck.h"
#include "run/ConversionJob.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {

// A temporary installation folder ("data"), source folder ("src") and
// destination folder ("out"), and a way to run a whole request through the
// check and the driver as the front ends do.
class Workspace {
  public:
    Workspace() {
        fs::create_directories(Data());
        fs::create_directories(Src());
        fs::create_directories(Out());
    }

    fs::path Data() const { return temp.Path() / "data"; }
    fs::path Src() const { return temp.Path() / "src"; }
    fs::path Out() const { return temp.Path() / "out"; }
    std::string OutFile(const std::string& name) const { return ReadFile(Out() / name); }
    bool OutExists(const std::string& name) const { return fs::exists(Out() / name); }

    // Writes ver20_620.dat and ver51_620.dat with the same types.
    void WriteDataFiles(const std::vector<TypeSpec>& types) const {
        WriteFile(Data() / "ver20_620.dat", EncodeDataFile(types, false));
        WriteFile(Data() / "ver51_620.dat", EncodeDataFile(types, true));
    }

    struct Result {
        std::unique_ptr<ConversionJob> Job = std::make_unique<ConversionJob>();
        RecordingHost Host;
        bool Started = false;
    };

    // Version "620"; platform, source and destination as list indexes.
    Result Run(const std::string& cp, int platform, int source, int destination) const {
        Result result;
        result.Job->ProgramDir = Data().string();
        result.Job->VersionTable = DefaultVersionTable();
        ConversionRequest request{
            cp, platform, 4, source, destination, Src().string(), Out().string()};
        result.Started = !CheckRequest(request, *result.Job, result.Host);
        if (result.Started) RunAcceptedRequest(request, *result.Job, result.Host);
        return result;
    }

    TempDir temp;
};

}  // namespace pamiro::testing
