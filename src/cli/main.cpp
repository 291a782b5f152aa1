#include "cli/Commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The program's texts are UTF-8: a console shows them so, and gets its own
// code page back at the end. Redirected output keeps the bytes as they are,
// with "\n" line ends as on every other platform (no text-mode translation).
UINT savedConsoleCodePage = 0;

void PrepareWindowsConsole() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
        GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
        savedConsoleCodePage = GetConsoleOutputCP();
        if (SetConsoleOutputCP(CP_UTF8)) {
            std::atexit([] { SetConsoleOutputCP(savedConsoleCodePage); });
        }
    }
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    PrepareWindowsConsole();
#endif
    return pamiro::cli::RunCommandLine(argc, argv);
}
