#pragma once

#include <string>

namespace pamiro {

class Host;
struct ConversionJob;

// One conversion of one CP, after the request check has filled SourceDir,
// DataFilePath, DestinationKind, PlatformIndex and reset the counters.
// sourceKind: 0 Working File, 1 Save All, anything else converts nothing.
// job.Report tells what happened; Report.Failed when the run failed or lost
// output. ConversionInterrupted passes through after every file is closed.
void RunConversion(ConversionJob& job, Host& host, int sourceKind, const std::string& cpName);

// The closing report of blocks left out because the data file lacks their
// type; empty when there were none.
std::string UnknownTypeReport(const ConversionJob& job);

}  // namespace pamiro
