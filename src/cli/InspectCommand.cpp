#include <unistd.h>

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/RequestCheck.h"
#include "app/SourceSnapshot.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/ReportText.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"
#include "run/RunObserver.h"

namespace pamiro::cli {

namespace {

struct InspectOptions : SourceOptions {
    bool Json = false;
    bool Parameters = false, Csv = false;
};

// (name, value) of each parameter a block's lines get.
using NamedValues = std::vector<std::pair<std::string, std::string>>;

struct SeenCompound {
    std::string Name;
    std::vector<BlockSeen> Blocks;
    std::vector<NamedValues> Parameters;  // with --parameters, one per block
};

// Collects what a dry run hands to the writer, compound by compound.
class Inspection : public RunObserver {
  public:
    void CompoundStarted(const std::string& name) override { Compounds.push_back({name, {}, {}}); }
    void BlockSeenInRun(const BlockSeen& block) override {
        if (Compounds.empty() || Compounds.back().Name != block.Compound) {
            Compounds.push_back({block.Compound, {}, {}});
        }
        Compounds.back().Blocks.push_back(block);
        if (!WithParameters) return;
        NamedValues& named = Compounds.back().Parameters.emplace_back();
        const std::vector<std::string> values = ValuesAsWritten(block);
        for (std::size_t j = 0; block.Names != nullptr && j < values.size(); ++j) {
            named.emplace_back((*block.Names)[j + 2], values[j]);
        }
    }
    bool WithParameters = false;
    std::vector<SeenCompound> Compounds;
};

struct Totals {
    long long Compounds = 0, Blocks = 0, Written = 0, UnknownType = 0;
    long long Sequence = 0, OwnSource = 0, BaseSource = 0, NoSource = 0;
};

Totals Count(const Inspection& inspection) {
    Totals t;
    t.Compounds = static_cast<long long>(inspection.Compounds.size());
    for (const SeenCompound& compound : inspection.Compounds) {
        for (const BlockSeen& block : compound.Blocks) {
            ++t.Blocks;
            ++(block.TypeKnown ? t.Written : t.UnknownType);
            if (!block.Sequence) continue;
            ++t.Sequence;
            if (block.SequenceSource.empty()) {
                ++t.NoSource;
            } else {
                ++(block.SequenceSourceIsBase ? t.BaseSource : t.OwnSource);
            }
        }
    }
    return t;
}

const char* const kPlatformNames[] = {"PW (Intel)", "AW51", "AW70"};
const char* const kSourceNames[] = {"Working File", "Save All"};

// Paths are usually UTF-8 already; only text that is not is taken as Latin-1.
std::string PathToUtf8(const std::string& path) {
    try {
        (void)nlohmann::json(path).dump();
        return path;
    } catch (const nlohmann::json::type_error&) {
        return Latin1ToUtf8(path);
    }
}

std::string Note(const BlockSeen& block) {
    std::string note;
    if (!block.TypeKnown) note = "tipo desconocido: se omite";
    if (block.Sequence) {
        if (!note.empty()) note += "; ";
        const std::string base = block.Type + "_base.s";
        if (block.SequenceSource.empty()) {
            note += "falta " + block.Name + ".s y no hay " + base + ": no se copia nada";
        } else if (block.SequenceSourceIsBase) {
            note += "falta " + block.Name + ".s: se copia " + base;
        } else {
            note += "fuente " + block.SequenceSource;
        }
    }
    return note;
}

void PrintText(const ConversionRequest& request, const ConversionJob& job,
               const Inspection& inspection, const Totals& t) {
    PrintOut("CP %s, %s, %s, versión %s\nArchivo de datos: %s\n", request.CpNameText.c_str(),
             kSourceNames[request.SourceIndex], kPlatformNames[request.PlatformIndex],
             job.VersionTable[static_cast<std::size_t>(request.VersionIndex)].first.c_str(),
             job.DataFilePath.c_str());
    for (const SeenCompound& compound : inspection.Compounds) {
        PrintOut("\nCompuesto %s\n", compound.Name.c_str());
        for (std::size_t i = 0; i < compound.Blocks.size(); ++i) {
            const BlockSeen& block = compound.Blocks[i];
            const std::string note = Note(block);
            if (note.empty()) {
                PrintOut("  %-12s %s\n", block.Name.c_str(), block.Type.c_str());
            } else {
                PrintOut("  %-12s %-8s %s\n", block.Name.c_str(), block.Type.c_str(), note.c_str());
            }
            if (!inspection.WithParameters) continue;
            for (const auto& [name, value] : compound.Parameters[i]) {
                if (value.empty()) {
                    PrintOut("      %s\n", name.c_str());
                } else {
                    PrintOut("      %-12s %s\n", name.c_str(), value.c_str());
                }
            }
        }
    }
    PrintOut(
        "\nTotales: %lld compuesto(s), %lld bloque(s): %lld se escriben, %lld de tipo "
        "desconocido; %lld de secuencia: %lld con su fuente, %lld con el fuente base, "
        "%lld sin fuente\n",
        t.Compounds, t.Blocks, t.Written, t.UnknownType, t.Sequence, t.OwnSource, t.BaseSource,
        t.NoSource);
}

void PrintJson(const ConversionRequest& request, const ConversionJob& job, const CliHost& host,
               const Inspection& inspection, const Totals& t) {
    nlohmann::ordered_json root;
    root["cp"] = Latin1ToUtf8(request.CpNameText);
    root["platform"] = kPlatformNames[request.PlatformIndex];
    root["version"] = job.VersionTable[static_cast<std::size_t>(request.VersionIndex)].first;
    root["source"] = kSourceNames[request.SourceIndex];
    root["dataFile"] = PathToUtf8(job.DataFilePath);
    root["refused"] = false;
    root["failed"] = job.Report.Failed;
    root["platformWarning"] = job.Report.PlatformWarning.empty()
                                  ? nlohmann::ordered_json(nullptr)
                                  : nlohmann::ordered_json(job.Report.PlatformWarning);
    if (job.Report.Failed) {
        root["reason"] = {{"title", PathToUtf8(host.LastCriticalTitle())},
                          {"text", PathToUtf8(host.LastCriticalText())}};
    }
    root["compounds"] = nlohmann::ordered_json::array();
    for (const SeenCompound& compound : inspection.Compounds) {
        nlohmann::ordered_json blocks = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < compound.Blocks.size(); ++i) {
            const BlockSeen& block = compound.Blocks[i];
            nlohmann::ordered_json entry{{"name", Latin1ToUtf8(block.Name)},
                                         {"type", Latin1ToUtf8(block.Type)},
                                         {"typeKnown", block.TypeKnown},
                                         {"sequence", block.Sequence}};
            if (block.Sequence) {
                entry["sequenceSource"] =
                    block.SequenceSource.empty()
                        ? nlohmann::ordered_json(nullptr)
                        : nlohmann::ordered_json(PathToUtf8(block.SequenceSource));
                entry["sequenceSourceIsBase"] = block.SequenceSourceIsBase;
            }
            if (inspection.WithParameters) {
                entry["parameters"] = nlohmann::ordered_json::array();
                for (const auto& [name, value] : compound.Parameters[i]) {
                    entry["parameters"].push_back(
                        {{"name", Latin1ToUtf8(name)}, {"value", Latin1ToUtf8(value)}});
                }
            }
            blocks.push_back(std::move(entry));
        }
        root["compounds"].push_back(
            {{"name", Latin1ToUtf8(compound.Name)}, {"blocks", std::move(blocks)}});
    }
    root["totals"] = {{"compounds", t.Compounds},   {"blocks", t.Blocks},
                      {"written", t.Written},       {"unknownType", t.UnknownType},
                      {"sequence", t.Sequence},     {"ownSource", t.OwnSource},
                      {"baseSource", t.BaseSource}, {"noSource", t.NoSource}};
    const std::string text = root.dump(2);
    PrintOut("%s\n", text.c_str());
}

// One row per block and parameter, for a spreadsheet.
void PrintParameterCsv(const Inspection& inspection) {
    std::string text(kUtf8Bom);
    text += CsvLine({"compuesto", "bloque", "tipo", "parámetro", "valor"});
    for (const SeenCompound& compound : inspection.Compounds) {
        for (std::size_t i = 0; i < compound.Blocks.size(); ++i) {
            const BlockSeen& block = compound.Blocks[i];
            for (const auto& [name, value] : compound.Parameters[i]) {
                text +=
                    CsvLine({Latin1ToUtf8(compound.Name), Latin1ToUtf8(block.Name),
                             Latin1ToUtf8(block.Type), Latin1ToUtf8(name), Latin1ToUtf8(value)});
            }
        }
    }
    WriteOut(text);
}

// A dry run of "FoxCAE Transfer" through the normal request check: the same
// readers as convert, nothing written anywhere.
int RunInspect(const InspectOptions& options) {
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = IndexOf(DestinationKind::FoxCae);
    Inspection inspection;
    inspection.WithParameters = options.Parameters || options.Csv;
    job.DryRun = true;
    job.Observer = &inspection;

    CliHost host(isatty(STDERR_FILENO) != 0);
    if (auto refusal = CheckForRun(request, job, host)) {
        PrintRefusal(*refusal);
        // A script parses every answer, a refusal too.
        if (options.Json) {
            nlohmann::ordered_json root{
                {"refused", true}, {"title", refusal->Title}, {"text", PathToUtf8(refusal->Text)}};
            if (!refusal->Detail.empty()) root["detail"] = PathToUtf8(refusal->Detail);
            PrintOut("%s\n", root.dump(2).c_str());
        }
        return 1;
    }
    host.SetWorkingFileFolder(JoinPath(job.SourceDir, request.CpNameText));
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    host.SetSource({job.SourceDir, request.CpNameText, kind, true});
    RunConversion(job, host, kind, request.CpNameText);
    const Totals totals = Count(inspection);
    if (options.Json) {
        PrintJson(request, job, host, inspection, totals);
    } else if (options.Csv) {
        PrintParameterCsv(inspection);
    } else {
        PrintText(request, job, inspection, totals);
    }
    return job.Report.Failed ? 1 : 0;
}

}  // namespace

void AddInspectCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<InspectOptions>();
    CLI::App* inspect = app.add_subcommand(
        "inspect", "Lista los compuestos y bloques que una conversión tomaría, sin escribir nada");
    AddSourceOptions(*inspect, *options);
    AddDataDirOption(*inspect, *options);
    inspect->add_flag("--json", options->Json,
                      "Salida en JSON, para otros programas (también si se rechaza)");
    inspect->add_flag("--parameters", options->Parameters,
                      "Lista también los parámetros de cada bloque, con su nombre y su valor");
    inspect->add_flag("--csv", options->Csv,
                      "Salida CSV (UTF-8 con BOM): una fila por bloque y parámetro: compuesto, "
                      "bloque, tipo, parámetro, valor");
    inspect->callback([options, &exitCode] {
        RefuseJsonWithCsv(options->Json, options->Csv);
        exitCode = RunInspect(*options);
    });
}

}  // namespace pamiro::cli
