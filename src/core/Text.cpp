#include "core/Text.h"

#include <algorithm>

namespace pamiro {

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string CutAtNul(std::string_view text) { return TrimBlanks(text.substr(0, text.find('\0'))); }

std::string NulFields::Next() {
    const std::size_t end = std::min(buffer_.find('\0', cursor_), buffer_.size());
    const std::string_view text = buffer_.substr(cursor_, end - cursor_);
    cursor_ = end < buffer_.size() ? end + 1 : buffer_.size();
    return TrimBlanks(text);
}

bool BlankLineBreaks(std::string& text) {
    bool changed = false;
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
            changed = true;
        }
    }
    return changed;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace pamiro
