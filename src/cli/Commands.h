#pragma once

#include <CLI/CLI.hpp>

namespace pamiro::cli {

// The whole command line: parses argv, runs the chosen command, returns the exit status.
int RunCommandLine(int argc, char** argv);

// Each subcommand registers itself on the app and, when chosen, stores its
// exit status in exitCode: 0 done, 1 refused or failed, 2 usage error.
void AddConvertCommand(CLI::App& app, int& exitCode);
void AddBatchCommand(CLI::App& app, int& exitCode);
void AddDatfileCommand(CLI::App& app, int& exitCode);
void AddInspectCommand(CLI::App& app, int& exitCode);
void AddCompareCommand(CLI::App& app, int& exitCode);

// Spanish labels for CLI11's help output.
void UseSpanishHelp(CLI::App& app);
// Prints a parse error in Spanish, naming the option; returns the usage status 2.
int ReportParseError(const CLI::App& app, const CLI::ParseError& error);

}  // namespace pamiro::cli
