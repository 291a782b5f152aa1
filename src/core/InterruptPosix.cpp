#include <csignal>
#include <initializer_list>

#include "core/Interrupt.h"

namespace pamiro {

namespace {
extern "C" void OnSignal(int signal) { RaiseInterruption(signal); }
}  // namespace

void CatchInterruptions() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes go on after the handler; the run stops at its next check.
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaction(signal, &action, nullptr);
}

void RaiseSignalForTest(int signal) { std::raise(signal); }

}  // namespace pamiro
