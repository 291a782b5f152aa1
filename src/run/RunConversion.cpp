#include "run/RunConversion.h"

#include <exception>

#include "readers/SaveAllReader.h"
#include "readers/WorkingFileReader.h"
#include "run/ConversionJob.h"
#include "run/Destination.h"
#include "core/Host.h"
#include "core/Paths.h"

namespace pamiro {

namespace {

void ResetHandles(ConversionJob& job) {
    job.WorkingFileNumber = job.CmpListFileNumber = job.SrcListFileNumber = 0;
    job.CommandFileNumber = job.CompoundObjectFileNumber = job.BlockObjectFileNumber = 0;
    job.CompoundFileNumber = 0;
}

void RunWorkingFile(ConversionJob& job, Host& host, const std::string& cpName) {
    const std::string mainFile = JoinPath(JoinPath(job.SourceDir, cpName), cpName + ".wf");
    if (!FileExists(mainFile)) {
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical, cpName + ".wf no se encuentra",
                         "Pamiro - Working File");
        return;
    }
    OpenDestination(job, cpName);
    job.WorkingFileNumber = job.Files.OpenInput(mainFile);
    if (job.WorkingFileNumber == 0) {
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical, cpName + ".wf no se puede leer",
                         "Pamiro - Working File");
    } else {
        char code[4];
        job.Files.Input(job.WorkingFileNumber).ReadAt(0, code, sizeof code);
        job.RevisionCode.assign(code, sizeof code);
        ReadWorkingFileCompounds(job, host, cpName, job.WorkingFileNumber);
        job.Files.Close(job.CompoundObjectFileNumber);
        job.CompoundObjectFileNumber = 0;
        job.Files.Close(job.WorkingFileNumber);
        job.WorkingFileNumber = 0;
    }
    FinishDestination(job, cpName);
}

void RunSaveAll(ConversionJob& job, Host& host, const std::string& cpName) {
    OpenDestination(job, cpName);
    if (ScanSaveAll(job, host, cpName)) {
        job.Report.Failed = true;
        DiscardDestination(job, cpName);
    } else {
        FinishDestination(job, cpName);
    }
}

}  // namespace

std::string UnknownTypeReport(const ConversionJob& job) {
    const RunReport& report = job.Report;
    if (report.UnknownTypeBlocks == 0) return {};
    std::string text = std::to_string(report.UnknownTypeBlocks) +
                       " bloque(s) omitido(s): su tipo no esta en el archivo de datos: ";
    for (std::size_t i = 0; i < report.UnknownTypeNames.size(); ++i) {
        if (i > 0) text += ", ";
        text += report.UnknownTypeNames[i];
    }
    if (report.UnknownTypeBlocks > static_cast<long long>(report.UnknownTypeNames.size())) {
        text += ", ...";
    }
    return text;
}

void RunConversion(ConversionJob& job, Host& host, int sourceKind, const std::string& cpName) {
    job.Report = RunReport{};
    job.DataFile.Clear();  // a data file replaced between runs is read anew
    job.Files.DiscardOutput(job.DryRun);
    job.ConversionIdle = false;
    host.FreezeWindow();
    try {
        job.DestinationDir = StripTrailingSeparator(host.DestinationFolder());
        if (sourceKind == kSourceWorkingFile) {
            RunWorkingFile(job, host, cpName);
        } else if (sourceKind == kSourceSaveAll) {
            RunSaveAll(job, host, cpName);
        }
    } catch (const ConversionInterrupted&) {
        // The program ends now: whatever was written stays, every file closed.
        job.Files.CloseAll();
        ResetHandles(job);
        throw;
    } catch (const DestinationWriteError& error) {
        job.Files.CloseAll();
        ResetHandles(job);
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical, "No se puede escribir el archivo " + error.Path(),
                         "Pamiro - Destino");
    } catch (const std::exception& error) {
        job.Files.CloseAll();
        ResetHandles(job);
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical,
                         std::string("Error interno durante la conversion: ") + error.what(),
                         "Pamiro");
    }
    job.ConversionIdle = true;
    host.SetStatus(1, "Terminado");
    host.SetStatus(2, "");
    host.RestoreWindow();

    const std::string unknown = UnknownTypeReport(job);
    if (!unknown.empty()) host.ShowMessage(MessageIcon::Warning, unknown, "Pamiro - Bloques");
}

}  // namespace pamiro
