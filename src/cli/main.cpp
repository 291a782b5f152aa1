#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "app/ProgramInfo.h"
#include "cli/Commands.h"

#ifdef _WIN32
namespace {

// The program's texts are UTF-8: a console shows them so, and gets its own
// code page back at the end. Redirected output keeps the bytes as they are,
// with "\n" line ends as on every other platform (no text-mode translation).
UINT savedConsoleCodePage = 0;

void PrepareWindowsConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
        GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
        savedConsoleCodePage = GetConsoleOutputCP();
        if (SetConsoleOutputCP(CP_UTF8)) {
            std::atexit([] { SetConsoleOutputCP(savedConsoleCodePage); });
        }
    }
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    PrepareWindowsConsole();
#endif
    CLI::App app{"pamiro-cli: conversor de formatos I/A Series (linea de ordenes)", "pamiro-cli"};
    pamiro::cli::UseSpanishHelp(app);
    app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
    bool version = false;
    app.add_flag("--version", version, "Muestra el nombre y la version del programa");
    app.require_subcommand(0, 1);
    app.fallthrough();

    int exitCode = 0;
    pamiro::cli::AddConvertCommand(app, exitCode);
    pamiro::cli::AddBatchCommand(app, exitCode);
    pamiro::cli::AddDatfileCommand(app, exitCode);
    pamiro::cli::AddInspectCommand(app, exitCode);
    for (CLI::App* sub : app.get_subcommands({})) {
        sub->set_help_flag("-h,--help", "Muestra esta ayuda y termina");
        sub->group("Ordenes");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }
    if (version) {
        std::printf("pamiro-cli (%s) %s\n", std::string(pamiro::kProgramName).c_str(),
                    std::string(pamiro::kVersionText).c_str());
        return 0;
    }
    if (app.get_subcommands().empty()) {
        std::fputs(app.help().c_str(), stdout);
        return 2;
    }
    return exitCode;
}
