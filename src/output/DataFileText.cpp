#include "output/DataFileText.h"

#include <optional>

namespace pamiro {

namespace {

constexpr std::string_view kHeaderKey = "NAME";
constexpr std::string_view kTypeEntryKey = "TYPE";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A token that survives a text line unchanged: printable ASCII, no blanks.
bool IsPlainToken(std::string_view token) {
    if (token.empty()) return false;
    for (char c : token) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x21 || byte > 0x7E) return false;
    }
    return true;
}

bool IsPlainParameterName(std::string_view name) {
    return IsPlainToken(name) && name.front() != '#' && !name.starts_with(kHeaderKey);
}

// The text of a field written as the build writes it: text, then at least one
// NUL, then only NULs. Anything else has no plain form.
std::optional<std::string_view> PaddedText(std::string_view field) {
    const std::size_t nul = field.find('\0');
    if (nul == std::string_view::npos) return std::nullopt;
    if (field.find_first_not_of('\0', nul) != std::string_view::npos) return std::nullopt;
    return field.substr(0, nul);
}

bool FieldIs(std::string_view field, std::string_view text) {
    const auto padded = PaddedText(field);
    return padded && *padded == text;
}

struct RecordView {
    std::string_view Prefix, Key, Detail;
};

RecordView ViewRecord(std::string_view record, const DataFileLayout& layout) {
    return {record.substr(layout.PrefixOffset, layout.PrefixWidth),
            record.substr(layout.KeyOffset, layout.KeyWidth),
            record.substr(layout.DetailOffset, layout.DetailWidth)};
}

std::optional<std::string_view> PlainTypeHeader(const RecordView& r) {
    if (!FieldIs(r.Prefix, "") || !FieldIs(r.Key, kHeaderKey)) return std::nullopt;
    const auto type = PaddedText(r.Detail);
    if (!type || !IsPlainToken(*type)) return std::nullopt;
    return type;
}

bool IsPlainTypeEntry(const RecordView& r) {
    return FieldIs(r.Prefix, "") && FieldIs(r.Key, kTypeEntryKey) && FieldIs(r.Detail, "");
}

std::optional<std::string_view> PlainParameter(const RecordView& r) {
    if (!FieldIs(r.Prefix, "") || !FieldIs(r.Detail, "")) return std::nullopt;
    const auto name = PaddedText(r.Key);
    if (!name || !IsPlainParameterName(*name)) return std::nullopt;
    return name;
}

std::string_view WithoutTrailingNuls(std::string_view field) {
    const std::size_t last = field.find_last_not_of('\0');
    return last == std::string_view::npos ? std::string_view{} : field.substr(0, last + 1);
}

std::string RawLine(const RecordView& r) {
    return "RAW " + QuoteBytes(WithoutTrailingNuls(r.Prefix)) + " " +
           QuoteBytes(WithoutTrailingNuls(r.Key)) + " " + QuoteBytes(WithoutTrailingNuls(r.Detail));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one quoted string at pos (blanks before it skipped); on success pos is
// just past the closing quote.
bool ReadQuoted(std::string_view line, std::size_t& pos, std::string& out, std::string& error) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '"') {
        error = "se esperaba un texto entre comillas";
        return false;
    }
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (pos >= line.size()) break;
        const char escaped = line[pos++];
        if (escaped == '\\' || escaped == '"') {
            out.push_back(escaped);
        } else if (escaped == 'x' && pos + 1 < line.size() && HexDigit(line[pos]) >= 0 &&
                   HexDigit(line[pos + 1]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(line[pos]) * 16 + HexDigit(line[pos + 1])));
            pos += 2;
        } else {
            error = "secuencia de escape no válida (use \\xHH, \\\\ o \\\")";
            return false;
        }
    }
    error = "falta la comilla de cierre";
    return false;
}

bool OnlyBlanksFrom(std::string_view line, std::size_t pos) {
    for (; pos < line.size(); ++pos) {
        if (!IsBlank(line[pos])) return false;
    }
    return true;
}

std::string_view TrimLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    return line;
}

class TextBuilder {
  public:
    explicit TextBuilder(const DataFileLayout& layout) : layout_(layout) {}

    void Line(std::size_t number, std::string_view line) {
        line_ = number;
        line = TrimLine(line);
        if (line.empty() || line.front() == '#') return;
        if (partialSeen_) return Fail("nada puede seguir a PARTIAL, el último registro");
        std::size_t split = 0;
        while (split < line.size() && !IsBlank(line[split])) ++split;
        const std::string_view word = line.substr(0, split);
        std::string_view rest = line.substr(split);
        while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);

        if (rest.empty()) return Parameter(word);
        if (word == "TYPE") return Type(rest);
        if (word == "RAW") return Raw(line, split);
        if (word == "PARTIAL") return Partial(line, split);
        Fail("no se entiende la línea: se espera un nombre de parámetro, TYPE, RAW o PARTIAL");
    }

    DataFileBuild Result() && { return std::move(result_); }

  private:
    void Fail(const std::string& text) {
        result_.Errors.push_back("línea " + std::to_string(line_) + ": " + text);
    }

    void Append(std::string_view prefix, std::string_view key, std::string_view detail) {
        std::string record(layout_.RecordSize, '\0');
        record.replace(layout_.PrefixOffset, prefix.size(), prefix);
        record.replace(layout_.KeyOffset, key.size(), key);
        record.replace(layout_.DetailOffset, detail.size(), detail);
        result_.Bytes += record;
    }

    bool FitsWithNul(std::string_view text, std::size_t width, std::string_view what) {
        if (text.size() < width) return true;
        Fail(std::string(what) + " " + QuoteBytes(text) + " tiene " + std::to_string(text.size()) +
             " caracteres; el formato " + LayoutDescription(layout_) + " admite " +
             std::to_string(width - 1));
        return false;
    }

    void Parameter(std::string_view name) {
        if (!headerSeen_) return Fail("nombre de parámetro antes del primer TYPE");
        if (name.starts_with(kHeaderKey)) {
            return Fail("el nombre " + QuoteBytes(name) +
                        " empieza por NAME y abriria un tipo nuevo; si es eso, use RAW");
        }
        if (!IsPlainParameterName(name)) {
            return Fail("el nombre " + QuoteBytes(name) + " lleva caracteres no válidos; use RAW");
        }
        if (!FitsWithNul(name, layout_.KeyWidth, "el nombre")) return;
        Append("", name, "");
    }

    void Type(std::string_view type) {
        if (!IsPlainToken(type)) {
            return Fail("el tipo " + QuoteBytes(type) +
                        " lleva blancos o caracteres no válidos; use RAW");
        }
        if (!FitsWithNul(type, layout_.DetailWidth, "el tipo")) return;
        Append("", kHeaderKey, type);
        Append("", kTypeEntryKey, "");
        headerSeen_ = true;
    }

    void Raw(std::string_view line, std::size_t pos) {
        std::string fields[3];
        const std::size_t widths[3] = {layout_.PrefixWidth, layout_.KeyWidth, layout_.DetailWidth};
        const char* names[3] = {"el prefijo", "la clave", "el detalle"};
        std::string error;
        for (int i = 0; i < 3; ++i) {
            if (!ReadQuoted(line, pos, fields[i], error)) return Fail("RAW: " + error);
            if (fields[i].size() > widths[i]) {
                return Fail("RAW: " + std::string(names[i]) + " tiene " +
                            std::to_string(fields[i].size()) + " bytes; su campo, " +
                            std::to_string(widths[i]));
            }
        }
        if (!OnlyBlanksFrom(line, pos)) return Fail("RAW: sobra texto tras el tercer campo");
        Append(fields[0], fields[1], fields[2]);
        if (fields[1].starts_with(kHeaderKey)) headerSeen_ = true;
    }

    void Partial(std::string_view line, std::size_t pos) {
        std::string bytes, error;
        if (!ReadQuoted(line, pos, bytes, error)) return Fail("PARTIAL: " + error);
        if (!OnlyBlanksFrom(line, pos)) return Fail("PARTIAL: sobra texto tras el campo");
        if (bytes.empty() || bytes.size() >= layout_.RecordSize) {
            return Fail("PARTIAL: un registro incompleto tiene de 1 a " +
                        std::to_string(layout_.RecordSize - 1) + " bytes");
        }
        result_.Bytes += bytes;
        partialSeen_ = true;
    }

    const DataFileLayout& layout_;
    DataFileBuild result_;
    std::size_t line_ = 0;
    bool headerSeen_ = false;
    bool partialSeen_ = false;
};

}  // namespace

std::string QuoteBytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte >= 0x20 && byte <= 0x7E) {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        }
    }
    out.push_back('"');
    return out;
}

std::string LayoutDescription(const DataFileLayout& layout) {
    return std::string(layout.RecordSize == kLongDataLayout.RecordSize ? "largo" : "corto") + " (" +
           std::to_string(layout.RecordSize) + " bytes por registro)";
}

std::string DataFileToText(std::string_view bytes, const DataFileLayout& layout) {
    std::string text = "# Archivo de datos de parámetros, formato " + LayoutDescription(layout) +
                       "\n"
                       "# TYPE <tipo> abre un tipo; después, un nombre de parámetro por línea.\n"
                       "# RAW \"prefijo\" \"clave\" \"detalle\": un registro tal cual "
                       "(\\xHH, \\\\, \\\"); PARTIAL: resto incompleto.\n";
    const std::size_t size = layout.RecordSize;
    const std::size_t whole = bytes.size() / size;
    bool headerSeen = false;
    for (std::size_t i = 0; i < whole; ++i) {
        const RecordView record = ViewRecord(bytes.substr(i * size, size), layout);
        if (const auto type = PlainTypeHeader(record);
            type && i + 1 < whole &&
            IsPlainTypeEntry(ViewRecord(bytes.substr((i + 1) * size, size), layout))) {
            text += "\nTYPE " + std::string(*type) + "\n";
            headerSeen = true;
            ++i;
            continue;
        }
        if (const auto name = PlainParameter(record); name && headerSeen) {
            text += std::string(*name) + "\n";
            continue;
        }
        text += RawLine(record) + "\n";
        if (record.Key.starts_with(kHeaderKey)) headerSeen = true;
    }
    if (bytes.size() % size != 0) {
        text += "PARTIAL " + QuoteBytes(bytes.substr(whole * size)) + "\n";
    }
    return text;
}

DataFileBuild DataFileFromText(std::string_view text, const DataFileLayout& layout) {
    TextBuilder builder(layout);
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        builder.Line(++number, text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return std::move(builder).Result();
}

}  // namespace pamiro
