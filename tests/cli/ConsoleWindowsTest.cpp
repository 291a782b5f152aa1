// Windows only: pamiro-cli.exe writing to a console of its own, and what that
// console then shows. Redirected output is compared with the Linux program's
// by scripts/test-windows.sh.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

struct ConsoleRun {
    DWORD Status = 0;
    std::vector<std::wstring> Rows;  // blanks at the end cut
};

std::wstring CliBesideTests() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"pamiro-cli.exe";
}

HANDLE OpenConsole(const wchar_t* name) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, OPEN_EXISTING, 0, nullptr);
}

// A new console for this process, pamiro-cli.exe run with its streams on it,
// then the screen read back. This process's own streams come back after.
ConsoleRun RunInConsole(const std::wstring& arguments) {
    const HANDLE saved[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                            GetStdHandle(STD_ERROR_HANDLE)};
    FreeConsole();
    ConsoleRun run;
    EXPECT_TRUE(AllocConsole());
    const HANDLE screen = OpenConsole(L"CONOUT$");
    const HANDLE keyboard = OpenConsole(L"CONIN$");
    SetConsoleScreenBufferSize(screen, COORD{200, 300});
    std::wstring command = L"\"" + CliBesideTests() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = keyboard;
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.Status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "pamiro-cli.exe no arranca: " << GetLastError();
    }
    // Wine gives a console a screen only with a display driver (null will do).
    CONSOLE_SCREEN_BUFFER_INFO info{};
    EXPECT_TRUE(GetConsoleScreenBufferInfo(screen, &info)) << "consola sin pantalla";
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), COORD{0, y},
                                    &read);
        row.resize(std::min<std::size_t>(read, row.size()));
        row.erase(row.find_last_not_of(L' ') + 1);
        run.Rows.push_back(row);
    }
    CloseHandle(keyboard);
    CloseHandle(screen);
    FreeConsole();
    SetStdHandle(STD_INPUT_HANDLE, saved[0]);
    SetStdHandle(STD_OUTPUT_HANDLE, saved[1]);
    SetStdHandle(STD_ERROR_HANDLE, saved[2]);
    return run;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string bytes(wide.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                     bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                     nullptr));
    return bytes;
}

TEST(WindowsConsole, HelpAParseErrorAndARefusedConversionReadRight) {
    TempDir temp;
    const std::wstring from = Wide(PathBytes(temp.Path() / "vacio"));
    const std::wstring to = Wide(PathBytes(temp.Path() / "salida"));
    fs::create_directories(temp.Path() / "vacio");
    const struct {
        std::wstring Arguments;
        DWORD Status;
        std::vector<std::wstring> Rows;  // in this order, among the others
    } cases[] = {
        {L"--help",
         0,
         {L"pamiro-cli: conversor de formatos I/A Series (l\u00EDnea de \u00F3rdenes)",
          L"Uso: pamiro-cli [OPCIONES] [ORDEN]",
          L"  -h, --help                            Muestra esta ayuda y termina"}},
        {L"convert --cp",
         2,
         {L"pamiro-cli: falta el valor de la opci\u00F3n --cp",
          L"Use --help para m\u00E1s informaci\u00F3n."}},
        {L"convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf --from \"" + from +
             L"\" --dest foxcae --to \"" + to + L"\"",
         1,
         {L"Pamiro - Working File: SMPL01.wf no se encuentra",
          L"  Carpeta donde se busc\u00F3: " + from + L"\\SMPL01",
          L"Conversi\u00F3n fallida: el destino no se ha modificado"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Arguments.begin(), c.Arguments.end()));
        const ConsoleRun run = RunInConsole(c.Arguments);
        EXPECT_EQ(run.Status, c.Status);
        std::string screen;
        for (const std::wstring& row : run.Rows) screen += Utf8(row) + "\n";
        auto at = run.Rows.begin();
        for (const std::wstring& want : c.Rows) {
            at = std::find(at, run.Rows.end(), want);
            EXPECT_NE(at, run.Rows.end()) << "falta: " << Utf8(want) << "\nen la pantalla:\n"
                                          << screen;
        }
        for (const std::wstring& row : run.Rows) {
            // Nothing unknown, no escape sequence shown as text.
            EXPECT_EQ(row.find_first_of(L"\uFFFD\x1b"), std::wstring::npos) << screen;
            EXPECT_EQ(row.find(L"[K"), std::wstring::npos) << screen;
        }
    }
}

}  // namespace
}  // namespace pamiro::testing
