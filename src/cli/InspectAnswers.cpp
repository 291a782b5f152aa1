#include "cli/InspectAnswers.h"

#include <nlohmann/json.hpp>

#include "app/SourceSnapshot.h"
#include "cli/InspectHtml.h"
#include "cli/ReportText.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"

namespace pamiro::cli {

namespace {

using json = nlohmann::ordered_json;

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

}  // namespace

std::unique_ptr<Inspection> InspectionFor(const Subject& subject, bool json, bool csv,
                                          bool parameters, const std::string& separator) {
    parameters = parameters || csv;
    if (json) return std::make_unique<JsonInspection>(subject, parameters);
    if (csv) return std::make_unique<CsvInspection>(subject, parameters, separator);
    return std::make_unique<TextInspection>(subject, parameters);
}

}  // namespace pamiro::cli
