#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pamiro {

// Trims leading and trailing blanks (0x20 only; tabs stay).
std::string TrimBlanks(std::string_view text);
// A fixed-width text field: everything before its first NUL, trimmed. A field
// without NUL is taken whole.
std::string CutAtNul(std::string_view text);

// Equal but for the case of the letters A to Z (names found in any case).
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// NUL-ended strings one after another in a buffer. A string that does not end
// inside the buffer ends at the buffer's end; strings after it are empty.
class NulFields {
  public:
    explicit NulFields(std::string_view buffer) : buffer_(buffer) {}
    // The next string, trimmed of blanks.
    std::string Next();
    // True once every byte of the buffer has been taken.
    bool AtEnd() const { return cursor_ >= buffer_.size(); }

  private:
    std::string_view buffer_;
    std::size_t cursor_ = 0;
};

// Each CR or LF byte replaced by a blank; true when there was one. No output
// line may hold a line break of its own.
bool BlankLineBreaks(std::string& text);

// Text for the eye, as UTF-8, from bytes that mix the program's own words
// (UTF-8) with names read from sources (one byte a character): each
// well-formed UTF-8 sequence is kept, every other byte is read as Latin-1.
std::string DisplayText(std::string_view bytes);
// Latin-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);
// UTF-8 as Latin-1 bytes; a character beyond Latin-1 becomes "?".
std::string Utf8ToLatin1(std::string_view text);
// Each "\xHH" (two hexadecimal digits) as the byte it names; every other
// byte as it is.
std::string UnescapeHexBytes(std::string_view name);

}  // namespace pamiro
