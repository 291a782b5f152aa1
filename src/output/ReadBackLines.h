#pragma once

// The line reading both output readers share (not for use elsewhere).

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/Folders.h"
#include "core/Text.h"
#include "output/OutputReadBack.h"

namespace pamiro::readback {

// Thrown inside a reader; each reader hands it back as its result.
struct Refused {
    ReadBackError Error;
};

// Blanks as the conversion trims them (0x20 only).
inline bool IsBlank(char c) { return c == ' '; }

inline std::string_view TrimmedView(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

inline bool StartsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// The lines of one whole file: LF ends a line, a CR before it is dropped, and
// a last line without its end counts.
class TextFile {
  public:
    TextFile(const InputFolder& folder, const std::string& name) : path_(folder.PathOf({name})) {
        source_ = folder.Open({name});
        if (!source_) throw Refused{{path_, 0, "no existe el archivo " + name}};
        path_ = source_->Name();
        length_ = source_->Length();
    }
    // False at the end; raw is the line without its end, trimmed without
    // the blanks at either end (both valid until the next call).
    bool Next(std::string_view& raw, std::string_view& trimmed) {
        const void* lf = nullptr;
        for (;;) {
            if (at_ < bytes_.size()) {
                lf = std::memchr(bytes_.data() + at_, '\n', bytes_.size() - at_);
                if (lf != nullptr) break;
            }
            if (read_ >= length_) break;
            Refill();
        }
        if (at_ >= bytes_.size()) return false;
        const char* start = bytes_.data() + at_;
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
    // Read in pieces: a large script never lies in memory whole.
    static constexpr std::size_t kPiece = 1 << 20, kLongestLine = 16 << 20;
    void Refill() {
        bytes_.erase(0, std::min(at_, bytes_.size()));
        at_ = 0;
        // What is kept is the start of one line; no output line is this long.
        if (bytes_.size() > kLongestLine)
            throw Refused{{path_, line_ + 1, "línea demasiado larga"}};
        const std::size_t kept = bytes_.size();
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, length_ - read_));
        bytes_.resize(kept + piece);
        source_->ReadAt(read_, bytes_.data() + kept, piece);
        read_ += piece;
    }
    std::unique_ptr<ByteSource> source_;
    std::string path_, bytes_;
    std::uint64_t length_ = 0, read_ = 0;
    std::size_t at_ = 0;
    long long line_ = 0;
};

// The words of a line one blank apart.
inline std::string OneBlankApart(std::string_view line) {
    std::string words;
    for (const char c : line) {
        if (c != ' ' || words.back() != ' ') words += c;
    }
    return words;
}

// "key>value" (compound file) or "key = value" (script), both parts trimmed.
inline bool SplitAt(std::string_view line, char mark, std::string_view& key,
                    std::string_view& value) {
    const std::size_t at = line.find(mark);
    if (at == std::string_view::npos) return false;
    key = TrimmedView(line.substr(0, at));
    value = TrimmedView(line.substr(at + 1));
    return !key.empty();
}

template <typename Read>
std::optional<ReadBackError> Refusing(Read read) {
    try {
        read();
    } catch (const Refused& refused) {
        return refused.Error;
    }
    return std::nullopt;
}

}  // namespace pamiro::readback
