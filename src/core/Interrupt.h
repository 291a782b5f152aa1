#pragma once

namespace pamiro {

// A request from outside to stop the program (Ctrl+C, a termination signal,
// the console closed). The handler only records it; the command line checks
// at its own pace and stops in order.

// The signals, by their POSIX numbers on every platform.
inline constexpr int kInterruptSignal = 2;   // Ctrl+C, Ctrl+Break
inline constexpr int kTerminateSignal = 15;  // SIGTERM
inline constexpr int kHangUpSignal = 1;      // SIGHUP, the console closed
inline constexpr int kPipeSignal = 13;       // SIGPIPE, or output that could not be written

// Installs the handler (SIGINT, SIGTERM, SIGHUP, SIGPIPE; on Windows the
// console's control events). Safe to call more than once. A closed pipe is
// an interruption like the others: the program stops in order instead of
// dying in the middle of a move.
void CatchInterruptions();
// The first signal recorded since the last clear, 0 when none.
int InterruptionSignal();
// Records one as the handler does (tests raise it at a chosen moment).
void RaiseInterruption(int signal);
// A test's stand-in for a signal from outside: on POSIX the signal itself,
// raised in this process, goes through the handler; on Windows, where a
// console event would reach every program of the console, it is recorded.
void RaiseSignalForTest(int signal);

}  // namespace pamiro
