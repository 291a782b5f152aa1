#include "cli/CompareOutput.h"

#include <cstdio>
#include <map>

#include "cli/ReportText.h"
#include "core/Console.h"

namespace pamiro::cli {

namespace {

struct KindText {
    const char* Id;     // JSON
    const char* Label;  // text and CSV
};

KindText TextOf(DifferenceKind kind) {
    switch (kind) {
        case DifferenceKind::CompoundOnlyInFirst:
            return {"compoundOnlyInFirst", "compuesto solo en la primera fuente"};
        case DifferenceKind::CompoundOnlyInSecond:
            return {"compoundOnlyInSecond", "compuesto solo en la segunda fuente"};
        case DifferenceKind::BlockOnlyInFirst:
            return {"blockOnlyInFirst", "bloque solo en la primera fuente"};
        case DifferenceKind::BlockOnlyInSecond:
            return {"blockOnlyInSecond", "bloque solo en la segunda fuente"};
        case DifferenceKind::TypeChanged:
            return {"typeChanged", "tipo distinto"};
        case DifferenceKind::ValueChanged:
            return {"valueChanged", "valor distinto"};
        case DifferenceKind::ParameterOnlyInFirst:
            return {"parameterOnlyInFirst", "parámetro solo en la primera fuente"};
        case DifferenceKind::ParameterOnlyInSecond:
            return {"parameterOnlyInSecond", "parámetro solo en la segunda fuente"};
        case DifferenceKind::SequenceSourceChanged:
            return {"sequenceSourceChanged", "fuente de secuencia distinta"};
        case DifferenceKind::RevisionCodeChanged:
            return {"revisionCodeChanged", "código de revisión distinto"};
    }
    return {"", ""};
}

std::string Label(const Difference& d) {
    std::string label = TextOf(d.Kind).Label;
    if (d.ByPosition) label += " (por posición: tipo desconocido en una fuente)";
    return label;
}

std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

std::string TextLine(const Difference& d) {
    switch (d.Kind) {
        case DifferenceKind::RevisionCodeChanged:
            return std::string(TextOf(d.Kind).Label) + ": " + Quoted(d.First) + " -> " +
                   Quoted(d.Second);
        case DifferenceKind::CompoundOnlyInFirst:
        case DifferenceKind::CompoundOnlyInSecond:
        case DifferenceKind::BlockOnlyInFirst:
        case DifferenceKind::BlockOnlyInSecond:
            return TextOf(d.Kind).Label;
        case DifferenceKind::TypeChanged:
            return "tipo distinto: " + d.First + " -> " + d.Second;
        case DifferenceKind::SequenceSourceChanged:
            return "fuente de secuencia distinta: " + (d.First.empty() ? "(ninguno)" : d.First) +
                   " -> " + (d.Second.empty() ? "(ninguno)" : d.Second);
        case DifferenceKind::ParameterOnlyInFirst:
            return d.Parameter + " = " + Quoted(d.First) + ": solo en la primera fuente";
        case DifferenceKind::ParameterOnlyInSecond:
            return d.Parameter + " = " + Quoted(d.Second) + ": solo en la segunda fuente";
        default:
            return d.Parameter + ": " + Quoted(d.First) + " -> " + Quoted(d.Second) +
                   (d.ByPosition ? " (por posición)" : "");
    }
}

void PrintSide(const char* which, const CompareSide& side) {
    PrintOut("%s fuente: %s, %s en %s, %s, versión %s (%s)\n", which, side.Cp.c_str(),
             side.Source.c_str(), side.Folder.c_str(), side.Platform.c_str(), side.Version.c_str(),
             side.DataFile.c_str());
}

nlohmann::ordered_json SideJson(const CompareSide& side) {
    // As the user gave them: not names read from a source.
    return {{"cp", UserText(side.Cp)},           {"source", side.Source},
            {"folder", UserText(side.Folder)},   {"platform", side.Platform},
            {"version", UserText(side.Version)}, {"dataFile", UserText(side.DataFile)}};
}

// What a conversion's output cannot hold, said once: not a difference.
void PrintNotCompared(const Comparison& c) {
    constexpr std::size_t kShown = 10;
    if (!c.NotConverted.empty()) {
        std::string names;
        for (std::size_t i = 0; i < c.NotConverted.size() && i < kShown; ++i) {
            const auto& b = c.NotConverted[i];
            names += (i > 0 ? ", " : "") + b.Compound + ":" + b.Block + " (" + b.Type + ")";
        }
        if (c.NotConverted.size() > kShown) names += ", ...";
        PrintOut(
            "\nNo convertidos: %zu bloque(s) de un tipo que el archivo de datos no tiene; la "
            "conversión los omite y su salida no los lleva: %s\n",
            c.NotConverted.size(), names.c_str());
    }
    if (!c.SourcesAndCodesCompared) {
        PrintOut(
            "\nEl guion ICC no lleva fuentes de secuencia ni códigos de revisión: no se "
            "comparan\n");
    }
}

}  // namespace

const char* DifferenceLabel(DifferenceKind kind) { return TextOf(kind).Label; }

std::vector<CompoundGroup> Grouped(const Comparison& c) {
    std::vector<CompoundGroup> groups;
    std::map<std::string, std::size_t> at;
    auto group = [&](const std::string& name) -> CompoundGroup& {
        const auto [it, fresh] = at.try_emplace(name, groups.size());
        if (fresh) groups.push_back({name, {}, {}});
        return groups[it->second];
    };
    for (const Difference& d : c.Differences) group(d.Compound).Differences.push_back(&d);
    for (const auto& note : c.ComparedByPosition) group(note.Compound).ByPosition.push_back(&note);
    return groups;
}

void PrintComparisonText(const Comparison& c, const CompareSide& first, const CompareSide& second) {
    PrintSide("Primera", first);
    PrintSide("Segunda", second);
    for (const CompoundGroup& group : Grouped(c)) {
        const char* compound = group.Name.c_str();
        bool headed = false;
        for (const Difference* p : group.Differences) {
            const Difference& d = *p;
            if (d.Block.empty()) {
                PrintOut("\nCompuesto %s: %s\n", compound, TextLine(d).c_str());
                headed = true;
                continue;
            }
            if (!headed) PrintOut("\nCompuesto %s\n", compound);
            headed = true;
            PrintOut("  %s (%s): %s\n", d.Block.c_str(), d.Type.c_str(), TextLine(d).c_str());
        }
        for (const Comparison::BlockRef* note : group.ByPosition) {
            if (!headed) PrintOut("\nCompuesto %s\n", compound);
            headed = true;
            PrintOut("  %s (%s): %s\n", note->Block.c_str(), note->Type.c_str(),
                     note->ValuesCompared
                         ? "tipo desconocido en una fuente; valores comparados por posición"
                         : "tipo desconocido en las dos fuentes; valores no comparados (el "
                           "registro no dice cuántos tiene)");
        }
    }
    PrintNotCompared(c);
    const ComparisonTotals& t = c.Totals;
    PrintOut(
        "\n%s: %lld compuesto(s) y %lld bloque(s) comparados; solo en una fuente: %lld "
        "compuesto(s) y %lld bloque(s); %lld bloque(s) distintos, %lld parámetro(s) distintos",
        c.Same() ? "Iguales" : "Distintas", t.CompoundsCompared, t.BlocksCompared,
        t.CompoundsOnlyOneSide, t.BlocksOnlyOneSide, t.BlocksChanged, t.ParametersChanged);
    if (t.RevisionCodesChanged > 0) {
        PrintOut(", %lld código(s) de revisión distintos", t.RevisionCodesChanged);
    }
    PrintOut("\n");
}

void PrintComparisonJson(const Comparison& c, const CompareSide& first, const CompareSide& second) {
    nlohmann::ordered_json root;
    root["first"] = SideJson(first);
    root["second"] = SideJson(second);
    root["same"] = c.Same();
    root["compounds"] = nlohmann::ordered_json::array();
    for (const CompoundGroup& group : Grouped(c)) {
        nlohmann::ordered_json differences = nlohmann::ordered_json::array();
        nlohmann::ordered_json byPosition = nlohmann::ordered_json::array();
        for (const Difference* p : group.Differences) {
            const Difference& d = *p;
            nlohmann::ordered_json entry{{"kind", TextOf(d.Kind).Id}};
            if (!d.Block.empty()) {
                entry["block"] = Latin1ToUtf8(d.Block);
                entry["type"] = Latin1ToUtf8(d.Type);
            }
            if (!d.Parameter.empty()) entry["parameter"] = Latin1ToUtf8(d.Parameter);
            if (d.Kind != DifferenceKind::CompoundOnlyInFirst &&
                d.Kind != DifferenceKind::CompoundOnlyInSecond &&
                d.Kind != DifferenceKind::BlockOnlyInFirst &&
                d.Kind != DifferenceKind::BlockOnlyInSecond) {
                entry["first"] = Latin1ToUtf8(d.First);
                entry["second"] = Latin1ToUtf8(d.Second);
            }
            if (d.ByPosition) entry["byPosition"] = true;
            differences.push_back(std::move(entry));
        }
        for (const Comparison::BlockRef* note : group.ByPosition) {
            byPosition.push_back({{"block", Latin1ToUtf8(note->Block)},
                                  {"type", Latin1ToUtf8(note->Type)},
                                  {"valuesCompared", note->ValuesCompared}});
        }
        root["compounds"].push_back({{"name", Latin1ToUtf8(group.Name)},
                                     {"differences", std::move(differences)},
                                     {"unknownType", std::move(byPosition)}});
    }
    root["notConverted"] = nlohmann::ordered_json::array();
    for (const auto& b : c.NotConverted) {
        root["notConverted"].push_back({{"compound", Latin1ToUtf8(b.Compound)},
                                        {"block", Latin1ToUtf8(b.Block)},
                                        {"type", Latin1ToUtf8(b.Type)}});
    }
    root["sequenceSourcesAndRevisionCodesCompared"] = c.SourcesAndCodesCompared;
    const ComparisonTotals& t = c.Totals;
    root["totals"] = {{"compoundsCompared", t.CompoundsCompared},
                      {"blocksCompared", t.BlocksCompared},
                      {"compoundsOnlyOneSide", t.CompoundsOnlyOneSide},
                      {"blocksOnlyOneSide", t.BlocksOnlyOneSide},
                      {"blocksChanged", t.BlocksChanged},
                      {"parametersChanged", t.ParametersChanged},
                      {"revisionCodesChanged", t.RevisionCodesChanged}};
    PrintOut("%s\n", JsonText(root).c_str());
}

void PrintComparisonCsv(const Comparison& c, const std::string& separator) {
    std::string text(kUtf8Bom);
    text += CsvLine({"compuesto", "bloque", "tipo", "parámetro", "valor en la primera fuente",
                     "valor en la segunda fuente", "diferencia"},
                    separator);
    for (const Difference& d : c.Differences) {
        text += CsvLine(
            {Latin1ToUtf8(d.Compound), Latin1ToUtf8(d.Block), Latin1ToUtf8(d.Type),
             Latin1ToUtf8(d.Parameter), Latin1ToUtf8(d.First), Latin1ToUtf8(d.Second), Label(d)},
            separator);
    }
    WriteOut(text);
}

}  // namespace pamiro::cli
