#include "IoFloor.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "treebuilder/TreeBuilder.h"

namespace pamiro::bench {

namespace fs = std::filesystem;

std::vector<fs::path> FilesUnder(const std::vector<fs::path>& folders) {
    std::vector<fs::path> files;
    for (const fs::path& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::map<std::string, std::string> ReadOutput(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files[entry.path().filename().string()] = testing::ReadFile(entry.path());
    }
    return files;
}

std::size_t RunIoFloor(const std::vector<fs::path>& inputs,
                       const std::map<std::string, std::string>& outputs, const fs::path& folder) {
    std::size_t moved = 0;
    std::vector<char> buffer(64 * 1024);
    for (const fs::path& input : inputs) {
        std::FILE* file = std::fopen(input.c_str(), "rb");
        if (file == nullptr) throw std::runtime_error("cannot read " + input.string());
        std::size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) moved += got;
        std::fclose(file);
    }
    for (const auto& [name, bytes] : outputs) {
        const fs::path path = folder / name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) throw std::runtime_error("cannot write " + path.string());
        moved += std::fwrite(bytes.data(), 1, bytes.size(), file);
        if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path.string());
    }
    return moved;
}

}  // namespace pamiro::bench
