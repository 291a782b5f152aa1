#include "cli/VerifyRun.h"

#include "app/OutputSnapshot.h"
#include "app/SourceComparison.h"
#include "cli/CompareOutput.h"
#include "core/Console.h"
#include "core/FileError.h"
#include "core/Host.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

// The source was read once already, and its messages said: the second
// reading keeps quiet but for why it failed.
class QuietHost : public Host {
  public:
    void SetStatus(int, std::string_view) override {}
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind = MessageKind::Plain) override {
        if (icon == MessageIcon::Critical) failure = std::string(title) + ": " + std::string(text);
    }
    void ProcessPendingEvents() override {}
    void FreezeWindow() override {}
    void RestoreWindow() override {}
    std::string failure;
};

int Unverified(const std::string& where, const std::string& why) {
    PrintOut("Verificación fallida: %s: %s\n", where.c_str(), why.c_str());
    return 1;
}

}  // namespace

int VerifyWritten(const SourceSnapshot& source, const InputFolder& written, DestinationKind kind,
                  const std::string& cp, const std::string& where) {
    SourceSnapshot back;
    try {
        if (auto refused = ReadOutputSnapshot(written, kind, cp, back)) {
            return Unverified(where, "lo escrito no se puede leer: " + refused->Text());
        }
    } catch (const FileError& error) {
        return Unverified(
            where, "no se puede leer " + error.Path() + ": " + ErrorText(error.ErrorNumber()));
    }
    const Comparison comparison = CompareSnapshots(source, back);
    const std::string format(kDestinationKindLabels[IndexOf(kind)]);
    if (comparison.Same()) {
        PrintOut("Verificado: %s de %s en %s, leído de nuevo, sin diferencias con la fuente\n",
                 format.c_str(), cp.c_str(), where.c_str());
        return 0;
    }
    PrintOut(
        "Verificación fallida: lo escrito en %s difiere de lo leído de la fuente (un fallo del "
        "disco o de la transferencia):\n",
        where.c_str());
    PrintComparisonText(comparison, {cp, "fuente", "", "", "", ""},
                        {cp, "salida " + format, where, "", "", ""});
    return 1;
}

int VerifyConversion(const ConversionJob& run, SourceKind kind, const std::string& cp) {
    ConversionJob job;
    job.SourceDir = run.SourceDir;
    job.DestinationDir = run.DestinationDir;
    job.DataFilePath = run.DataFilePath;
    job.PlatformIndex = run.PlatformIndex;
    job.ProgramDir = run.ProgramDir;
    QuietHost host;
    SourceSnapshot source;
    ReadSnapshot(job, host, kind, cp, source);
    if (job.Report.Failed) {
        return Unverified(run.DestinationDir,
                          "la fuente no se puede leer de nuevo: " + host.failure);
    }
    const DiskInputFolder written(run.DestinationDir, false);
    return VerifyWritten(source, written, run.DestinationKind, cp, run.DestinationDir);
}

}  // namespace pamiro::cli
