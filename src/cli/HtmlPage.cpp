#include "cli/HtmlPage.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/ProgramInfo.h"
#include "cli/RunReportJson.h"
#include "core/FileError.h"

namespace pamiro::cli {

namespace {

// One sheet for both pages: quiet colours, tables that fit a printed page.
constexpr const char* kStyle = R"(
:root{--ink:#1f2933;--muted:#616e7c;--line:#d9dee4;--head:#f2f4f7;--accent:#1d4e89;
--old:#fdecea;--new:#e6f4ea;--warn:#fff4d6}
*{box-sizing:border-box}
body{margin:0;font:14px/1.45 "DejaVu Sans",system-ui,"Segoe UI",Arial,sans-serif;color:var(--ink);background:#fff}
main{max-width:1180px;margin:0 auto;padding:24px 32px 48px}
h1{font-size:24px;margin:0 0 4px;color:var(--accent)}
h2{font-size:18px;margin:28px 0 10px;padding-bottom:4px;border-bottom:2px solid var(--accent)}
h3{font-size:15px;margin:22px 0 8px}
p.sub{margin:0 0 18px;color:var(--muted)}
table{border-collapse:collapse;width:100%;margin:6px 0 14px}
th,td{border:1px solid var(--line);padding:4px 8px;text-align:left;vertical-align:top}
th{background:var(--head);font-weight:600}
td.v,td.n{font-family:"DejaVu Sans Mono",Consolas,monospace;font-size:12.5px;white-space:pre-wrap;overflow-wrap:anywhere}
td.n{text-align:right;white-space:nowrap;word-break:normal}
td.h{font-family:"DejaVu Sans Mono",Consolas,monospace;font-size:11px;white-space:nowrap}
td.old{background:var(--old)}td.new{background:var(--new)}
table.meta th{width:15em}
table.kinds{width:auto;min-width:460px}
table.diffs{table-layout:fixed}
table.diffs th:nth-child(1){width:12%}table.diffs th:nth-child(2){width:9%}
table.diffs th:nth-child(3){width:13%}table.diffs th:nth-child(6){width:20%}
.verdict{display:inline-block;margin:4px 0 10px;padding:6px 14px;border-radius:4px;font-weight:600}
.same{background:var(--new)}.diff{background:var(--old)}
.cards{display:flex;flex-wrap:wrap;gap:10px;margin:8px 0 12px}
.card{border:1px solid var(--line);border-radius:6px;padding:8px 12px;min-width:150px}
.card b{display:block;font-size:20px}.card span{color:var(--muted);font-size:12.5px}
.card.zero b{color:var(--muted)}
.note{background:var(--warn)}
details{margin:10px 0;border:1px solid var(--line);border-radius:6px;padding:6px 12px}
summary{cursor:pointer;font-weight:600}
nav ol{columns:4 14em;padding-left:1.6em;margin:6px 0}
.blk{margin:10px 0 16px;break-inside:avoid}
.blk h4{margin:0;padding:4px 8px;background:var(--head);border:1px solid var(--line);font-size:13.5px}
.blk h4 small{font-weight:normal;color:var(--muted);margin-left:8px}
dl{display:grid;grid-template-columns:repeat(auto-fill,minmax(230px,1fr));margin:0;border-left:1px solid var(--line);border-top:0}
dl div{display:flex;gap:8px;border-right:1px solid var(--line);border-bottom:1px solid var(--line);padding:2px 8px}
dt{font-weight:600;min-width:6.5em}dd{margin:0;font-family:"DejaVu Sans Mono",Consolas,monospace;font-size:12.5px;overflow-wrap:anywhere}
#filtro{width:100%;max-width:420px;padding:6px 10px;margin:4px 0 10px;border:1px solid #9aa5b1;border-radius:4px;font:inherit}
footer{margin-top:32px;color:var(--muted);font-size:12px}
.muted{color:var(--muted)}
@media print{main{max-width:none;padding:0}#filtro{display:none}h2{break-after:avoid}
tr,.card{break-inside:avoid}details{border:0;padding:0}a{color:inherit;text-decoration:none}}
)";

// Hides, as the box's text changes, the rows that do not hold it and the
// sections left without a row; a section whose heading holds it stays whole.
constexpr const char* kFilterScript = R"(
(function(){var box=document.getElementById('filtro');if(!box)return;box.hidden=false;
box.addEventListener('input',function(){var q=box.value.trim().toLowerCase();
document.querySelectorAll('[data-filtro]').forEach(function(s){
var whole=!q||s.getAttribute('data-filtro').toLowerCase().indexOf(q)>=0;var any=whole;
s.querySelectorAll('tbody tr,.blk').forEach(function(r){
var show=whole||r.textContent.toLowerCase().indexOf(q)>=0;r.hidden=!show;any=any||show;});
s.hidden=!any;});});})();
)";

const char* RoleText(InputRole role) {
    switch (role) {
        case InputRole::CpIndex:
            return "índice del CP";
        case InputRole::WorkingFile:
            return "Working File";
        case InputRole::CompoundIndex:
            return "índice del compuesto";
        case InputRole::CompoundList:
            return "lista de compuestos";
        case InputRole::Parameters:
            return "parámetros";
        case InputRole::DataFile:
            return "archivo de datos";
        case InputRole::OwnSource:
            return "fuente de secuencia";
        case InputRole::BaseSource:
            return "fuente base";
    }
    return "";
}

}  // namespace

std::string HtmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string ReadingDate() {
    using namespace std::chrono;
    sys_seconds now = floor<seconds>(system_clock::now());
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != 0) {
        char* end = nullptr;
        const long long value = std::strtoll(epoch, &end, 10);
        if (*end == 0 && value >= 0) now = sys_seconds(seconds(value));
    }
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d UTC", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()));
    return text;
}

std::string WholePage(std::string_view title, std::string_view body) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<meta name=\"generator\" content=\"";
    const std::string program = std::string(kProgramName) + " " + std::string(kVersionText);
    page += program + "\">\n<title>";
    page += HtmlEscaped(title);
    page += "</title>\n<style>";
    page += kStyle;
    page += "</style>\n</head>\n<body>\n<main>\n";
    page += body;
    page += "<footer>Generado por " + program + ".</footer>\n</main>\n<script>";
    page += kFilterScript;
    page += "</script>\n</body>\n</html>\n";
    return page;
}

std::string FilterBox(std::string_view placeholder) {
    return "<input id=\"filtro\" type=\"search\" hidden placeholder=\"" + HtmlEscaped(placeholder) +
           "\" aria-label=\"Filtrar\">\n";
}

std::string SideRows(const std::vector<const CompareSide*>& sides) {
    struct Row {
        const char* Label;
        std::string CompareSide::*Field;
    };
    static const Row kRows[] = {{"CP", &CompareSide::Cp},
                                {"Formato", &CompareSide::Source},
                                {"Carpeta", &CompareSide::Folder},
                                {"Plataforma", &CompareSide::Platform},
                                {"Versión de I/A", &CompareSide::Version},
                                {"Archivo de datos", &CompareSide::DataFile}};
    std::string rows;
    for (const Row& row : kRows) {
        rows += "<tr><th>" + std::string(row.Label) + "</th>";
        for (const CompareSide* side : sides) rows += "<td>" + UserHtml(side->*row.Field) + "</td>";
        rows += "</tr>\n";
    }
    return rows;
}

std::string InputsTable(const std::vector<InputsOfSide>& lists) {
    const bool named = lists.size() > 1;
    std::string table = "<table class=\"files\">\n<thead><tr>";
    if (named) table += "<th>Fuente</th>";
    table +=
        "<th>Archivo</th><th>Papel</th><th>Tamaño (bytes)</th><th>SHA-256</th></tr></thead>"
        "\n<tbody>\n";
    for (const InputsOfSide& list : lists) {
        for (const InputRead& input : *list.Inputs) {
            table += "<tr>";
            if (named) table += "<td>" + list.Side + "</td>";
            table += "<td class=\"v\">" + UserHtml(input.Path) + "</td><td>" +
                     RoleText(input.Role) + "</td>";
            if (const auto digest = DigestOfFile(input.Path)) {
                table += "<td class=\"n\">" + Count(static_cast<long long>(digest->Size)) +
                         "</td><td class=\"h\">" + digest->Sha256 + "</td>";
            } else {
                table += "<td colspan=\"2\">no se puede leer ahora</td>";
            }
            table += "</tr>\n";
        }
    }
    return table + "</tbody>\n</table>\n";
}

std::string PageRefusal(const std::string& path, const ReportGuards& guards) {
    return ReportFileRefusal(path, guards, {"--html", "La página", "de la página"});
}

std::string WritePage(const std::string& path, std::string_view page) {
    if (const int error = ReplaceFileWith(path, page); error != 0) {
        return "No se puede escribir la página " + path + ": " + ErrorText(error);
    }
    return {};
}

std::string Count(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    // Spanish groups from five digits on, with a no-break space.
    if (digits.size() > 4) {
        for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
            digits.insert(static_cast<std::size_t>(at), "\xC2\xA0");
        }
    }
    return n < 0 ? "-" + digits : digits;
}

}  // namespace pamiro::cli
