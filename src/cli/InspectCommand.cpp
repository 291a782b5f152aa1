#include <unistd.h>

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/OutputSnapshot.h"
#include "app/RequestCheck.h"
#include "app/SourceSnapshot.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/HtmlPage.h"
#include "cli/InspectHtml.h"
#include "cli/ReportText.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"
#include "core/FileError.h"
#include "core/Paths.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"
#include "run/RunObserver.h"

namespace pamiro::cli {

namespace {

using json = nlohmann::ordered_json;

struct InspectOptions : SourceOptions {
    bool Json = false;
    bool Parameters = false, Csv = false;
    std::string CsvSeparator = ",", Html;
};

// (name, value) of each parameter a block's lines get.
using NamedValues = std::vector<std::pair<std::string, std::string>>;

struct Totals {
    long long Compounds = 0, Blocks = 0, Written = 0, UnknownType = 0;
    long long Sequence = 0, OwnSource = 0, BaseSource = 0, NoSource = 0;
};

// What the answer is about: the request as checked, the run as it goes.
struct Subject {
    const ConversionRequest& Request;
    const ConversionJob& Job;
    const CliHost& Host;
    const std::string& Version() const {
        return Job.VersionTable[static_cast<std::size_t>(Request.VersionIndex)].first;
    }
};

// Writes the answer while the dry run reads the source, each block as it is
// met: a large CP's parameters, kept whole, would take hundreds of megabytes.
class Inspection : public RunObserver {
  public:
    Inspection(const Subject& subject, bool withParameters)
        : subject_(subject), withParameters_(withParameters) {}

    void CompoundStarted(const std::string& name) override { StartCompound(name); }
    void BlockSeenInRun(const BlockSeen& block) override {
        if (!started_ || compound_ != block.Compound) StartCompound(block.Compound);
        Count(block);
        named_.clear();
        if (withParameters_ && block.Names != nullptr) {
            const std::vector<std::string> values = ValuesAsWritten(block);
            for (std::size_t j = 0; j < values.size(); ++j) {
                named_.emplace_back((*block.Names)[j + 2], values[j]);
            }
        }
        WriteBlock(block, named_);
    }
    virtual void Begin() {}
    virtual void Finish() = 0;

  protected:
    virtual void WriteCompound(const std::string& name) = 0;
    virtual void WriteBlock(const BlockSeen& block, const NamedValues& named) = 0;
    const Subject& subject_;
    const bool withParameters_;
    Totals totals_;

  private:
    void StartCompound(const std::string& name) {
        started_ = true;
        compound_ = name;
        ++totals_.Compounds;
        WriteCompound(name);
    }
    void Count(const BlockSeen& block) {
        ++totals_.Blocks;
        ++(block.TypeKnown ? totals_.Written : totals_.UnknownType);
        if (!block.Sequence) return;
        ++totals_.Sequence;
        if (block.SequenceSource.empty()) {
            ++totals_.NoSource;
        } else {
            ++(block.SequenceSourceIsBase ? totals_.BaseSource : totals_.OwnSource);
        }
    }
    bool started_ = false;
    std::string compound_;
    NamedValues named_;
};

// Names are written as the source's bytes, as everywhere on the terminal.
class TextInspection : public Inspection {
  public:
    using Inspection::Inspection;
    void Begin() override {
        const ConversionRequest& request = subject_.Request;
        PrintOut("CP %s, %s, %s, versión %s\nArchivo de datos: %s\n", request.CpNameText.c_str(),
                 SourceName(request.SourceIndex).c_str(),
                 PlatformName(request.PlatformIndex).c_str(), subject_.Version().c_str(),
                 subject_.Job.DataFilePath.c_str());
    }
    void Finish() override {
        const Totals& t = totals_;
        PrintOut(
            "\nTotales: %lld compuesto(s), %lld bloque(s): %lld se escriben, %lld de tipo "
            "desconocido; %lld de secuencia: %lld con su fuente, %lld con el fuente base, "
            "%lld sin fuente\n",
            t.Compounds, t.Blocks, t.Written, t.UnknownType, t.Sequence, t.OwnSource, t.BaseSource,
            t.NoSource);
    }

  private:
    void WriteCompound(const std::string& name) override {
        PrintOut("\nCompuesto %s\n", name.c_str());
    }
    void WriteBlock(const BlockSeen& block, const NamedValues& named) override {
        const std::string note = BlockNote(block);
        if (note.empty()) {
            PrintOut("  %-12s %s\n", block.Name.c_str(), block.Type.c_str());
        } else {
            PrintOut("  %-12s %-8s %s\n", block.Name.c_str(), block.Type.c_str(), note.c_str());
        }
        for (const auto& [name, value] : named) {
            if (value.empty()) {
                PrintOut("      %s\n", name.c_str());
            } else {
                PrintOut("      %-12s %s\n", name.c_str(), value.c_str());
            }
        }
    }
};

// One row per block and parameter, for a spreadsheet; a block of a type the
// data file lacks has one row without parameter, so that none goes unseen.
class CsvInspection : public Inspection {
  public:
    CsvInspection(const Subject& subject, bool withParameters, std::string separator)
        : Inspection(subject, withParameters), separator_(std::move(separator)) {}
    void Begin() override {
        Write(std::string(kUtf8Bom) +
              CsvLine({"compuesto", "bloque", "tipo", "parámetro", "valor"}, separator_));
    }
    void Finish() override {}

  private:
    void WriteCompound(const std::string& name) override { compoundText_ = Latin1ToUtf8(name); }
    void WriteBlock(const BlockSeen& block, const NamedValues& named) override {
        if (!block.TypeKnown) {
            Write(
                CsvLine({compoundText_, Latin1ToUtf8(block.Name), Latin1ToUtf8(block.Type), "", ""},
                        separator_));
        }
        for (const auto& [name, value] : named) {
            Write(CsvLine({compoundText_, Latin1ToUtf8(block.Name), Latin1ToUtf8(block.Type),
                           Latin1ToUtf8(name), Latin1ToUtf8(value)},
                          separator_));
        }
    }
    static void Write(const std::string& text) { WriteOut(text); }
    std::string separator_;
    std::string compoundText_;
};

// Each line of text after the first indented by width blanks, so that a
// document dumped alone takes its place inside a larger one.
std::string Indented(const std::string& text, std::size_t width) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        out += c;
        if (c == '\n') out.append(width, ' ');
    }
    return out;
}

// The document a whole run would make, dumped with indent 2, written piece by
// piece. The fields before "compounds" say whether the run failed: they wait,
// with the compounds, until the run ends or the text waiting grows past
// kHeldBytes; a failure after that is said after "compounds".
class JsonInspection : public Inspection {
  public:
    using Inspection::Inspection;
    void Finish() override {
        CloseCompound();
        std::string tail = compounds_ == 0 ? "]" : "\n  ]";
        const bool failed = subject_.Job.Report.Failed;
        if (streaming_ && failed) {
            tail += ",\n  \"failed\": true,\n  \"reason\": " + Indented(JsonText(Reason()), 2);
        }
        const Totals& t = totals_;
        const json totals{{"compounds", t.Compounds},   {"blocks", t.Blocks},
                          {"written", t.Written},       {"unknownType", t.UnknownType},
                          {"sequence", t.Sequence},     {"ownSource", t.OwnSource},
                          {"baseSource", t.BaseSource}, {"noSource", t.NoSource}};
        held_ += tail + ",\n  \"totals\": " + Indented(JsonText(totals), 2) + "\n}\n";
        Release();
    }

  private:
    static constexpr std::size_t kHeldBytes = 1024 * 1024;

    void WriteCompound(const std::string& name) override {
        CloseCompound();
        held_ += compounds_++ == 0 ? "\n    {\n      \"name\": " : ",\n    {\n      \"name\": ";
        held_ += JsonText(json(Latin1ToUtf8(name))) + ",\n      \"blocks\": [";
        blocks_ = 0;
        open_ = true;
        if (held_.size() > kHeldBytes) Release();
    }
    void WriteBlock(const BlockSeen& block, const NamedValues& named) override {
        json entry{{"name", Latin1ToUtf8(block.Name)},
                   {"type", Latin1ToUtf8(block.Type)},
                   {"typeKnown", block.TypeKnown},
                   {"sequence", block.Sequence}};
        if (block.Sequence) {
            entry["sequenceSource"] =
                block.SequenceSource.empty() ? json(nullptr) : json(UserText(block.SequenceSource));
            entry["sequenceSourceIsBase"] = block.SequenceSourceIsBase;
        }
        if (withParameters_) {
            entry["parameters"] = json::array();
            for (const auto& [name, value] : named) {
                entry["parameters"].push_back(
                    {{"name", Latin1ToUtf8(name)}, {"value", Latin1ToUtf8(value)}});
            }
        }
        held_ += blocks_++ == 0 ? "\n        " : ",\n        ";
        held_ += Indented(JsonText(entry), 8);
        if (held_.size() > kHeldBytes) Release();
    }
    void CloseCompound() {
        if (!open_) return;
        held_ += blocks_ == 0 ? "]\n    }" : "\n      ]\n    }";
        open_ = false;
    }
    json Reason() const {
        return {{"title", UserText(subject_.Host.LastCriticalTitle())},
                {"text", UserText(subject_.Host.LastCriticalText())}};
    }
    // The fields before "compounds", as the run stands now.
    std::string Head() const {
        const ConversionRequest& request = subject_.Request;
        const ConversionJob& job = subject_.Job;
        json head;
        head["cp"] = UserText(request.CpNameText);
        head["platform"] = PlatformName(request.PlatformIndex);
        head["version"] = UserText(subject_.Version());
        head["source"] = SourceName(request.SourceIndex);
        head["dataFile"] = UserText(job.DataFilePath);
        head["refused"] = false;
        head["failed"] = job.Report.Failed;
        head["platformWarning"] = job.Report.PlatformWarning.empty()
                                      ? json(nullptr)
                                      : json(UserText(job.Report.PlatformWarning));
        if (job.Report.Failed) head["reason"] = Reason();
        std::string text = JsonText(head);
        text.resize(text.size() - 2);  // its closing "\n}"
        return text + ",\n  \"compounds\": [";
    }
    void Release() {
        if (!streaming_) held_.insert(0, Head());
        streaming_ = true;
        WriteOut(held_);
        held_.clear();
    }
    std::string held_;
    bool streaming_ = false, open_ = false;
    long long compounds_ = 0, blocks_ = 0;
};

std::unique_ptr<Inspection> InspectionFor(const InspectOptions& options, const Subject& subject) {
    const bool parameters = options.Parameters || options.Csv;
    if (options.Json) return std::make_unique<JsonInspection>(subject, parameters);
    if (options.Csv) {
        return std::make_unique<CsvInspection>(subject, parameters, options.CsvSeparator);
    }
    return std::make_unique<TextInspection>(subject, parameters);
}

// The page of --html, once the source was read whole.
int WriteInspectPage(const InspectOptions& options, const Subject& subject,
                     const InspectPage& page) {
    if (options.Html.empty()) return 0;
    const ConversionRequest& request = subject.Request;
    const CompareSide head{request.CpNameText, SourceName(request.SourceIndex),
                           options.From,       PlatformName(request.PlatformIndex),
                           subject.Version(),  subject.Job.DataFilePath};
    const std::string failure = WritePage(options.Html, page.Page(head));
    if (failure.empty()) return 0;
    PrintErr("Pamiro - Página: %s\n", failure.c_str());
    return 1;
}

// A conversion's output read back, listed as its source would be. A line
// that fits no rule refuses it, as a refused request is.
int InspectOutput(const InspectOptions& options, DestinationKind kind, ConversionJob& job,
                  ConversionRequest& request, const CliHost& host) {
    request.SourceIndex = 2 + IndexOf(kind);
    if (!PlatformFromIndex(request.PlatformIndex)) request.PlatformIndex = 3;
    job.DataFilePath = "ninguno: la salida nombra los parámetros";
    const DiskInputFolder folder(options.From, false);
    SourceSnapshot snapshot;
    std::optional<CliRefusal> refusal;
    try {
        if (auto refused = ReadOutputSnapshot(folder, kind, request.CpNameText, snapshot)) {
            refusal = CliRefusal{"Pamiro - Salida", refused->Text(), {}};
        }
    } catch (const FileError& error) {
        refusal = CliRefusal{
            "Pamiro - Salida",
            "No se puede leer el archivo " + error.Path() + ": " + ErrorText(error.ErrorNumber()),
            {}};
    }
    if (refusal) {
        PrintRefusal(*refusal);
        if (options.Json) PrintOut("%s\n", JsonText(RefusalJson(*refusal)).c_str());
        return 1;
    }
    const Subject subject{request, job, host};
    const std::unique_ptr<Inspection> inspection = InspectionFor(options, subject);
    InspectPage page;
    BothObservers both(*inspection, page);
    inspection->Begin();
    ReplaySnapshot(snapshot, folder, both);
    inspection->Finish();
    return WriteInspectPage(options, subject, page);
}

// A dry run of "FoxCAE Transfer" through the normal request check: the same
// readers as convert, nothing written anywhere.
int RunInspect(const InspectOptions& options) {
    ConversionJob job;
    ConversionRequest request = PrepareRequest(options, job);
    request.DestinationIndex = IndexOf(DestinationKind::FoxCae);
    CliHost host(isatty(STDERR_FILENO) != 0);
    const std::optional<DestinationKind> output = OutputSourceOf(options);
    if (auto refusal = output ? CheckOutputSource(request) : CheckForRun(request, job, host)) {
        PrintRefusal(*refusal);
        // A script parses every answer, a refusal too.
        if (options.Json) PrintOut("%s\n", JsonText(RefusalJson(*refusal)).c_str());
        return 1;
    }
    if (!options.Html.empty()) {
        const std::string refusal = PageRefusal(options.Html, {options.From, {}, job.ProgramDir});
        if (!refusal.empty()) {
            PrintErr("Pamiro - Página: %s\n", refusal.c_str());
            return 1;
        }
    }
    if (output) return InspectOutput(options, *output, job, request, host);
    host.SetWorkingFileFolder(JoinPath(job.SourceDir, request.CpNameText));
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    host.SetSource({job.SourceDir, request.CpNameText, kind, true});
    const Subject subject{request, job, host};
    const std::unique_ptr<Inspection> inspection = InspectionFor(options, subject);
    InspectPage page;
    BothObservers both(*inspection, page);
    job.DryRun = true;
    job.Observer = options.Html.empty() ? static_cast<RunObserver*>(inspection.get()) : &both;
    inspection->Begin();
    RunConversion(job, host, kind, request.CpNameText);
    job.Observer = nullptr;
    inspection->Finish();
    if (job.Report.Failed) return 1;
    return WriteInspectPage(options, subject, page);
}

}  // namespace

std::string BlockNote(const BlockSeen& block) {
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

void AddInspectCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<InspectOptions>();
    CLI::App* inspect = app.add_subcommand(
        "inspect",
        "Lista los compuestos y bloques que una conversión tomaría, sin escribir nada, o los "
        "que tiene la salida de una conversión (--source foxcae, icc)");
    AddSourceOptions(*inspect, *options, true);
    AddDataDirOption(*inspect, *options);
    inspect->add_flag("--json", options->Json,
                      "Salida en JSON, para otros programas (también si se rechaza)");
    inspect->add_flag("--parameters", options->Parameters,
                      "Lista también los parámetros de cada bloque, con su nombre y su valor");
    inspect->add_flag("--csv", options->Csv,
                      "Salida CSV (UTF-8 con BOM): una fila por bloque y parámetro: compuesto, "
                      "bloque, tipo, parámetro, valor (un bloque de tipo desconocido, en una fila "
                      "sin parámetro)");
    AddCsvSeparatorOption(*inspect, options->CsvSeparator);
    inspect
        ->add_option("--html", options->Html,
                     "Escribe además un documento del CP en una página HTML (compuestos, "
                     "bloques, cada valor con su nombre y las fuentes de secuencia, con índice), "
                     "para pruebas de aceptación y archivo; no dentro de la carpeta de la fuente")
        ->type_name("ARCHIVO")
        ->check(NotEmpty("el archivo de la página"));
    inspect->callback([options, &exitCode] {
        RefuseJsonWithCsv(options->Json, options->Csv);
        RefuseSeparatorWithoutCsv(options->CsvSeparator, options->Csv);
        exitCode = RunInspect(*options);
    });
}

}  // namespace pamiro::cli
