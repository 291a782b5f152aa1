#include "readers/CompoundFrame.h"

#include "output/OutputFormats.h"
#include "run/ConversionJob.h"
#include "core/Paths.h"

namespace pamiro {

void StartCompound(ConversionJob& job, const std::string& compoundName) {
    if (job.Observer != nullptr) job.Observer->CompoundStarted(compoundName);
    if (job.DestinationKind != kDestinationFoxCae) return;
    job.CompoundCount += 1;
    job.Files.Output(job.CmpListFileNumber).WriteLine(CompoundListLine(compoundName, job.CompoundCount));
    job.CompoundFilePath = JoinPath(job.DestinationDir, NumberedFileName("cmp", job.CompoundCount));
    job.CompoundFileNumber = job.Files.CreateOutput(job.CompoundFilePath);
}

void EndCompound(ConversionJob& job) {
    job.Report.CompoundsConverted += 1;
    if (job.DestinationKind != kDestinationFoxCae) return;
    OutputFile& out = job.Files.Output(job.CompoundFileNumber);
    out.WriteLine(kFoxEndLine);
    out.WriteLine(FoxRevisionLine(job.RevisionCode));
    job.Files.Close(job.CompoundFileNumber);
    job.CompoundFileNumber = 0;
}

}  // namespace pamiro
