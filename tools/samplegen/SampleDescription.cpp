#include "SampleDescription.h"

#include <map>
#include <sstream>

#include "output/BlockWriter.h"
#include "output/ParameterDataFile.h"

namespace pamiro::samplegen {

namespace fs = std::filesystem;
using testing::BlockSpec;
using testing::CompoundSpec;

namespace {

// Splits a line into words; "quoted text" after "=" stays one word.
std::vector<std::string> Words(const std::string& line, int lineNo) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word.push_back(c);
            any = true;
        }
    }
    if (quoted) throw DescriptionError(lineNo, "unterminated quote");
    if (any) words.push_back(word);
    return words;
}

int ParsePlatform(const std::string& text, int lineNo) {
    if (text == "pw") return 0;
    if (text == "aw51") return 1;
    if (text == "aw70") return 2;
    throw DescriptionError(lineNo, "unknown platform " + text);
}

BlockSpec MakeBlock(const std::vector<std::string>& words, std::size_t nameAt, std::string name,
                    ParameterLookup& data, int lineNo) {
    if (words.size() <= nameAt) throw DescriptionError(lineNo, "missing type");
    BlockSpec block{std::move(name), words[nameAt], {}};
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = nameAt + 1; i < words.size(); ++i) {
        const auto eq = words[i].find('=');
        if (eq == std::string::npos)
            throw DescriptionError(lineNo, "expected KEY=VALUE: " + words[i]);
        pairs.emplace_back(words[i].substr(0, eq), words[i].substr(eq + 1));
    }
    const std::vector<std::string>* list = data.Find(block.Type);
    if (list == nullptr) {
        // A type the data file lacks: the values as written.
        for (auto& pair : pairs) block.Values.push_back(pair.second);
        return block;
    }
    std::map<std::string, std::string> values(pairs.begin(), pairs.end());
    for (std::size_t j = 2; j < list->size(); ++j) {
        auto found = values.find((*list)[j]);
        block.Values.push_back(found == values.end() ? std::string() : found->second);
        if (found != values.end()) values.erase(found);
    }
    if (!values.empty()) {
        throw DescriptionError(lineNo,
                               "type " + block.Type + " has no parameter " + values.begin()->first);
    }
    return block;
}

}  // namespace

Sample ParseSample(const std::string& text, const std::string& dataFile, int dataPlatform,
                   const fs::path& sourcesDir) {
    const DiskInputFolder folder(fs::path(dataFile).parent_path().string(), true);
    ParameterLookup data(folder, {fs::path(dataFile).filename().string()},
                         TraitsOf(*PlatformFromIndex(dataPlatform)).DataLayout);
    Sample sample;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::vector<std::string> words = Words(line, lineNo);
        if (words.empty() || words[0][0] == '#') continue;
        const std::string& key = words[0];
        if ((key == "cp" || key == "revision" || key == "platform" || key == "compound") &&
            words.size() != 2) {
            throw DescriptionError(lineNo, key + " takes one value");
        }
        if (key == "cp") {
            sample.Cp = words[1];
        } else if (key == "revision") {
            sample.Revision = words[1];
        } else if (key == "platform") {
            sample.Platform = ParsePlatform(words[1], lineNo);
        } else if (key == "compound") {
            sample.Compounds.push_back(CompoundSpec{words[1], std::nullopt, {}, {}});
        } else if (key == "own" || key == "block") {
            if (sample.Compounds.empty())
                throw DescriptionError(lineNo, key + " outside a compound");
            CompoundSpec& compound = sample.Compounds.back();
            if (key == "own") {
                compound.Own = MakeBlock(words, 1, compound.Name, data, lineNo);
                continue;
            }
            if (words.size() < 3) throw DescriptionError(lineNo, "block NAME TYPE ...");
            compound.Blocks.push_back(MakeBlock(words, 2, words[1], data, lineNo));
            const BlockSpec& block = compound.Blocks.back();
            const fs::path source = sourcesDir / compound.Name / (block.Name + ".s");
            if (IsSequenceBlockType(block.Type) && fs::exists(source)) {
                compound.Sources[block.Name] = testing::ReadFile(source);
            }
        } else {
            throw DescriptionError(lineNo, "unknown keyword " + key);
        }
    }
    if (sample.Cp.size() != 6) throw DescriptionError(lineNo, "cp must name a six-character CP");
    if (data.Find("COMPND") == nullptr)
        throw DescriptionError(lineNo, "data file " + dataFile + " lacks COMPND");
    return sample;
}

void WriteSample(const Sample& sample, const fs::path& out) {
    const fs::path wf = out / "working-file";
    const fs::path sa = out / "save-all" / sample.Cp;
    fs::remove_all(wf);
    fs::remove_all(sa);
    testing::WriteWorkingFile(wf, {sample.Cp, sample.Revision, sample.Platform, sample.Compounds});
    testing::SaveAllSpec saveAll{sample.Compounds, {}, std::nullopt};
    for (const CompoundSpec& compound : sample.Compounds)
        saveAll.Revisions[compound.Name] = sample.Revision;
    testing::WriteSaveAll(sa, saveAll);
}

}  // namespace pamiro::samplegen
