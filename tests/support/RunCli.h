#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <string>
#include <vector>

#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {

struct CliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Runs the built pamiro-cli with the arguments (each quoted for the shell),
// capturing its exit status, stdout and stderr.
inline CliResult RunCli(const std::vector<std::string>& args) {
    TempDir capture;
#ifdef _WIN32
    // cmd.exe: each argument in double quotes, and the whole line once more,
    // since "cmd /c" drops the outer pair.
    std::string command = "\"\"" PAMIRO_CLI_PATH "\"";
    for (const std::string& arg : args) command += " \"" + arg + "\"";
    command += " >\"" + (capture / "out") + "\" 2>\"" + (capture / "err") + "\" <NUL\"";
    const int raw = std::system(command.c_str());
    CliResult result;
    result.Status = raw;
#else
    std::string command = "'" PAMIRO_CLI_PATH "'";
    for (const std::string& arg : args) {
        std::string quoted = "'";
        for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " " + quoted + "'";
    }
    command += " >'" + (capture / "out") + "' 2>'" + (capture / "err") + "' </dev/null";
    const int raw = std::system(command.c_str());
    CliResult result;
    result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.Out = ReadFile(capture.Path() / "out");
    result.Err = ReadFile(capture.Path() / "err");
    return result;
}

}  // namespace pamiro::testing
