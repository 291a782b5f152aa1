#pragma once

#include <string>
#include <vector>

namespace pamiro::testing {

// Reads RFC 4180 text (records ended by CR LF, quoted fields with doubled
// quotes) into records of fields. A bare LF or CR outside quotes is kept in
// its field, so a stray line end shows up as a wrong field, not a new record.
inline std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.empty() || !record.empty()) records.push_back({"<unended record>"});
    return records;
}

}  // namespace pamiro::testing
