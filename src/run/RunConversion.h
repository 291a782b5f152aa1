#pragma once

#include <string>

#include "core/Choices.h"
#include "core/Folders.h"

namespace pamiro {

class Host;
class TypeLookup;
struct ConversionJob;
struct RunReport;

// Where one run reads and writes.
struct RunPlaces {
    const InputFolder& Source;     // the source folder
    OutputFolder& Destination;     // the destination folder
    const InputFolder& Program;    // the data file and the base sources
    std::string DataFileName;      // inside Program
    TypeLookup* Lookup = nullptr;  // another parameter lookup (the benchmark's)
};

// One conversion of one CP, after the request check has filled the job's
// request part and reset its counters. job.Report tells what happened;
// Report.Failed when the run failed, lost output or could not read a source.
// ConversionInterrupted passes through after every file is closed.
void RunConversion(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                   TypeLookup* lookup = nullptr);
// The same on given folders (in memory for tests and fuzzers).
void RunConversionIn(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                     const RunPlaces& places);

// The closing report of blocks left out because the data file lacks their
// type; empty when there were none.
std::string UnknownTypeReport(const RunReport& report);

}  // namespace pamiro
