#pragma once

#include <functional>
#include <string>
#include <string_view>

#if defined(__MINGW32__)
#define PAMIRO_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#elif defined(__GNUC__)
#define PAMIRO_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define PAMIRO_PRINTF(f, a)
#endif

// The command line's own two streams. Every text it shows goes through here:
// a Windows console gets each line whole as UTF-16 (it shows accents right
// whatever its code page); a file, a pipe or a POSIX terminal gets the bytes
// unchanged, through stdio.
namespace pamiro {

enum class StdStream { Out, Err };

void WriteStd(StdStream stream, std::string_view text);
// A partial line (progress) shown now; stdio's buffer emptied (false when that
// write failed: a full disk behind a redirection).
bool FlushStd(StdStream stream);

inline void WriteOut(std::string_view text) { WriteStd(StdStream::Out, text); }
inline void WriteErr(std::string_view text) { WriteStd(StdStream::Err, text); }
inline bool FlushOut() { return FlushStd(StdStream::Out); }
inline bool FlushErr() { return FlushStd(StdStream::Err); }
// printf's formats, nothing else.
void PrintOut(const char* format, ...) PAMIRO_PRINTF(1, 2);
void PrintErr(const char* format, ...) PAMIRO_PRINTF(1, 2);

// Cuts text into whole lines for a console that takes UTF-16: bytes gather
// until a line ends (or Flush), then the line, its end included, goes to the
// sink in one call. The bytes are read as DisplayText reads them (the
// program's words are UTF-8, a name's other bytes Latin-1): a console never
// gets half a character.
class ConsoleLines {
  public:
    using Sink = std::function<void(std::u16string_view)>;
    explicit ConsoleLines(Sink sink) : sink_(std::move(sink)) {}
    void Write(std::string_view bytes);
    void Flush();
    bool Pending() const { return !pending_.empty(); }

  private:
    Sink sink_;
    std::string pending_;
};

// Well-formed UTF-8 as UTF-16.
std::u16string Utf16Of(std::string_view utf8);

}  // namespace pamiro
