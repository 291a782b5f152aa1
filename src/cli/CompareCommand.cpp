#include <unistd.h>

#include <cstdio>
#include <memory>
#include <set>

#include "app/OutputSnapshot.h"
#include "app/SourceComparison.h"
#include "app/SourceSnapshot.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/CompareOutput.h"
#include "cli/HtmlPage.h"
#include "cli/ReportText.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"
#include "core/FileError.h"
#include "core/Folders.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

struct CompareOptions : SourceOptions {
    std::string WithSource, WithFrom, WithCp, WithPlatform, WithVersion;
    std::vector<std::string> Ignore;
    bool Json = false, Csv = false;
    std::string CsvSeparator = ",", Html;
};

// One side from its request check to its snapshot. Its messages on stderr
// say which side they come from.
class Side {
  public:
    Side(const SourceOptions& options, bool second)
        : options_(options),
          second_(second),
          output_(OutputSourceOf(options)),
          host_(isatty(STDERR_FILENO) != 0) {
        host_.SetMessagePrefix(second ? "(segunda fuente) " : "(primera fuente) ");
    }

    // False when the request is refused (printed, and with json answered).
    bool Check(bool json) {
        request_ = PrepareRequest(options_, job_);
        request_.DestinationIndex = IndexOf(DestinationKind::FoxCae);
        std::string autoNote;
        // An output names its own parameters: no data file is needed.
        if (auto refusal = output_ ? CheckOutputSource(request_)
                                   : CheckForRun(request_, job_, host_, &autoNote)) {
            PrintRefusal(*refusal);
            Said();
            if (json) {
                nlohmann::ordered_json answer = RefusalJson(*refusal);
                answer["side"] = Which();
                PrintOut("%s\n", JsonText(answer).c_str());
            }
            return false;
        }
        if (!autoNote.empty()) PrintErr("%sPlataforma: %s\n", Prefix(), autoNote.c_str());
        return true;
    }

    // False when the read failed (said as convert says it).
    bool Read(bool json) {
        if (output_) return ReadOutput(json);
        host_.SetWorkingFileFolder(JoinPath(job_.SourceDir, request_.CpNameText));
        const SourceKind kind = *SourceKindFromIndex(request_.SourceIndex);
        host_.SetSource(
            {job_.SourceDir, request_.CpNameText, kind, true, second_ ? "--with-" : "--"});
        ReadSnapshot(job_, host_, kind, request_.CpNameText, snapshot_, &inputs_);
        if (!job_.Report.Failed) return true;
        return Failed(json, host_.LastCriticalTitle(), host_.LastCriticalText());
    }

    CompareSide Description() const {
        const int source = output_ ? 2 + IndexOf(*output_) : request_.SourceIndex;
        return {request_.CpNameText,
                SourceName(source),
                options_.From,
                PlatformName(request_.PlatformIndex),
                job_.VersionTable[static_cast<std::size_t>(request_.VersionIndex)].first,
                output_ ? "ninguno: la salida nombra los parámetros" : job_.DataFilePath};
    }
    bool IsOutput() const { return output_.has_value(); }
    int PlatformIndex() const { return request_.PlatformIndex; }
    const std::vector<InputRead>& Inputs() const { return inputs_.Inputs(); }
    // Where a page may not go: inside this side's source, over its data files.
    ReportGuards Guards() const { return {options_.From, {}, job_.ProgramDir}; }
    const SourceSnapshot& Snapshot() const { return snapshot_; }
    // Every parameter name of this side's data file (of an output, the names
    // its lines give).
    std::set<std::string> ParameterNamesOffered() const {
        if (output_) {
            std::set<std::string> names;
            for (const auto& [type, list] : snapshot_.Types) {
                names.insert(list.begin() + 2, list.end());
            }
            for (const auto& compound : snapshot_.Compounds) {
                for (const auto& block : compound.Blocks) {
                    if (block.Names) names.insert(block.Names->begin() + 2, block.Names->end());
                }
            }
            return names;
        }
        const DiskInputFolder program(job_.ProgramDir, true);
        return DataFileParameterNames(program, DataFileName(),
                                      *PlatformFromIndex(request_.PlatformIndex));
    }

  private:
    bool ReadOutput(bool json) {
        const DiskInputFolder folder(options_.From, false);
        try {
            const auto refused =
                ReadOutputSnapshot(folder, *output_, request_.CpNameText, snapshot_);
            if (!refused) return true;
            return Failed(json, kOutputTitle, refused->Text(), true);
        } catch (const FileError& error) {
            return Failed(json, kOutputTitle,
                          "No se puede leer el archivo " + error.Path() + ": " +
                              ErrorText(error.ErrorNumber()),
                          true);
        }
    }
    bool Failed(bool json, const std::string& title, const std::string& text, bool print = false) {
        if (print) PrintErr("%s%s: %s\n", Prefix(), title.c_str(), text.c_str());
        Said();
        if (json) {
            const nlohmann::ordered_json answer{
                {"refused", false},
                {"failed", true},
                {"side", Which()},
                {"reason", {{"title", UserText(title)}, {"text", UserText(text)}}}};
            PrintOut("%s\n", JsonText(answer).c_str());
        }
        return false;
    }
    static constexpr const char* kOutputTitle = "Pamiro - Salida";
    const char* Prefix() const { return second_ ? "(segunda fuente) " : "(primera fuente) "; }
    const char* Which() const { return second_ ? "second" : "first"; }
    void Said() const {
        PrintErr(second_ ? "  (segunda fuente: --with-source, --with-from)\n"
                         : "  (primera fuente: --source, --from)\n");
    }
    std::string DataFileName() const { return FileNameOf(job_.DataFilePath); }

    const SourceOptions& options_;
    bool second_;
    std::optional<DestinationKind> output_;
    CliHost host_;
    ConversionJob job_;
    ConversionRequest request_;
    SourceSnapshot snapshot_;
    InputLog inputs_;
};

// The names --ignore gives, as the data files spell them. A name neither
// data file has is a usage error: a typo would otherwise hide nothing and
// still say "Iguales".
std::set<std::string> IgnoredNames(const std::vector<std::string>& given, const Side& a,
                                   const Side& b) {
    std::vector<std::string> wanted;
    for (const std::string& item : given) {
        std::string name = TrimBlanks(item);
        if (!name.empty()) wanted.push_back(std::move(name));
    }
    if (wanted.empty()) return {};
    std::set<std::string> offered = a.ParameterNamesOffered();
    offered.merge(b.ParameterNamesOffered());
    std::vector<std::string> unknown;
    const std::set<std::string> ignored = MatchIgnoringCase(wanted, offered, unknown);
    if (!unknown.empty()) {
        std::string list;
        for (const std::string& name : unknown) list += (list.empty() ? "" : ", ") + name;
        throw CLI::ValidationError(
            "--ignore",
            std::string(unknown.size() == 1 ? "parámetro" : "parámetros") +
                " que no tiene el archivo de datos de ninguna de las dos fuentes: " + list);
    }
    return ignored;
}

// The compounds on both sides that no difference or note names, in the
// first side's order.
std::vector<UnchangedCompound> UnchangedCompounds(const Comparison& c, const SourceSnapshot& a,
                                                  const SourceSnapshot& b) {
    std::set<std::string> named, second;
    for (const Difference& d : c.Differences) named.insert(d.Compound);
    for (const auto& note : c.ComparedByPosition) named.insert(note.Compound);
    for (const CompoundSnapshot& compound : b.Compounds) second.insert(compound.Name);
    std::vector<UnchangedCompound> unchanged;
    for (const CompoundSnapshot& compound : a.Compounds) {
        if (!named.count(compound.Name) && second.count(compound.Name)) {
            unchanged.push_back({compound.Name, compound.Blocks.size()});
        }
    }
    return unchanged;
}

// The page's place, checked before either side is read; empty when it may
// be written (or none was asked for).
std::string PagePlaceRefusal(const std::string& page, const Side& a, const Side& b) {
    if (page.empty()) return {};
    std::string refusal = PageRefusal(page, a.Guards());
    return refusal.empty() ? PageRefusal(page, b.Guards()) : refusal;
}

int RunCompare(const CompareOptions& options) {
    Side a(options, false);
    if (!a.Check(options.Json)) return 3;
    SourceOptions second = options;
    second.Source = options.WithSource;
    second.From = options.WithFrom;
    if (!options.WithCp.empty()) second.Cp = options.WithCp;
    if (!options.WithVersion.empty()) second.Version = options.WithVersion;
    // With auto, the second side takes the platform the first side's index chose.
    if (!options.WithPlatform.empty()) {
        second.Platform = options.WithPlatform;
    } else if (options.Platform == "auto" && !a.IsOutput()) {
        second.Platform = std::to_string(a.PlatformIndex());
    }
    Side b(second, true);
    if (!b.Check(options.Json)) return 3;
    // An output's parameter names are known once it is read.
    const bool namesRead = a.IsOutput() || b.IsOutput();
    std::set<std::string> ignored;
    if (!namesRead) ignored = IgnoredNames(options.Ignore, a, b);
    if (const std::string refusal = PagePlaceRefusal(options.Html, a, b); !refusal.empty()) {
        PrintErr("Pamiro - Página: %s\n", refusal.c_str());
        return 3;
    }
    if (!a.Read(options.Json) || !b.Read(options.Json)) return 3;
    if (namesRead) ignored = IgnoredNames(options.Ignore, a, b);

    const Comparison comparison = CompareSnapshots(a.Snapshot(), b.Snapshot(), ignored);
    if (options.Json) {
        PrintComparisonJson(comparison, a.Description(), b.Description());
    } else if (options.Csv) {
        PrintComparisonCsv(comparison, options.CsvSeparator);
    } else {
        PrintComparisonText(comparison, a.Description(), b.Description());
    }
    if (!options.Html.empty()) {
        const CompareSide sideA = a.Description(), sideB = b.Description();
        const ComparePageFacts facts{{&sideA, &sideB},
                                     {&a.Inputs(), &b.Inputs()},
                                     UnchangedCompounds(comparison, a.Snapshot(), b.Snapshot()),
                                     ignored};
        const std::string failure = WritePage(options.Html, ComparisonPage(comparison, facts));
        if (!failure.empty()) {
            PrintErr("Pamiro - Página: %s\n", failure.c_str());
            return 3;
        }
    }
    return comparison.Same() ? 0 : 1;
}

}  // namespace
void AddCompareCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<CompareOptions>();
    CLI::App* compare = app.add_subcommand(
        "compare",
        "Compara dos fuentes de un CP parámetro a parámetro, sin escribir nada; una fuente puede "
        "ser la salida de una conversión (foxcae, icc)");
    compare->footer(
        "Sale con 0 si las fuentes son iguales, 1 si difieren, 2 por un error de uso y 3 si una "
        "fuente se rechaza o su lectura falla (en una salida, una línea que no sigue su formato, "
        "nombrada con su archivo y su número).");
    AddSourceOptions(*compare, *options, true);
    compare
        ->add_option("--with-source", options->WithSource,
                     std::string("Formato de la segunda fuente: wf | sa") + kOutputSourceHelp)
        ->required()
        ->type_name("FORMATO")
        ->check(SourceChoice(true));
    compare->add_option("--with-from", options->WithFrom, "Carpeta de la segunda fuente")
        ->required()
        ->type_name("CARPETA");
    compare->add_option("--with-cp", options->WithCp, "CP de la segunda fuente (por omisión, --cp)")
        ->type_name("CP");
    compare
        ->add_option(
            "--with-platform", options->WithPlatform,
            "Plataforma de la segunda fuente (por omisión, --platform; con auto, la elegida "
            "para la primera)")
        ->type_name("PLATAFORMA")
        ->check(PlatformChoice());
    compare
        ->add_option("--with-ia-version", options->WithVersion,
                     "Versión de I/A de la segunda fuente (por omisión, --ia-version)")
        ->type_name("VERSIÓN");
    AddDataDirOption(*compare, *options);
    compare->add_flag("--json", options->Json, "Salida en un documento JSON");
    compare->add_flag(
        "--csv", options->Csv,
        "Salida CSV (UTF-8 con BOM): una fila por diferencia: compuesto, bloque, tipo, "
        "parámetro, valor en cada fuente, diferencia");
    AddCsvSeparatorOption(*compare, options->CsvSeparator);
    compare
        ->add_option("--html", options->Html,
                     "Escribe además la comparación en una página HTML para personas (un solo "
                     "archivo que se abre sin conexión y se imprime bien); no dentro de la "
                     "carpeta de una fuente")
        ->type_name("ARCHIVO")
        ->check(NotEmpty("el archivo de la página"));
    compare
        ->add_option(
            "--ignore", options->Ignore,
            "Parámetros que no se comparan, separados por comas (p. ej. PERIOD,PHASE), sin "
            "distinguir mayúsculas y minúsculas; uno que no tiene el archivo de datos de "
            "ninguna fuente es un error")
        ->delimiter(',')
        ->type_name("PARÁMETROS");
    compare->callback([options, &exitCode] {
        RefuseJsonWithCsv(options->Json, options->Csv);
        RefuseSeparatorWithoutCsv(options->CsvSeparator, options->Csv);
        exitCode = RunCompare(*options);
    });
}

}  // namespace pamiro::cli
