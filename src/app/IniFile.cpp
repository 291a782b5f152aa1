#include "app/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "core/FileError.h"

#if __has_include(<unistd.h>) && !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#define PAMIRO_HAVE_FSYNC 1
#endif

namespace pamiro {

namespace fs = std::filesystem;

namespace {

// Windows paths are wide; its C library knows no "x" (the name is random anyway).
std::FILE* OpenStream(const fs::path& path, bool create) {
#ifdef _WIN32
    return _wfopen(path.c_str(), create ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), create ? "wbx" : "rb");
#endif
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLine(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

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
        if (SameName(data.Name, section)) return &data;
    }
    return nullptr;
}

const IniDocument::SectionData* IniDocument::Find(std::string_view section) const {
    return const_cast<IniDocument*>(this)->Find(section);
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    if (const SectionData* data = Find(section)) {
        for (const auto& [name, value] : data->Entries) {
            if (SameName(name, key)) return value;
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
        if (SameName(name, key)) {
            stored = std::move(value);
            return;
        }
    }
    data->Entries.emplace_back(std::string(key), std::move(value));
}

void IniDocument::RemoveSection(std::string_view section) {
    std::erase_if(sections_, [&](const SectionData& data) { return SameName(data.Name, section); });
}

KeyValuePairs IniDocument::Section(std::string_view section) const {
    const SectionData* data = Find(section);
    return data == nullptr ? KeyValuePairs{} : data->Entries;
}

std::optional<IniDocument> LoadIniFile(const fs::path& file, std::string& error) {
    errno = 0;
    std::FILE* stream = OpenStream(file, false);
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

namespace {

// Temporary files of a save that ended before its rename carry the name this
// save would give its own: the store's name, ".tmp-" and digits. Only those
// older than a minute go, so another instance's save in progress is safe.
void RemoveStaleTemporaries(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".tmp-";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const auto now = fs::file_time_type::clock::now();
    std::error_code code;
    for (fs::directory_iterator entry(folder, code), end; !code && entry != end;
         entry.increment(code)) {
        const std::string name = entry->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        std::error_code ignored;
        if (!fs::is_regular_file(entry->symlink_status(ignored))) continue;
        const auto written = fs::last_write_time(entry->path(), ignored);
        if (ignored || now - written < std::chrono::minutes(1)) continue;
        fs::remove(entry->path(), ignored);
    }
}

// Without this a crash soon after the rename could bring the old file back.
void SyncFolder([[maybe_unused]] const fs::path& folder) {
#ifdef PAMIRO_HAVE_FSYNC
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
#endif
}

}  // namespace

bool SaveIniFileAtomically(const fs::path& file, const IniDocument& document, std::string& error) {
    // Messages name the store as the user knows it, never the temporary file.
    auto fail = [&](int errnoValue) {
        error = file.string() + ": " + ErrorText(errnoValue);
        return false;
    };
    std::error_code code;
    fs::path target = file;
    // A store that is a link to a file elsewhere stays a link.
    if (fs::is_symlink(file, code)) target = fs::weakly_canonical(file, code);
    if (code) target = file;

    // A store the user made read-only stays as it is, even where renaming
    // over it would work (as the superuser, or in a writable folder).
    const fs::file_status existing = fs::status(target, code);
    const bool exists = !code && fs::exists(existing);
    if (exists && (existing.permissions() & fs::perms::owner_write) == fs::perms::none) {
        return fail(EACCES);
    }
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), code);
    RemoveStaleTemporaries(target);

    std::random_device random;
    const fs::path temporary = target.string() + ".tmp-" + std::to_string(random() % 1000000000u);
    errno = 0;
    std::FILE* stream = OpenStream(temporary, true);
    if (stream == nullptr) return fail(errno);
    int failure = 0;
    auto check = [&](bool ok) {
        if (!ok && failure == 0) failure = errno != 0 ? errno : EIO;
    };
    // The store keeps its mode (a private 0600 stays private) before any
    // byte of it is written.
    if (exists) {
        fs::permissions(temporary, existing.permissions(), code);
        if (code) failure = code.default_error_condition().value();
    }
    const std::string text = document.Serialise();
    check(failure == 0 && std::fwrite(text.data(), 1, text.size(), stream) == text.size());
    check(std::fflush(stream) == 0);
#ifdef PAMIRO_HAVE_FSYNC
    check(::fsync(fileno(stream)) == 0);
#endif
    check(std::fclose(stream) == 0);
    if (failure != 0) {
        fs::remove(temporary, code);
        return fail(failure);
    }
    fs::rename(temporary, target, code);
    if (code) {
        const int renameError = code.default_error_condition().value();
        fs::remove(temporary, code);
        return fail(renameError);
    }
    SyncFolder(target.parent_path());
    return true;
}

}  // namespace pamiro
