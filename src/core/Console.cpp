#include "core/Console.h"

#include <cstdarg>
#include <cstdio>

#include "core/Text.h"

namespace pamiro {

namespace {

void PrintV(StdStream stream, const char* format, std::va_list args) {
    std::va_list copy;
    va_copy(copy, args);
    char small[512];
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof small) {
        WriteStd(stream, std::string_view(small, static_cast<std::size_t>(length)));
        return;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.pop_back();
    WriteStd(stream, text);
}

}  // namespace

void PrintOut(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    PrintV(StdStream::Out, format, args);
    va_end(args);
}

void PrintErr(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    PrintV(StdStream::Err, format, args);
    va_end(args);
}

void ConsoleLines::Write(std::string_view bytes) {
    for (std::size_t end; !bytes.empty(); bytes.remove_prefix(end + 1)) {
        end = bytes.find('\n');
        if (end == std::string_view::npos) {
            pending_.append(bytes);
            return;
        }
        pending_.append(bytes.substr(0, end + 1));
        Flush();
    }
}

void ConsoleLines::Flush() {
    if (pending_.empty()) return;
    const std::u16string line = Utf16Of(DisplayText(pending_));
    pending_.clear();
    sink_(line);
}

std::u16string Utf16Of(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1   ? lead
                        : length == 2 ? lead & 0x1F
                        : length == 3 ? lead & 0x0F
                                      : lead & 0x07;
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += length;
        if (code < 0x10000) {
            wide.push_back(static_cast<char16_t>(code));
        } else {
            code -= 0x10000;
            wide.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        }
    }
    return wide;
}

}  // namespace pamiro
