#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/ReportPath.h"
#include "cli/CompareOutput.h"
#include "cli/StagedRun.h"
#include "core/Text.h"

namespace pamiro::cli {

// Text as HTML: &, <, >, " and ' as character references, so that no value
// can open a tag or leave an attribute. Takes and gives UTF-8.
std::string HtmlEscaped(std::string_view text);
// A name or value read from a source (Latin-1 bytes), escaped.
inline std::string SourceHtml(std::string_view bytes) { return HtmlEscaped(Latin1ToUtf8(bytes)); }
// Text the user gave, or a message mixing both, escaped.
inline std::string UserHtml(std::string_view bytes) { return HtmlEscaped(DisplayText(bytes)); }

// When the sources were read, "AAAA-MM-DD HH:MM UTC": now, or the moment
// SOURCE_DATE_EPOCH gives, so that a page can be made again byte for byte.
std::string ReadingDate();

// A page from its title (escaped here) and its body (HTML already): styles
// and the filter's script inside, nothing fetched from anywhere.
std::string WholePage(std::string_view title, std::string_view body);

// The box that hides the sections and rows not holding its text. Without
// script it stays hidden and everything is shown.
std::string FilterBox(std::string_view placeholder);

// Rows of a two-column table describing the sources: label, then one cell
// per side (already HTML).
std::string SideRows(const std::vector<const CompareSide*>& sides);

// The files read, each with its size and SHA-256, as a table; side names
// the source each list belongs to (empty when there is one).
struct InputsOfSide {
    std::string Side;
    const std::vector<InputRead>* Inputs;
};
std::string InputsTable(const std::vector<InputsOfSide>& lists);

// Why the page may not be written at path (as --report's place is checked),
// or empty; then WritePage puts it there whole, or says why it could not.
std::string PageRefusal(const std::string& path, const ReportGuards& guards);
std::string WritePage(const std::string& path, std::string_view page);

// A number with a thin space every three digits, as Spanish writes it.
std::string Count(long long n);

}  // namespace pamiro::cli
