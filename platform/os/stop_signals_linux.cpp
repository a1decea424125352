// Signal dispositions with sigaction; the stop request is a flag the handler sets.
#include "platform/os/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace os {
namespace {

// A signal handler can reach nothing but static storage: this is the one place where the process
// keeps a mutable flag of its own. Written only by the handler, read by the main thread.
volatile std::sig_atomic_t stop_signal = 0;

extern "C" void RequestStop(int signal_number) {
  if (stop_signal == 0) stop_signal = signal_number;
}

void SetDisposition(int signal_number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  // Interrupted reads and writes restart: the request is looked at between messages, not inside
  // a system call.
  action.sa_flags = SA_RESTART;
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

void InstallStopSignals() {
  SetDisposition(SIGPIPE, SIG_IGN);
  SetDisposition(SIGXFSZ, SIG_IGN);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) SetDisposition(signal_number, RequestStop);
}

bool StopRequested() { return stop_signal != 0; }

int StopSignal() { return stop_signal; }

}  // namespace os
