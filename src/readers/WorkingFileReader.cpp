#include "readers/WorkingFileReader.h"

#include "output/BlockWriter.h"
#include "readers/CompoundFrame.h"
#include "readers/IndexEntry.h"
#include "run/ConversionJob.h"
#include "core/Host.h"
#include "core/Paths.h"

namespace pamiro {

void ReadWorkingFileCompounds(ConversionJob& job, Host& host, const std::string& cpName,
                              int workingFileNumber) {
    const std::string path = JoinPath(JoinPath(job.SourceDir, cpName), cpName + ".O");
    if (FileExists(path)) job.CompoundObjectFileNumber = job.Files.OpenInput(path);
    if (job.CompoundObjectFileNumber == 0) {
        job.Report.Warnings += 1;
        host.ShowMessage(MessageIcon::Warning, cpName + ".O no encontrado",
                         "Pamiro - Working File - Compound");
        return;
    }
    InputFile& index = job.Files.Input(job.CompoundObjectFileNumber);
    long long invalid = 0;
    while (!index.AtEnd()) {
        const IndexEntryValue entry = ReadIndexEntry(index, job.PlatformIndex);
        host.SetStatus(1, entry.Name);
        if (entry.Name.empty()) continue;
        const std::uint32_t offset = UsableRecordOffset(entry.RecordOffset, invalid);
        StartCompound(job, entry.Name);
        WriteBlockDefinition(job, host, offset, workingFileNumber, entry.Name);
        ReadWorkingFileBlocks(job, host, cpName, entry.Name);
        EndCompound(job);
    }
    ReportInvalidOffsets(job, host, path, invalid);
}

void ReadWorkingFileBlocks(ConversionJob& job, Host& host, const std::string& cpName,
                           const std::string& compoundName) {
    std::string path;
    if (IsSafeFileName(compoundName)) {
        path = JoinPath(JoinPath(job.SourceDir, cpName), compoundName + ".O");
        if (FileExists(path)) job.BlockObjectFileNumber = job.Files.OpenInput(path);
    }
    if (job.BlockObjectFileNumber == 0) {
        job.Report.Warnings += 1;
        host.ShowMessage(MessageIcon::Warning, compoundName + ".O no encontrado",
                         "Pamiro -Working File - Bloque");
        return;
    }
    InputFile& index = job.Files.Input(job.BlockObjectFileNumber);
    long long invalid = 0;
    while (!index.AtEnd()) {
        host.ProcessPendingEvents();
        const IndexEntryValue entry = ReadIndexEntry(index, job.PlatformIndex);
        WriteBlockDefinition(job, host, UsableRecordOffset(entry.RecordOffset, invalid),
                             job.WorkingFileNumber, compoundName);
    }
    job.Files.Close(job.BlockObjectFileNumber);
    job.BlockObjectFileNumber = 0;
    ReportInvalidOffsets(job, host, path, invalid);
}

}  // namespace pamiro
