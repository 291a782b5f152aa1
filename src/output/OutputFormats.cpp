#include "output/OutputFormats.h"

namespace pamiro {

namespace {
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (auto part : parts) size += part.size();
    std::string line;
    line.reserve(size);
    for (auto part : parts) line.append(part);
    return line;
}
}  // namespace

std::string NumberedFileName(std::string_view prefix, long long n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return Concat({prefix, digits});
}

std::string CompoundListLine(std::string_view compoundName, long long n) {
    return Concat({compoundName, " ", std::to_string(n)});
}

std::string SourceListLine(std::string_view compoundName, std::string_view blockName, long long n) {
    return Concat({compoundName, ":", blockName, " ", std::to_string(n)});
}

std::string FoxNameLine(std::string_view blockName) { return Concat({"NAME     >", blockName}); }
std::string FoxTypeLine(std::string_view blockType) { return Concat({"TYPE     >", blockType}); }

void AppendFoxParameterLine(std::string& line, std::string_view name, std::string_view value) {
    line.append(name);
    if (name.size() < 9) line.append(9 - name.size(), ' ');
    line.push_back('>');
    line.append(value);
}

std::string FoxParameterLine(std::string_view name, std::string_view value) {
    std::string line;
    AppendFoxParameterLine(line, name, value);
    return line;
}

std::string FoxRevisionLine(std::string_view revisionCode) {
    return Concat({"**** Revision Code ", revisionCode});
}

std::string IccOpenLine(std::string_view cpName) {
    return Concat({"OPEN ", cpName, " ALL PAMIRO"});
}
std::string IccCloseLine(std::string_view cpName) { return Concat({"CLOSE ", cpName}); }

std::string IccAddLine(std::string_view compoundName, std::string_view blockName) {
    if (blockName == compoundName) return Concat({"ADD ", blockName});
    return Concat({"ADD ", compoundName, ":", blockName});
}

std::string IccTypeLine(std::string_view blockType) { return Concat({"  TYPE = ", blockType}); }

void AppendIccParameterLine(std::string& line, std::string_view name, std::string_view value) {
    line.append("  ").append(name).append(" ").append(" = ").append(value);
}

std::string IccParameterLine(std::string_view name, std::string_view value) {
    std::string line;
    AppendIccParameterLine(line, name, value);
    return line;
}

}  // namespace pamiro
