#include "output/OutputReadBack.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "core/Text.h"
#include "output/BlockWriter.h"
#include "output/OutputFiles.h"

namespace pamiro {

namespace {

constexpr std::uint64_t kLargestFile = 4ull << 30;

// Thrown inside a reader; each reader hands it back as its result.
struct Refused {
    ReadBackError Error;
};

// Blanks as the conversion trims them (0x20 only).
bool IsBlank(char c) { return c == ' '; }

std::string_view TrimmedView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The lines of one whole file: LF ends a line, a CR before it is dropped, and
// a last line without its end counts.
class TextFile {
  public:
    TextFile(const InputFolder& folder, const std::string& name) : path_(folder.PathOf({name})) {
        auto source = folder.Open({name});
        if (!source) throw Refused{{path_, 0, "no existe el archivo " + name}};
        path_ = source->Name();
        // Read whole; a file no conversion could have written is not.
        if (source->Length() > kLargestFile) throw Refused{{path_, 0, "archivo demasiado grande"}};
        bytes_.resize(static_cast<std::size_t>(source->Length()));
        source->ReadAt(0, bytes_.data(), bytes_.size());
    }
    // False at the end; raw is the line without its end, trimmed without
    // the blanks at either end.
    bool Next(std::string_view& raw, std::string_view& trimmed) {
        if (at_ >= bytes_.size()) return false;
        const char* start = bytes_.data() + at_;
        const void* lf = std::memchr(start, '\n', bytes_.size() - at_);
        const std::size_t length =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start)
               : bytes_.size() - at_;
        at_ += length + 1;
        ++line_;
        raw = std::string_view(start, length);
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        trimmed = TrimmedView(raw);
        return true;
    }
    [[noreturn]] void Refuse(const std::string& reason) const {
        throw Refused{{path_, line_, reason}};
    }
    long long Line() const { return line_; }

  private:
    std::string path_, bytes_;
    std::size_t at_ = 0;
    long long line_ = 0;
};

// "name n", the number after the last blank; false when the line has none.
bool SplitNumbered(std::string_view line, std::string& name, long long& n) {
    const std::size_t blank = line.rfind(' ');
    if (blank == std::string_view::npos || blank + 1 == line.size() || line.size() - blank > 10) {
        return false;
    }
    n = 0;
    for (const char c : line.substr(blank + 1)) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    name = std::string(TrimmedView(line.substr(0, blank)));
    return !name.empty();
}

// "key>value" (compound file) or "key = value" (script), both parts trimmed.
bool SplitAt(std::string_view line, char mark, std::string_view& key, std::string_view& value) {
    const std::size_t at = line.find(mark);
    if (at == std::string_view::npos) return false;
    key = TrimmedView(line.substr(0, at));
    value = TrimmedView(line.substr(at + 1));
    return !key.empty();
}

// src_list: for each "compound:block", its copies' names in list order.
using CopyNames = std::unordered_map<std::string, std::vector<std::string>>;

CopyNames ReadSourceList(const InputFolder& folder) {
    TextFile file(folder, kSourceListName);
    CopyNames copies;
    std::string_view raw, line;
    std::string key;
    long long n = 0;
    while (file.Next(raw, line)) {
        if (line.empty()) continue;
        if (!SplitNumbered(line, key, n) || key.find(':') == std::string::npos) {
            file.Refuse("se esperaba \"compuesto:bloque número\"");
        }
        copies[key].push_back(SourceCopyName(n));
    }
    return copies;
}

// One compound file: NAME/TYPE groups, then "NAME     >END" and the
// revision line.
class CompoundFileReader {
  public:
    CompoundFileReader(ReadBackSink& sink, CopyNames& copies,
                       std::unordered_map<std::string, std::size_t>& used)
        : sink_(sink), copies_(copies), used_(used) {}

    void Read(TextFile& file, const std::string& compound) {
        enum class At { Start, NeedType, InBlock, NeedRevision, Done } at = At::Start;
        block_.Compound = compound;
        std::string_view raw, line, key, value;
        while (file.Next(raw, line)) {
            if (line.empty()) continue;
            if (at == At::Done) file.Refuse("línea después del código de revisión");
            if (at == At::NeedRevision) {
                if (!StartsIgnoringCase(line, "**** Revision Code")) {
                    file.Refuse("se esperaba \"**** Revision Code\" después de NAME     >END");
                }
                sink_.CompoundEnded(RevisionCode(TrimmedView(raw).substr(18)));
                at = At::Done;
                continue;
            }
            if (!SplitAt(line, '>', key, value)) file.Refuse("se esperaba \"NOMBRE   >valor\"");
            if (EqualIgnoringAsciiCase(key, "NAME")) {
                if (at == At::NeedType) file.Refuse("se esperaba TYPE     >tipo");
                Flush();
                if (EqualIgnoringAsciiCase(value, "END")) {
                    at = At::NeedRevision;
                    continue;
                }
                StartBlock(value);
                at = At::NeedType;
            } else if (at == At::NeedType) {
                if (!EqualIgnoringAsciiCase(key, "TYPE")) file.Refuse("se esperaba TYPE     >tipo");
                block_.Type = value;
                at = At::InBlock;
            } else if (at == At::InBlock) {
                block_.Names.emplace_back(key);
                block_.Values.emplace_back(value);
            } else {
                file.Refuse("se esperaba NAME     >bloque");
            }
        }
        if (at != At::Done) {
            file.Refuse(at == At::NeedRevision ? "falta la línea \"**** Revision Code\""
                                               : "falta NAME     >END");
        }
    }

  private:
    // As written: four characters; blanks a hand edit added or dropped at
    // the line's end are not the code's.
    static std::string RevisionCode(std::string_view rest) {
        if (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        std::string code(rest);
        while (code.size() > 4 && code.back() == ' ') code.pop_back();
        if (code.size() < 4) code.resize(4, ' ');
        return code;
    }
    void StartBlock(std::string_view name) {
        open_ = true;
        block_.Name = name;
        block_.Type.clear();
        block_.Names.clear();
        block_.Values.clear();
        block_.SequenceCopy.clear();
    }
    void Flush() {
        if (!open_) return;
        open_ = false;
        if (IsSequenceBlockType(block_.Type)) {
            const std::string key = block_.Compound + ":" + block_.Name;
            const auto it = copies_.find(key);
            std::size_t& n = used_[key];
            if (it != copies_.end() && n < it->second.size()) block_.SequenceCopy = it->second[n++];
        }
        sink_.BlockRead(block_);
    }

    ReadBackSink& sink_;
    CopyNames& copies_;
    std::unordered_map<std::string, std::size_t>& used_;
    ReadBackBlock block_;
    bool open_ = false;
};

template <typename Read>
std::optional<ReadBackError> Refusing(Read read) {
    try {
        read();
    } catch (const Refused& refused) {
        return refused.Error;
    }
    return std::nullopt;
}

}  // namespace

std::string ReadBackError::Text() const {
    return Line > 0 ? File + ", línea " + std::to_string(Line) + ": " + Reason
                    : File + ": " + Reason;
}

std::optional<ReadBackError> ReadFoxCaeOutput(const InputFolder& folder, ReadBackSink& sink) {
    return Refusing([&] {
        TextFile list(folder, kCompoundListName);
        CopyNames copies = ReadSourceList(folder);
        std::unordered_map<std::string, std::size_t> used;
        std::string_view raw, line;
        std::string name;
        long long n = 0;
        while (list.Next(raw, line)) {
            if (line.empty()) continue;
            if (!SplitNumbered(line, name, n)) list.Refuse("se esperaba \"compuesto número\"");
            const std::string file = CompoundFileName(n);
            if (folder.Find({file}).Kind != EntryKind::File) {
                list.Refuse("no existe el archivo " + file);
            }
            sink.CompoundStarted(name);
            TextFile compound(folder, file);
            CompoundFileReader(sink, copies, used).Read(compound, name);
        }
    });
}

std::optional<ReadBackError> ReadIccOutput(const InputFolder& folder, const std::string& cp,
                                           ReadBackSink& sink) {
    return Refusing([&] {
        TextFile file(folder, ScriptName(cp));
        enum class At { Open, Between, NeedType, InBlock, NeedExit, Done } at = At::Open;
        ReadBackBlock block;
        std::string_view raw, line, key, value;
        bool started = false;
        while (file.Next(raw, line)) {
            if (line.empty()) continue;
            switch (at) {
                case At::Open: {
                    std::string words[5];
                    std::size_t count = 0;
                    for (std::size_t i = 0; i < line.size() && count < 5;) {
                        const std::size_t end = std::min(line.find(' ', i), line.size());
                        words[count++] = std::string(line.substr(i, end - i));
                        i = line.find_first_not_of(' ', end);
                        if (i == std::string_view::npos) break;
                    }
                    if (count != 4 || !EqualIgnoringAsciiCase(words[0], "OPEN") ||
                        !EqualIgnoringAsciiCase(words[1], cp) ||
                        !EqualIgnoringAsciiCase(words[2], "ALL") ||
                        !EqualIgnoringAsciiCase(words[3], "PAMIRO")) {
                        file.Refuse("se esperaba \"OPEN " + cp + " ALL PAMIRO\"");
                    }
                    at = At::Between;
                    break;
                }
                case At::Between:
                    if (StartsIgnoringCase(line, "ADD ")) {
                        const std::string_view target = TrimmedView(line.substr(4));
                        const std::size_t colon = target.find(':');
                        const std::string compound(target.substr(0, colon));
                        block.Name = colon == std::string_view::npos
                                         ? compound
                                         : std::string(TrimmedView(target.substr(colon + 1)));
                        if (compound.empty() || block.Name.empty()) {
                            file.Refuse("se esperaba \"ADD compuesto:bloque\"");
                        }
                        if (!started || compound != block.Compound) sink.CompoundStarted(compound);
                        started = true;
                        block.Compound = compound;
                        block.Names.clear();
                        block.Values.clear();
                        at = At::NeedType;
                    } else if (StartsIgnoringCase(line, "CLOSE ") &&
                               EqualIgnoringAsciiCase(TrimmedView(line.substr(6)), cp)) {
                        at = At::NeedExit;
                    } else {
                        file.Refuse("se esperaba \"ADD compuesto:bloque\" o \"CLOSE " + cp + "\"");
                    }
                    break;
                case At::NeedType:
                    if (!SplitAt(line, '=', key, value) || !EqualIgnoringAsciiCase(key, "TYPE")) {
                        file.Refuse("se esperaba \"TYPE = tipo\"");
                    }
                    block.Type = value;
                    at = At::InBlock;
                    break;
                case At::InBlock:
                    if (EqualIgnoringAsciiCase(line, "END")) {
                        sink.BlockRead(block);
                        at = At::Between;
                    } else if (SplitAt(line, '=', key, value)) {
                        block.Names.emplace_back(key);
                        block.Values.emplace_back(value);
                    } else {
                        file.Refuse("se esperaba \"PARÁMETRO  = valor\" o END");
                    }
                    break;
                case At::NeedExit:
                    if (!EqualIgnoringAsciiCase(line, "EXIT")) file.Refuse("se esperaba EXIT");
                    at = At::Done;
                    break;
                case At::Done:
                    file.Refuse("línea después de EXIT");
            }
        }
        if (at != At::Done) file.Refuse("el guion termina sin \"CLOSE " + cp + "\" y EXIT");
    });
}

}  // namespace pamiro
