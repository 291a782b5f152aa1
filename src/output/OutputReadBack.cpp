#include "output/OutputReadBack.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "core/Text.h"
#include "output/BlockWriter.h"
#include "output/OutputFiles.h"
#include "output/ReadBackLines.h"

namespace pamiro {

using namespace readback;

namespace {

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

}  // namespace pamiro
