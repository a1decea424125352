// Console control events (Ctrl+C, Ctrl+Break, closing the console) as stop requests, through
// SetConsoleCtrlHandler; the request is a flag the handler sets.
#include "platform/os/stop_signals.h"

#include <windows.h>

#include <csignal>

namespace os {
namespace {

// The handler runs on a thread the system creates: the flag is the one place where the process
// keeps a mutable value of its own. Written only by the handler, read by the main thread.
volatile LONG stop_signal = 0;

int SignalFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      return SIGINT;
    case CTRL_BREAK_EVENT:
      return SIGBREAK;
    default:
      return SIGTERM;  // the console closes, the user logs off, the system shuts down
  }
}

BOOL WINAPI RequestStop(DWORD event) {
  InterlockedCompareExchange(&stop_signal, SignalFor(event), 0);
  return TRUE;
}

}  // namespace

void InstallStopSignals() { SetConsoleCtrlHandler(RequestStop, TRUE); }

bool StopRequested() { return stop_signal != 0; }

int StopSignal() { return stop_signal; }

}  // namespace os
