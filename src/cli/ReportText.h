#pragma once

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "core/Text.h"

namespace pamiro::cli {

// JSON and CSV answers are UTF-8. Names and values read from sources are the
// source's bytes, one Latin-1 character each: Latin1ToUtf8 (core). Text the
// user gave (paths, --cp, a version) is already in the user's encoding, and
// messages mix the program's UTF-8 words with names from sources: both go
// through UserText, which keeps every valid UTF-8 sequence and takes any
// other byte as Latin-1, so nothing is encoded twice and nothing is invalid.
std::string UserText(std::string_view bytes);

// A JSON document as the answers print it (indent 2). Every string is made
// valid before it is put in; a byte that slipped through is replaced rather
// than aborting the program.
std::string JsonText(const nlohmann::ordered_json& document);

// CSV for spreadsheet programs: UTF-8 behind a byte-order mark (so accents
// show right), RFC 4180 fields and CR LF line ends.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// One record of already UTF-8 fields, separated by separator (one
// character, "," by default); a field holding the separator, a quote, CR or
// LF is quoted, its quotes doubled.
std::string CsvLine(const std::vector<std::string>& fields, std::string_view separator = ",");
// Why text cannot separate CSV fields (it must be one character, not a
// double quote, CR or LF), or empty when it can.
std::string CsvSeparatorRefusal(std::string_view text);
// --csv-sep on a command: checked as above, and only with --csv.
void AddCsvSeparatorOption(CLI::App& command, std::string& separator);
void RefuseSeparatorWithoutCsv(const std::string& separator, bool csv);

// --json and --csv together: a usage error (thrown as CLI11's validation error).
void RefuseJsonWithCsv(bool json, bool csv);

}  // namespace pamiro::cli
