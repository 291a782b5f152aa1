#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pamiro::cli {

// Names and values are the source's bytes, shown by the window as Latin-1;
// JSON and CSV want UTF-8, so each byte becomes the Latin-1 character it
// stands for.
std::string Latin1ToUtf8(std::string_view bytes);

// CSV for spreadsheet programs: UTF-8 behind a byte-order mark (so accents
// show right), RFC 4180 fields and CR LF line ends.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// One record of already UTF-8 fields; a field holding a comma, a quote, CR
// or LF is quoted, its quotes doubled.
std::string CsvLine(const std::vector<std::string>& fields);

// --json and --csv together: a usage error (thrown as CLI11's validation error).
void RefuseJsonWithCsv(bool json, bool csv);

}  // namespace pamiro::cli
