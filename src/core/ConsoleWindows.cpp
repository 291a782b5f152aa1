#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "core/Console.h"

namespace pamiro {

namespace {

// One stream: its stdio FILE and, while its handle is a console, the line
// writer in front of WriteConsoleW. The handle is looked at on every write, so
// a stream redirected while the program runs (a test's capture) is followed.
struct StdChannel {
    std::FILE* File;
    std::mutex Lock;
    HANDLE Console = nullptr;
    ConsoleLines Lines{[this](std::u16string_view line) {
        const auto* units = reinterpret_cast<const wchar_t*>(line.data());
        DWORD written = 0;
        ::WriteConsoleW(Console, units, static_cast<DWORD>(line.size()), &written, nullptr);
    }};

    explicit StdChannel(std::FILE* file) : File(file) {}

    // The console behind the stream, or null when it is a file or a pipe.
    HANDLE CurrentConsole() const {
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(File)));
        DWORD mode = 0;
        if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return nullptr;
        return handle;
    }
};

// Progress lines redraw themselves with "\r\x1b[K": the console reads such
// sequences while the program runs and gets its own mode back at the end.
void AskForEscapeSequences(HANDLE console) {
    static bool asked = false;
    static HANDLE saved = nullptr;
    static DWORD savedMode = 0;
    if (asked) return;
    asked = true;
    if (!::GetConsoleMode(console, &savedMode)) return;
    if (::SetConsoleMode(
            console, savedMode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        saved = console;
        std::atexit([] { ::SetConsoleMode(saved, savedMode); });
    }
}

StdChannel& Channel(StdStream stream) {
    static StdChannel out(stdout);
    static StdChannel err(stderr);
    return stream == StdStream::Out ? out : err;
}

}  // namespace

void WriteStd(StdStream stream, std::string_view text) {
    StdChannel& channel = Channel(stream);
    std::lock_guard<std::mutex> lock(channel.Lock);
    const HANDLE console = channel.CurrentConsole();
    if (console == nullptr) {
        channel.Lines.Flush();
        std::fwrite(text.data(), 1, text.size(), channel.File);
        return;
    }
    if (console != channel.Console) {
        channel.Lines.Flush();
        channel.Console = console;
        AskForEscapeSequences(console);
    }
    // Whatever stdio still holds comes first.
    std::fflush(channel.File);
    channel.Lines.Write(text);
}

bool FlushStd(StdStream stream) {
    StdChannel& channel = Channel(stream);
    std::lock_guard<std::mutex> lock(channel.Lock);
    channel.Lines.Flush();
    return std::fflush(channel.File) == 0;
}

}  // namespace pamiro
