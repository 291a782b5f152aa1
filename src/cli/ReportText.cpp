#include "cli/ReportText.h"

#include <CLI/CLI.hpp>

namespace pamiro::cli {

std::string UserText(std::string_view bytes) { return DisplayText(bytes); }

std::string JsonText(const nlohmann::ordered_json& document) {
    return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string CsvLine(const std::vector<std::string>& fields, std::string_view separator) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += separator;
        const std::string& field = fields[i];
        if (field.find_first_of("\"\r\n") == std::string::npos &&
            field.find(separator) == std::string::npos) {
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

std::string CsvSeparatorRefusal(std::string_view text) {
    // One UTF-8 character: a lead byte and as many continuation bytes as it says.
    const auto lead = static_cast<unsigned char>(text.empty() ? 0 : text[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    bool oneCharacter = !text.empty() && text.size() == length && (lead < 0x80 || lead >= 0xC2);
    for (std::size_t i = 1; oneCharacter && i < text.size(); ++i) {
        oneCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    }
    if (!oneCharacter) {
        return "el separador ha de ser un solo carácter (p. ej. \";\" o \",\"), no \"" +
               DisplayText(text) + "\"";
    }
    if (text == "\"" || text == "\r" || text == "\n") {
        return "el separador no puede ser comillas dobles ni un salto de línea: las comillas "
               "encierran los campos y el salto de línea termina cada fila";
    }
    return {};
}

void AddCsvSeparatorOption(CLI::App& command, std::string& separator) {
    command
        .add_option("--csv-sep", separator,
                    "Separador de los campos CSV: un carácter, no comillas dobles ni salto de "
                    "línea (por omisión \",\"; para una hoja de cálculo en español, \";\", e "
                    "importe las columnas como texto para que los valores queden como están)")
        ->type_name("CARÁCTER")
        ->check(CLI::Validator([](std::string& value) { return CsvSeparatorRefusal(value); }, ""));
}

void RefuseSeparatorWithoutCsv(const std::string& separator, bool csv) {
    if (!csv && separator != ",") throw CLI::ValidationError("--csv-sep solo vale con --csv");
}

void RefuseJsonWithCsv(bool json, bool csv) {
    if (json && csv) throw CLI::ValidationError("--json y --csv no se pueden usar juntas");
}

}  // namespace pamiro::cli
