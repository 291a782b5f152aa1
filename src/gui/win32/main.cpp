// The window program on Windows: the window model over the Win32 window,
// the settings in the registry.
#include <windows.h>

#include "app/ProgramFolder.h"
#include "app/RegistrySettingsStore.h"
#include "app/WindowModel.h"
#include "core/NativeSystem.h"
#include "gui/win32/MainWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    pamiro::RegistrySettingsStore store;
    pamiro::win32::MainWindow window;
    pamiro::WindowOptions options;
    options.ProgramDir = pamiro::ProgramFolder();
    options.SystemFolder = pamiro::SystemFolder();
    options.DocumentsFolder = pamiro::DocumentsFolder();
    pamiro::WindowModel model(window, store, options);
    if (!window.Open(model, show)) return 1;
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.RouteDialogMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}
