#pragma once

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {

struct CliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

// Every entry under folder (hidden ones too) with its bytes, "<folder>" or,
// for a link, "-> " and its target; nothing when the folder is missing.
inline std::map<std::string, std::string> Tree(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    if (!fs::exists(folder)) return entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        entries[fs::relative(entry.path(), folder).generic_string()] =
            entry.is_symlink()     ? "-> " + fs::read_symlink(entry).string()
            : entry.is_directory() ? "<folder>"
                                   : ReadFile(entry.path());
    }
    return entries;
}

inline bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A command line: the words of text (split at blanks), then more as they stand.
inline std::vector<std::string> Words(const std::string& text,
                                      const std::vector<std::string>& more = {}) {
    std::vector<std::string> args;
    std::istringstream in(text);
    for (std::string word; in >> word;) args.push_back(word);
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The option's value replaced, or the option (with its value) added.
inline std::vector<std::string> Set(std::vector<std::string> args, const std::string& option,
                                    const std::string& value = {}) {
    const auto at = std::find(args.begin(), args.end(), option);
    if (at != args.end()) {
        *(at + 1) = value;
        return args;
    }
    args.push_back(option);
    if (!value.empty()) args.push_back(value);
    return args;
}

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

// The same command line run inside the test process, its streams captured.
inline CliResult RunCliHere(std::vector<std::string> args) {
    args.insert(args.begin(), "pamiro-cli");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    CliResult result;
    result.Status = cli::RunCommandLine(static_cast<int>(argv.size()), argv.data());
    result.Out = ::testing::internal::GetCapturedStdout();
    result.Err = ::testing::internal::GetCapturedStderr();
    return result;
}

}  // namespace pamiro::testing
