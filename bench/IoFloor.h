#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pamiro::bench {

// The least any conversion must do: read every input byte once and write
// every output byte once, with plain buffered stdio.

// Every regular file under the folders, in a stable order.
std::vector<std::filesystem::path> FilesUnder(const std::vector<std::filesystem::path>& folders);
// Output files by name with their bytes.
std::map<std::string, std::string> ReadOutput(const std::filesystem::path& folder);
// Reads the inputs and writes the outputs into folder; returns the bytes moved.
std::size_t RunIoFloor(const std::vector<std::filesystem::path>& inputs,
                       const std::map<std::string, std::string>& outputs,
                       const std::filesystem::path& folder);

}  // namespace pamiro::bench
