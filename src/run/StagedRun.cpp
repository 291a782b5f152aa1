#include "run/StagedRun.h"

#include <optional>

#include "core/FileError.h"
#include "core/Host.h"
#include "core/Interrupt.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"
#include "run/Staging.h"

namespace pamiro {

namespace {
constexpr const char* kDestinationTitle = "Pamiro - Destino";
}  // namespace

StagedRunResult RunConversionStaged(ConversionJob& job, Host& host, SourceKind kind,
                                    const std::string& cp, const StagedRunOptions& options) {
    const auto notice = [&](const std::string& text) {
        if (options.Notice) {
            options.Notice(text, kDestinationTitle);
        } else {
            host.ShowMessage(MessageIcon::Warning, text, kDestinationTitle);
        }
    };
    StagedRunResult result;
    DiskOutputFolder disk(job.DestinationDir);
    std::optional<StagedDestination> staged;
    try {
        staged.emplace(disk);
    } catch (const DestinationBusy&) {
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical, "Otra conversión está escribiendo en este destino",
                         kDestinationTitle);
        return result;
    } catch (const FileError& error) {
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical,
                         "No se puede crear la carpeta de trabajo " + error.Path() + ": " +
                             ErrorText(error.ErrorNumber()),
                         kDestinationTitle);
        return result;
    }
    for (const std::string& name : staged->KeptFolders()) {
        host.ShowMessage(MessageIcon::Warning,
                         "La carpeta de trabajo " + name +
                             " guarda archivos del destino que una conversión no pudo reponer; "
                             "revísela",
                         kDestinationTitle);
    }
    job.StagedDestination = &*staged;
    try {
        RunConversion(job, host, kind, cp);
        if (InterruptionSignal() != 0) throw ConversionInterrupted{};
        std::vector<std::string> remove;
        if (!job.Report.Failed && options.BeforeCommit) remove = options.BeforeCommit(*staged);
        if (!job.Report.Failed) {
            // The moves are part of the run: the window stays frozen, and a
            // close answered Yes meanwhile undoes them.
            job.ConversionIdle = false;
            host.FreezeWindow();
            try {
                staged->Commit(host, remove);
            } catch (...) {
                job.ConversionIdle = true;
                host.RestoreWindow();
                throw;
            }
            job.ConversionIdle = true;
            host.RestoreWindow();
            result.Outputs = staged->Written();
            result.Removed = remove.size();
            result.Outcome = RunOutcome::Finished;
        }
    } catch (const ConversionInterrupted&) {
        result.Outcome = RunOutcome::Interrupted;
    } catch (const FileError& error) {
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical,
                         "No se puede escribir el archivo " + error.Path() + ": " +
                             ErrorText(error.ErrorNumber()),
                         kDestinationTitle);
    }
    job.StagedDestination = nullptr;
    staged->Discard();
    // Told after the moves: a run that fails leaves them where they are.
    for (const std::string& name : staged->StaleFolders()) {
        notice("Se ha eliminado la carpeta de trabajo " + name +
               " de una conversión que no terminó");
    }
    for (const std::string& name : staged->UnremovedFolders()) {
        notice("No se puede eliminar la carpeta de trabajo " + disk.PathOf(name) +
               "; elimínela a mano");
    }
    return result;
}

}  // namespace pamiro
