#include "core/Text.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "core/TextOrder.h"

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

bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return static_cast<unsigned char>(fold(x)) < static_cast<unsigned char>(fold(y));
        });
}

namespace {

void AppendLatin1(std::string& out, unsigned char c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The length of the well-formed UTF-8 sequence at text[i]; 0 for none
// (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF).
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string DisplayText(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t length = Utf8SequenceAt(bytes, i); length > 0) {
            shown.append(bytes.substr(i, length));
            i += length;
        } else {
            AppendLatin1(shown, static_cast<unsigned char>(bytes[i++]));
        }
    }
    return shown;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) AppendLatin1(text, static_cast<unsigned char>(c));
    return text;
}

std::string Utf8ToLatin1(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, i);
        const auto lead = static_cast<unsigned char>(text[i]);
        if (length == 2 && lead <= 0xC3) {
            bytes.push_back(static_cast<char>(((lead & 0x03) << 6) | (text[i + 1] & 0x3F)));
        } else {
            bytes.push_back(length == 0 && lead < 0x80 ? static_cast<char>(lead) : '?');
        }
        i += length == 0 ? 1 : length;
    }
    return bytes;
}

// udev names a labelled disk by its label, with its unusual bytes as \xHH.
std::string UnescapeHexBytes(std::string_view name) {
    std::string bytes;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size() &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            unsigned value = 0;
            std::from_chars(name.data() + i + 2, name.data() + i + 4, value, 16);
            bytes.push_back(static_cast<char>(value));
            i += 3;
        } else {
            bytes.push_back(name[i]);
        }
    }
    return bytes;
}

}  // namespace pamiro
