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

// The D2-style closing report of blocks whose type the data file lacks; empty
// when there were none.
std::string UnknownTypeReport(const ConversionJob& job);

}  // namespace pamiro
