#include "app/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "core/FileError.h"
#include "core/NativeFile.h"
#include "core/Text.h"

namespace pamiro {

namespace fs = std::filesystem;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLine(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool NeedsQuotes(std::string_view value) {
    if (value.empty()) return false;
    if (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == '"') return true;
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

// Bytes written as a backslash and a letter inside a quoted value.
constexpr std::pair<char, char> kEscapes[] = {
    {'\\', '\\'}, {'"', '"'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}};

std::string Quote(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [c](const auto& pair) { return pair.first == c; });
        if (escape != std::end(kEscapes)) {
            out += '\\';
            out += escape->second;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Unquote(std::string_view quoted) {
    std::string out;
    for (std::size_t i = 0; i < quoted.size(); ++i) {
        const char c = quoted[i];
        if (c != '\\' || i + 1 == quoted.size()) {
            out += c;
            continue;
        }
        const char next = quoted[i + 1];
        const auto* escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                          [next](const auto& pair) { return pair.second == next; });
        if (escape != std::end(kEscapes)) {
            out += escape->first;
            ++i;
        } else if (next == 'x' && i + 3 < quoted.size() && HexDigit(quoted[i + 2]) >= 0 &&
                   HexDigit(quoted[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(quoted[i + 2]) * 16 + HexDigit(quoted[i + 3]));
            i += 3;
        } else {
            out += c;  // an unknown escape stays as written
        }
    }
    return out;
}

std::string ReadValue(std::string_view raw) {
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
        return Unquote(raw.substr(1, raw.size() - 2));
    }
    return std::string(raw);
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    std::string section;
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimLine(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        const std::size_t equals = line.find('=');
        if (line.front() == '[' && line.back() == ']' && equals == std::string_view::npos) {
            section = std::string(TrimLine(line.substr(1, line.size() - 2)));
            inSection = true;
            continue;
        }
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view key = TrimLine(line.substr(0, equals));
        if (key.empty()) continue;
        document.Set(section, key, ReadValue(TrimLine(line.substr(equals + 1))));
    }
    return document;
}

std::string IniDocument::Serialise() const {
    std::string text;
    for (const SectionData& section : sections_) {
        if (!text.empty()) text += '\n';
        text += '[' + section.Name + "]\n";
        for (const auto& [key, value] : section.Entries) {
            text += key + '=' + (NeedsQuotes(value) ? Quote(value) : value) + '\n';
        }
    }
    return text;
}

IniDocument::SectionData* IniDocument::Find(std::string_view section) {
    for (SectionData& data : sections_) {
        if (EqualIgnoringAsciiCase(data.Name, section)) return &data;
    }
    return nullptr;
}

const IniDocument::SectionData* IniDocument::Find(std::string_view section) const {
    return const_cast<IniDocument*>(this)->Find(section);
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    if (const SectionData* data = Find(section)) {
        for (const auto& [name, value] : data->Entries) {
            if (EqualIgnoringAsciiCase(name, key)) return value;
        }
    }
    return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string value) {
    SectionData* data = Find(section);
    if (data == nullptr) {
        sections_.push_back({std::string(section), {}});
        data = &sections_.back();
    }
    for (auto& [name, stored] : data->Entries) {
        if (EqualIgnoringAsciiCase(name, key)) {
            stored = std::move(value);
            return;
        }
    }
    data->Entries.emplace_back(std::string(key), std::move(value));
}

void IniDocument::RemoveSection(std::string_view section) {
    std::erase_if(sections_, [&](const SectionData& data) {
        return EqualIgnoringAsciiCase(data.Name, section);
    });
}

KeyValuePairs IniDocument::Section(std::string_view section) const {
    const SectionData* data = Find(section);
    return data == nullptr ? KeyValuePairs{} : data->Entries;
}

std::optional<IniDocument> LoadIniFile(const fs::path& file, std::string& error) {
    errno = 0;
    std::FILE* stream = OpenStdioFile(file, false);
    if (stream == nullptr) {
        if (errno == ENOENT) return IniDocument{};
        error = file.string() + ": " + ErrorText(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) {
        text.append(buffer, got);
        // A settings file is a few hundred bytes; anything huge is not ours.
        if (text.size() > 1024 * 1024) {
            std::fclose(stream);
            error = file.string() + ": demasiado grande";
            return std::nullopt;
        }
    }
    const int readError = std::ferror(stream) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(stream);
    if (readError != 0) {
        error = file.string() + ": " + ErrorText(readError);
        return std::nullopt;
    }
    return IniDocument::Parse(text);
}

bool SaveIniFileAtomically(const fs::path& file, const IniDocument& document, std::string& error) {
    return ReplaceFileAtomically(file, document.Serialise(), error);
}

}  // namespace pamiro
