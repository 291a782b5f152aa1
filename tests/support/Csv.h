#pragma once

#include <string>
#include <vector>

namespace pamiro::testing {

// Reads RFC 4180 text (records ended by CR LF, quoted fields with doubled
// quotes) into records of fields. A bare LF or CR outside quotes is kept in
// its field, so a stray line end shows up as a wrong field, not a new record.
inline std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (c == '"' && quoted && i + 1 < text.size() && text[i + 1] == '"') {
            field += text[i++];
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            records.back().emplace_back();
        } else if (!quoted && text.compare(i, 2, "\r\n") == 0) {
            records.emplace_back(1);
            ++i;
        } else {
            field += c;
        }
    }
    records.pop_back();  // the one after the last CR LF (a last line without one is lost)
    return records;
}

}  // namespace pamiro::testing
