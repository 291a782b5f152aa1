#include "cli/ReportText.h"

#include <CLI/CLI.hpp>

namespace pamiro::cli {

std::string UserText(std::string_view bytes) { return DisplayText(bytes); }

std::string JsonText(const nlohmann::ordered_json& document) {
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line.push_back(',');
        const std::string& field = fields[i];
        if (field.find_first_of(",\"\r\n") == std::string::npos) {
            line += field;
            continue;
        }
        line.push_back('"');
        for (char c : field) {
            if (c == '"') line.push_back('"');
            line.push_back(c);
        }
        line.push_back('"');
    }
    line += "\r\n";
    return line;
}

void RefuseJsonWithCsv(bool json, bool csv) {
    if (json && csv) throw CLI::ValidationError("--json y --csv no se pueden usar juntas");
}

}  // namespace pamiro::cli
