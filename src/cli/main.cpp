#include "cli/Commands.h"
#include "core/Console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Redirected output keeps the bytes as they are, with "\n" line ends as
    // on every other platform (no text-mode translation). A console gets its
    // lines as UTF-16 (core/Console.h), whatever its code page.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    const int status = pamiro::cli::RunCommandLine(argc, argv);
    pamiro::FlushOut();
    pamiro::FlushErr();
    return status;
}
