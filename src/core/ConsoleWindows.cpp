#include <io.h>
#include <windows.h>

#include <cstdio>
#include <mutex>

#include "core/Console.h"

namespace pamiro {

namespace {

void WriteUnits(HANDLE console, std::u16string_view units) {
    if (units.empty()) return;
    DWORD written = 0;
    ::WriteConsoleW(console, reinterpret_cast<const wchar_t*>(units.data()),
                    static_cast<DWORD>(units.size()), &written, nullptr);
}

// The progress line redraws itself with "\r\x1b[K"; not every console reads
// escape sequences, so the erase to the end of the line is done here.
void WriteToConsole(HANDLE console, std::u16string_view line) {
    constexpr std::u16string_view kErase = u"\x1b[K";
    for (std::size_t at; (at = line.find(kErase)) != std::u16string_view::npos;
         line.remove_prefix(at + kErase.size())) {
        WriteUnits(console, line.substr(0, at));
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (!::GetConsoleScreenBufferInfo(console, &info)) continue;
        DWORD filled = 0;
        ::FillConsoleOutputCharacterW(console, L' ',
                                      static_cast<DWORD>(info.dwSize.X - info.dwCursorPosition.X),
                                      info.dwCursorPosition, &filled);
    }
    WriteUnits(console, line);
}

// One stream: its stdio FILE and, while its handle is a console, the line
// writer in front of it. The handle is looked at on every write, so a stream
// redirected while the program runs (a test's capture) is followed.
struct StdChannel {
    std::FILE* File;
    std::mutex Lock;
    HANDLE Console = nullptr;
    ConsoleLines Lines{[this](std::u16string_view line) { WriteToConsole(Console, line); }};

    explicit StdChannel(std::FILE* file) : File(file) {}

    // The console behind the stream, or null when it is a file or a pipe.
    HANDLE CurrentConsole() const {
        const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(File)));
        DWORD mode = 0;
        if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return nullptr;
        return handle;
    }
};

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
        // The C library here buffers stderr too when it is a file: its lines
        // would follow stdout's at the end, not come where they belong.
        if (stream == StdStream::Err) std::fflush(channel.File);
        return;
    }
    if (console != channel.Console) {
        channel.Lines.Flush();
        channel.Console = console;
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
