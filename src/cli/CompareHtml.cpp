// The page of a comparison: both sources, a summary, the differences of each
// compound, and the compounds without any counted, not listed.

#include <array>

#include "cli/CompareOutput.h"
#include "cli/HtmlPage.h"

namespace pamiro::cli {

namespace {

constexpr std::array kKinds = {
    DifferenceKind::ValueChanged,          DifferenceKind::BlockOnlyInFirst,
    DifferenceKind::BlockOnlyInSecond,     DifferenceKind::TypeChanged,
    DifferenceKind::SequenceSourceChanged, DifferenceKind::RevisionCodeChanged,
    DifferenceKind::CompoundOnlyInFirst,   DifferenceKind::CompoundOnlyInSecond,
    DifferenceKind::ParameterOnlyInFirst,  DifferenceKind::ParameterOnlyInSecond};

constexpr const char* kAbsent = "<span class=\"muted\">(no está)</span>";

std::string Card(long long n, const std::string& label) {
    return std::string("<div class=\"card") + (n == 0 ? " zero" : "") + "\"><b>" + Count(n) +
           "</b><span>" + label + "</span></div>\n";
}

std::string Cell(const std::string& html, const char* cls = nullptr) {
    return cls == nullptr ? "<td>" + html + "</td>"
                          : "<td class=\"" + std::string(cls) + "\">" + html + "</td>";
}

std::string OrNone(const std::string& name) {
    return name.empty() ? "<span class=\"muted\">(ninguna)</span>" : SourceHtml(name);
}

// Parameter, first side, second side (HTML) of one difference.
std::array<std::string, 3> Columns(const Difference& d) {
    switch (d.Kind) {
        case DifferenceKind::CompoundOnlyInFirst:
        case DifferenceKind::BlockOnlyInFirst:
            return {"", "<span class=\"muted\">(está)</span>", kAbsent};
        case DifferenceKind::CompoundOnlyInSecond:
        case DifferenceKind::BlockOnlyInSecond:
            return {"", kAbsent, "<span class=\"muted\">(está)</span>"};
        case DifferenceKind::TypeChanged:
            return {"<i>tipo</i>", SourceHtml(d.First), SourceHtml(d.Second)};
        case DifferenceKind::SequenceSourceChanged:
            return {"<i>fuente de secuencia</i>", OrNone(d.First), OrNone(d.Second)};
        case DifferenceKind::RevisionCodeChanged:
            return {"<i>código de revisión</i>", SourceHtml(d.First), SourceHtml(d.Second)};
        case DifferenceKind::ParameterOnlyInFirst:
            return {SourceHtml(d.Parameter), SourceHtml(d.First), kAbsent};
        case DifferenceKind::ParameterOnlyInSecond:
            return {SourceHtml(d.Parameter), kAbsent, SourceHtml(d.Second)};
        case DifferenceKind::ValueChanged:
            break;
    }
    return {SourceHtml(d.Parameter), SourceHtml(d.First), SourceHtml(d.Second)};
}

std::string DifferenceRow(const Difference& d) {
    const auto [parameter, first, second] = Columns(d);
    std::string label = DifferenceLabel(d.Kind);
    if (d.ByPosition) label += " (por posición: tipo desconocido en una fuente)";
    return "<tr>" + Cell(SourceHtml(d.Block)) + Cell(SourceHtml(d.Type)) + Cell(parameter) +
           Cell(first, "v old") + Cell(second, "v new") + Cell(label) + "</tr>\n";
}

std::string NoteRow(const Comparison::BlockRef& note) {
    return "<tr class=\"note\">" + Cell(SourceHtml(note.Block)) + Cell(SourceHtml(note.Type)) +
           "<td colspan=\"3\"></td>" +
           Cell(note.ValuesCompared
                    ? "tipo desconocido en una fuente; valores comparados por posición"
                    : "tipo desconocido en las dos fuentes; valores no comparados") +
           "</tr>\n";
}

std::string CompoundSection(const CompoundGroup& group) {
    const std::string name = SourceHtml(group.Name);
    std::string html = "<section data-filtro=\"" + name + "\">\n<h3>Compuesto " + name +
                       "</h3>\n<table class=\"diffs\">\n<thead><tr><th>Bloque</th><th>Tipo</th>"
                       "<th>Parámetro</th><th>Primera fuente</th><th>Segunda fuente</th>"
                       "<th>Diferencia</th></tr></thead>\n<tbody>\n";
    for (const Difference* d : group.Differences) html += DifferenceRow(*d);
    for (const Comparison::BlockRef* note : group.ByPosition) html += NoteRow(*note);
    return html + "</tbody>\n</table>\n</section>\n";
}

std::string Summary(const Comparison& c) {
    const ComparisonTotals& t = c.Totals;
    std::string html = "<h2>Resumen</h2>\n<p class=\"verdict " +
                       std::string(c.Same() ? "same\">Iguales" : "diff\">Distintas") +
                       "</p>\n<div class=\"cards\">\n";
    html += Card(t.CompoundsCompared, "compuestos comparados");
    html += Card(t.BlocksCompared, "bloques comparados");
    html += Card(t.BlocksChanged, "bloques distintos");
    html += Card(t.ParametersChanged, "parámetros distintos");
    html +=
        "</div>\n<table class=\"kinds\">\n<thead><tr><th>Diferencia</th><th>Cuántas</th>"
        "</tr></thead>\n<tbody>\n";
    for (const DifferenceKind kind : kKinds) {
        long long n = 0;
        for (const Difference& d : c.Differences) n += d.Kind == kind ? 1 : 0;
        html += std::string("<tr") + (n == 0 ? " class=\"muted\"" : "") + "><td>" +
                DifferenceLabel(kind) + "</td><td class=\"n\">" + Count(n) + "</td></tr>\n";
    }
    if (!c.ComparedByPosition.empty()) {
        html +=
            "<tr><td>bloques de tipo desconocido (valores por posición o sin comparar)</td>"
            "<td class=\"n\">" +
            Count(static_cast<long long>(c.ComparedByPosition.size())) + "</td></tr>\n";
    }
    return html + "</tbody>\n</table>\n";
}

std::string Unchanged(const std::vector<UnchangedCompound>& unchanged) {
    if (unchanged.empty()) return {};
    long long blocks = 0;
    for (const UnchangedCompound& u : unchanged) blocks += static_cast<long long>(u.Blocks);
    std::string html = "<details>\n<summary>" + Count(static_cast<long long>(unchanged.size())) +
                       " compuesto(s) sin diferencias, con " + Count(blocks) +
                       " bloque(s)</summary>\n<p>";
    for (std::size_t i = 0; i < unchanged.size(); ++i) {
        html += (i == 0 ? "" : ", ") + SourceHtml(unchanged[i].Name) + " <span class=\"muted\">(" +
                Count(static_cast<long long>(unchanged[i].Blocks)) + ")</span>";
    }
    return html + "</p>\n</details>\n";
}

}  // namespace

std::string ComparisonPage(const Comparison& c, const ComparePageFacts& facts) {
    const CompareSide& first = *facts.Sides[0];
    const std::string title = "Comparación de fuentes del CP " + DisplayText(first.Cp);
    std::string body = "<h1>" + HtmlEscaped(title) + "</h1>\n<p class=\"sub\">Leídas el " +
                       ReadingDate() +
                       "</p>\n<h2>Fuentes</h2>\n<table class=\"meta\">\n"
                       "<thead><tr><th></th><th>Primera fuente</th><th>Segunda fuente</th>"
                       "</tr></thead>\n<tbody>\n" +
                       SideRows({facts.Sides[0], facts.Sides[1]}) + "</tbody>\n</table>\n";
    if (!facts.Ignored.empty()) {
        body += "<p>Parámetros no comparados (--ignore): ";
        bool firstName = true;
        for (const std::string& name : facts.Ignored) {
            body += (firstName ? "" : ", ") + SourceHtml(name);
            firstName = false;
        }
        body += "</p>\n";
    }
    body += Summary(c);
    const std::vector<CompoundGroup> groups = Grouped(c);
    if (!groups.empty()) {
        body += "<h2>Diferencias por compuesto</h2>\n" +
                FilterBox("Filtrar por compuesto, bloque, parámetro o valor");
        for (const CompoundGroup& group : groups) body += CompoundSection(group);
    }
    body += Unchanged(facts.Unchanged) + "<h2>Archivos leídos</h2>\n" +
            InputsTable({{"primera", facts.Inputs[0]}, {"segunda", facts.Inputs[1]}});
    return WholePage(title, body);
}

}  // namespace pamiro::cli
