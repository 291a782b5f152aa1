#include "core/Interrupt.h"

#include <atomic>

namespace pamiro {

namespace {
// Lock-free, so the handler may touch it.
std::atomic<int> recorded{0};
}  // namespace

int InterruptionSignal() { return recorded.load(); }

void RaiseInterruption(int signal) {
    int none = 0;
    recorded.compare_exchange_strong(none, signal);
}

}  // namespace pamiro
