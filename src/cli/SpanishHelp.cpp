#include "cli/Commands.h"

namespace pamiro::cli {

void UseSpanishHelp(CLI::App& app) {
    // Options take their group from the defaults at creation, subcommands'
    // options included.
    app.option_defaults()->group("Opciones");
    auto formatter = app.get_formatter();
    formatter->label("OPTIONS", "OPCIONES");
    formatter->label("SUBCOMMAND", "ORDEN");
    formatter->label("SUBCOMMANDS", "ORDENES");
    formatter->label("REQUIRED", "OBLIGATORIA");
    formatter->label("TEXT", "TEXTO");
    formatter->label("Usage", "Uso");
    formatter->label("Positionals", "Argumentos");
    formatter->label("Options", "Opciones");
    formatter->label("Subcommands", "Ordenes");
}

}  // namespace pamiro::cli
