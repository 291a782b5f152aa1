#include <sstream>

#include "app/ProgramInfo.h"
#include "cli/Commands.h"
#include "core/Console.h"
#include "core/Interrupt.h"

namespace pamiro::cli {

namespace {

// CLI11 writes its texts to streams: they reach the console as every other line.
int ExitShowing(const CLI::App& app, const CLI::Error& error) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = app.exit(error, out, err);
    WriteOut(out.str());
    WriteErr(err.str());
    return status;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    CLI::App app{"pamiro-cli: conversor de formatos I/A Series (línea de órdenes)", "pamiro-cli"};
    UseSpanishHelp(app);
    app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
    bool version = false;
    app.add_flag("--version", version, "Muestra el nombre y la versión del programa");
    app.require_subcommand(0, 1);
    app.fallthrough();

    int exitCode = 0;
    AddConvertCommand(app, exitCode);
    AddBatchCommand(app, exitCode);
    AddDatfileCommand(app, exitCode);
    AddInspectCommand(app, exitCode);
    AddCompareCommand(app, exitCode);
    for (CLI::App* sub : app.get_subcommands({})) {
        sub->set_help_flag("-h,--help", "Muestra esta ayuda y termina");
        sub->group("Órdenes");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return ExitShowing(app, e);
    } catch (const CLI::CallForAllHelp& e) {
        return ExitShowing(app, e);
    } catch (const CLI::ParseError& e) {
        return ReportParseError(app, e);
    }
    if (version) {
        PrintOut("pamiro-cli (%s) %s\n", std::string(kProgramName).c_str(),
                 std::string(kVersionText).c_str());
        return 0;
    }
    if (app.get_subcommands().empty()) {
        WriteOut(app.help().c_str());
        return 2;
    }
    // What the run said could not all be written (a pipe closed after the
    // run): the caller learns it as from a closed pipe.
    if (!FlushOut() || std::ferror(stdout) != 0) {
        if (exitCode == 0) return 128 + kPipeSignal;
    }
    return exitCode;
}

}  // namespace pamiro::cli
