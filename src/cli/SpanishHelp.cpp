#include <cstdio>
#include <sstream>

#include "cli/Commands.h"
#include "core/Console.h"

namespace pamiro::cli {

namespace {

// Bytes that start no character: UTF-8 continuations, which take no column.
std::size_t ExtraBytes(const std::string& text) {
    std::size_t extra = 0;
    for (const char c : text) extra += (static_cast<unsigned char>(c) & 0xC0) == 0x80 ? 1 : 0;
    return extra;
}

// Descriptions wrapped to a terminal's 80 columns, at blanks.
std::string Wrapped(const std::string& text, std::size_t width) {
    std::string out, line, word;
    std::istringstream words(text);
    while (words >> word) {
        if (!line.empty() &&
            line.size() - ExtraBytes(line) + 1 + word.size() - ExtraBytes(word) > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + line;
}

// "-h, --help" rather than CLI11's "-h,--help"; accented names and
// descriptions aligned by characters, not bytes.
class SpanishFormatter : public CLI::Formatter {
  public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override {
        std::string names = CLI::Formatter::make_option_name(option, positional);
        for (std::size_t at = names.find(','); at != std::string::npos;
             at = names.find(',', at + 2)) {
            names.insert(at + 1, " ");
        }
        return names;
    }
    std::string make_option(const CLI::Option* option, bool positional) const override {
        // A positional argument is always required: the usage line shows it.
        const std::string name = "  " + make_option_name(option, positional) +
                                 (positional ? std::string() : make_option_opts(option));
        const std::size_t width = get_column_width();
        const std::size_t columns = name.size() - ExtraBytes(name);
        std::string out = name;
        out += columns < width ? std::string(width - columns, ' ') : "\n" + std::string(width, ' ');
        for (const char c : Wrapped(make_option_desc(option), 80 - width)) {
            out += c;
            if (c == '\n') out += std::string(width, ' ');
        }
        return out + "\n";
    }
};

// The first option named in one of CLI11's messages ("--to: ...", "... --jobs = x").
std::string OptionIn(const std::string& message) {
    const std::size_t start = message.find('-');
    if (start == std::string::npos) return "?";
    const std::size_t end = message.find_first_of(" :=,", start);
    return message.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// The deepest command the arguments chose.
const CLI::App* ChosenCommand(const CLI::App& app) {
    const CLI::App* command = &app;
    for (;;) {
        const std::vector<CLI::App*> chosen = command->get_subcommands();
        if (chosen.empty()) return command;
        command = chosen.front();
    }
}

std::string MissingRequired(const CLI::App& app) {
    for (const CLI::App* command = &app;;) {
        for (const CLI::Option* option : command->get_options()) {
            if (option->get_required() && option->count() == 0) {
                return (option->nonpositional() ? "falta la opción obligatoria "
                                                : "falta el argumento ") +
                       option->get_name();
            }
        }
        const std::vector<CLI::App*> chosen = command->get_subcommands();
        if (chosen.empty()) return {};
        command = chosen.front();
    }
}

std::string RequiredText(const CLI::App& app) {
    const std::string missing = MissingRequired(app);
    if (!missing.empty()) return missing;
    const CLI::App* command = ChosenCommand(app);
    std::string names;
    for (const CLI::App* sub : command->get_subcommands({})) {
        names += (names.empty() ? "" : ", ") + sub->get_name();
    }
    return "falta la orden de " + command->get_name() + " (" + names + ")";
}

}  // namespace

void UseSpanishHelp(CLI::App& app) {
    // Options take their group from the defaults at creation, subcommands'
    // options included.
    app.option_defaults()->group("Opciones");
    auto formatter = std::make_shared<SpanishFormatter>();
    formatter->label("OPTIONS", "OPCIONES");
    formatter->label("SUBCOMMAND", "ORDEN");
    formatter->label("SUBCOMMANDS", "ORDENES");
    formatter->label("REQUIRED", "(obligatoria)");
    formatter->label("Usage", "Uso");
    formatter->label("Positionals", "Argumentos");
    formatter->label("Options", "Opciones");
    formatter->label("Subcommands", "Órdenes");
    formatter->column_width(40);
    app.formatter(formatter);
}

int ReportParseError(const CLI::App& app, const CLI::ParseError& error) {
    const std::string message = error.what();
    std::string text;
    if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
        text = RequiredText(app);
    } else if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        const std::size_t colon = message.find(": ");
        text = "argumento no esperado: " +
               (colon == std::string::npos ? message : message.substr(colon + 2));
    } else if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
        text = message;  // "--option: " and our validators' own Spanish text
    } else if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
        text = "valor no válido para la opción " + OptionIn(message);
    } else if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
        const bool missing = message.find("missing") != std::string::npos ||
                             message.find("least") != std::string::npos;
        text = (missing ? "falta el valor de la opción "
                        : "número de valores incorrecto para la opción ") +
               OptionIn(message);
    } else {
        text = "argumentos incorrectos";
    }
    PrintErr("pamiro-cli: %s\nUse --help para más información.\n", text.c_str());
    return 2;
}

}  // namespace pamiro::cli
