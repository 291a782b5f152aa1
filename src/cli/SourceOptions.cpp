#include "cli/SourceOptions.h"

#include "app/ProgramFolder.h"
#include "cli/CliHost.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

void AddSourceOptions(CLI::App& command, SourceOptions& options) {
    command.add_option("--cp", options.Cp, "Letterbug del CP (6 caracteres)")->required();
    command
        .add_option("--platform", options.Platform,
                    "Plataforma: \"PW (Intel)\" | \"AW51\" | \"AW70\", 0 | 1 | 2, pw | aw51 | aw70")
        ->required();
    command
        .add_option("--ia-version", options.Version,
                    "Version de I/A: codigo (411, 423, 610, 611, 620) o su texto")
        ->required();
    command
        .add_option("--source", options.Source,
                    "Formato de la fuente: \"Working File\" | \"Save All\", wf | sa")
        ->required();
    command.add_option("--from", options.From, "Carpeta de la fuente")->required();
}

void AddDataDirOption(CLI::App& command, SourceOptions& options) {
    command.add_option("--data-dir", options.DataDir,
                       "Carpeta de los archivos de datos (por omision, la del programa)");
}

int PickVersion(ConversionJob& job, const std::string& wanted) {
    for (std::size_t i = 0; i < job.VersionTable.size(); ++i) {
        if (job.VersionTable[i].first == wanted || job.VersionTable[i].second == wanted) {
            return static_cast<int>(i);
        }
    }
    if (wanted.empty()) return -1;
    job.VersionTable.emplace_back(wanted, wanted);
    return static_cast<int>(job.VersionTable.size() - 1);
}

ConversionRequest PrepareRequest(const SourceOptions& options, ConversionJob& job) {
    job.ProgramDir = options.DataDir.empty() ? ProgramFolder() : options.DataDir;
    job.VersionTable = DefaultVersionTable();
    ConversionRequest request;
    request.CpNameText = options.Cp;
    request.PlatformIndex = ParsePlatform(options.Platform);
    request.VersionIndex = PickVersion(job, options.Version);
    request.SourceIndex = ParseSource(options.Source);
    request.SourceSelection = options.From;
    return request;
}

}  // namespace pamiro::cli
