#include <windows.h>

#include "core/Interrupt.h"

namespace pamiro {

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            RaiseInterruption(kInterruptSignal);
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            RaiseInterruption(kHangUpSignal);
            // The system ends the program when this returns: the run gets
            // the time to put the destination back (the system allows about
            // 5 s); the program usually ends first, on its own.
            ::Sleep(4500);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void CatchInterruptions() {
    static const bool installed = ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE) != 0;
    (void)installed;
}

void RaiseSignalForTest(int signal) { RaiseInterruption(signal); }

}  // namespace pamiro
