#include "cli/InspectHtml.h"

#include <algorithm>

#include "app/SourceSnapshot.h"
#include "cli/HtmlPage.h"

namespace pamiro::cli {

namespace {

std::string Anchor(std::size_t compound) { return "c" + std::to_string(compound + 1); }

std::string Card(long long n, const char* label) {
    return "<div class=\"card\"><b>" + Count(n) + "</b><span>" + label + "</span></div>\n";
}

}  // namespace

void InspectPage::InputOpened(InputRole role, const std::string& path) {
    const auto same = [&](const InputRead& input) { return input.Path == path; };
    if (std::none_of(inputs_.begin(), inputs_.end(), same)) inputs_.push_back({path, role});
}

void InspectPage::CompoundStarted(const std::string& name) { Start(name); }

void InspectPage::Start(const std::string& name) { compounds_.push_back({name, {}, 0}); }

void InspectPage::BlockSeenInRun(const BlockSeen& block) {
    if (compounds_.empty() || compounds_.back().Name != block.Compound) Start(block.Compound);
    Compound& compound = compounds_.back();
    ++compound.Blocks;
    ++blocks_;
    unknown_ += block.TypeKnown ? 0 : 1;
    const std::string note = BlockNote(block);
    std::string& html = compound.Html;
    html += "<div class=\"blk\"><h4>" + SourceHtml(block.Name) + " <small>" +
            SourceHtml(block.Type) + "</small>";
    if (!note.empty()) html += " <small class=\"note\">" + UserHtml(note) + "</small>";
    html += "</h4>\n";
    if (block.Names != nullptr) {
        const std::vector<std::string> values = ValuesAsWritten(block);
        html += "<dl>";
        for (std::size_t j = 0; j < values.size(); ++j) {
            html += "<div><dt>" + SourceHtml((*block.Names)[j + 2]) + "</dt><dd>" +
                    SourceHtml(values[j]) + "</dd></div>";
        }
        html += "</dl>\n";
        parameters_ += static_cast<long long>(values.size());
    }
    html += "</div>\n";
    if (!block.Sequence) return;
    ++sequence_;
    std::string source = "<span class=\"muted\">ninguna: no se copia nada</span>";
    if (!block.SequenceSource.empty()) {
        source = UserHtml(block.SequenceSource) +
                 (block.SequenceSourceIsBase ? " <small>(fuente base del tipo)</small>" : "");
        InputOpened(block.SequenceSourceIsBase ? InputRole::BaseSource : InputRole::OwnSource,
                    block.SequenceSource);
    }
    sequenceRows_ += "<tr><td><a href=\"#" + Anchor(compounds_.size() - 1) + "\">" +
                     SourceHtml(block.Compound) + "</a></td><td>" + SourceHtml(block.Name) +
                     "</td><td>" + SourceHtml(block.Type) + "</td><td class=\"v\">" + source +
                     "</td></tr>\n";
}

std::string InspectPage::Page(const CompareSide& head) const {
    const std::string title = "CP " + DisplayText(head.Cp) + ": documento de la fuente";
    std::string body =
        "<h1>" + HtmlEscaped(title) + "</h1>\n<p class=\"sub\">Leída el " + ReadingDate() +
        ", tal como la tomaría una conversión a FoxCAE Transfer</p>\n"
        "<h2>Fuente</h2>\n<table class=\"meta\">\n<tbody>\n" +
        SideRows({&head}) + "</tbody>\n</table>\n<h2>Resumen</h2>\n" + "<div class=\"cards\">\n" +
        Card(static_cast<long long>(compounds_.size()), "compuestos") + Card(blocks_, "bloques") +
        Card(parameters_, "valores con nombre") + Card(unknown_, "bloques de tipo desconocido") +
        Card(sequence_, "bloques de secuencia") + "</div>\n";
    body += "<h2>Índice</h2>\n<nav><ol>\n";
    for (std::size_t i = 0; i < compounds_.size(); ++i) {
        body += "<li><a href=\"#" + Anchor(i) + "\">" + SourceHtml(compounds_[i].Name) +
                "</a> <span class=\"muted\">(" + Count(compounds_[i].Blocks) + ")</span></li>\n";
    }
    body += "</ol></nav>\n";
    body += std::string("<p>") +
            (sequence_ > 0 ? "<a href=\"#secuencias\">Fuentes de secuencia</a> · " : "") +
            "<a href=\"#archivos\">Archivos leídos</a></p>\n";
    body += "<h2>Compuestos</h2>\n" + FilterBox("Filtrar por compuesto, bloque, parámetro o valor");
    for (std::size_t i = 0; i < compounds_.size(); ++i) {
        const std::string name = SourceHtml(compounds_[i].Name);
        body += "<section id=\"" + Anchor(i) + "\" data-filtro=\"" + name + "\">\n<h3>Compuesto " +
                name + "</h3>\n" +
                (compounds_[i].Html.empty() ? "<p class=\"muted\">Sin bloques.</p>\n"
                                            : compounds_[i].Html) +
                "</section>\n";
    }
    if (sequence_ > 0) {
        body +=
            "<h2 id=\"secuencias\">Fuentes de secuencia</h2>\n<table>\n<thead><tr>"
            "<th>Compuesto</th><th>Bloque</th><th>Tipo</th><th>Fuente que se copia</th>"
            "</tr></thead>\n<tbody>\n" +
            sequenceRows_ + "</tbody>\n</table>\n";
    }
    body += "<h2 id=\"archivos\">Archivos leídos</h2>\n" + InputsTable({{"", &inputs_}});
    return WholePage(title, body);
}

}  // namespace pamiro::cli
