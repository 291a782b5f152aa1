#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/Choices.h"

namespace pamiro {

class Host;
class StagedDestination;
struct ConversionJob;

enum class RunOutcome { Finished, Failed, Interrupted, Refused };

struct StagedRunOptions {
    // Called when the run finished without failure, before its files are
    // moved into place: it may say more, fail the run (job.Report.Failed) and
    // name files of the destination to take away in the same step.
    std::function<std::vector<std::string>(const StagedDestination&)> BeforeCommit;
    // Told after the moves about the program's own leftovers, which is no
    // warning about the run; by default a warning box of the run's host.
    std::function<void(const std::string& text, const std::string& title)> Notice;
};

struct StagedRunResult {
    RunOutcome Outcome = RunOutcome::Failed;
    std::vector<std::string> Outputs;  // the files moved into place, in the order written
    std::size_t Removed = 0;           // files of alsoRemove taken away
};

// One conversion into job.DestinationDir, all or nothing, for every front end:
// the run writes into a staging folder inside the destination, and its files
// are moved into place only when the run finished without failure. A failed
// or interrupted run (ConversionInterrupted from the host) leaves the
// destination exactly as it was, the staging folder taken away. job.Report
// and the host's messages tell the rest.
StagedRunResult RunConversionStaged(ConversionJob& job, Host& host, SourceKind kind,
                                    const std::string& cp, const StagedRunOptions& options = {});

}  // namespace pamiro
