#include "run/Destination.h"

#include <cstdio>

#include "output/OutputFormats.h"
#include "run/ConversionJob.h"
#include "core/Paths.h"

namespace pamiro {

namespace {
std::string CmpListPath(const ConversionJob& job) { return JoinPath(job.DestinationDir, "cmp_list"); }
std::string SrcListPath(const ConversionJob& job) { return JoinPath(job.DestinationDir, "src_list"); }
std::string ScriptPath(const ConversionJob& job, const std::string& cpName) {
    return JoinPath(job.DestinationDir, cpName + ".cmd");
}
}  // namespace

void OpenDestination(ConversionJob& job, const std::string& cpName) {
    if (job.DestinationKind == kDestinationFoxCae) {
        job.CmpListFileNumber = job.Files.CreateOutput(CmpListPath(job));
        job.SrcListFileNumber = job.Files.CreateOutput(SrcListPath(job));
    } else {
        job.CommandFileNumber = job.Files.CreateOutput(ScriptPath(job, cpName));
        job.Files.Output(job.CommandFileNumber).WriteLine(IccOpenLine(cpName));
    }
}

void FinishDestination(ConversionJob& job, const std::string& cpName) {
    if (job.DestinationKind == kDestinationFoxCae) {
        job.Files.Close(job.SrcListFileNumber);
        job.SrcListFileNumber = 0;
        job.Files.Close(job.CmpListFileNumber);
        job.CmpListFileNumber = 0;
    } else {
        OutputFile& script = job.Files.Output(job.CommandFileNumber);
        script.WriteLine(IccCloseLine(cpName));
        script.WriteLine(kIccExitLine);
        job.Files.Close(job.CommandFileNumber);
        job.CommandFileNumber = 0;
    }
}

void DiscardDestination(ConversionJob& job, const std::string& cpName) {
    // The files go away, so what a close would report no longer matters.
    if (job.DestinationKind == kDestinationFoxCae) {
        job.Files.Output(job.SrcListFileNumber).CloseQuietly();
        job.Files.Output(job.CmpListFileNumber).CloseQuietly();
        job.Files.Close(job.SrcListFileNumber);
        job.Files.Close(job.CmpListFileNumber);
        job.SrcListFileNumber = job.CmpListFileNumber = 0;
        if (!job.DryRun) {
            std::remove(CmpListPath(job).c_str());
            std::remove(SrcListPath(job).c_str());
        }
    } else {
        job.Files.Output(job.CommandFileNumber).CloseQuietly();
        job.Files.Close(job.CommandFileNumber);
        job.CommandFileNumber = 0;
        if (!job.DryRun) std::remove(ScriptPath(job, cpName).c_str());
    }
}

}  // namespace pamiro
