// How the process meets the signals that a shell, a terminal or a full disk send to a batch job.
//
// - SIGPIPE and SIGXFSZ are ignored: a write to a closed pipe or past the file-size limit then
//   fails with EPIPE or EFBIG and takes the caller's ordinary error path instead of killing the
//   process in the middle of a write.
// - SIGINT, SIGTERM and SIGHUP do not end the process; they only set the stop request, which the
//   program polls at points where it can stop cleanly. Every later one of them does the same.
#pragma once

namespace os {

// Installs the dispositions above. Call it once, early, on the main thread.
void InstallStopSignals();

// True once SIGINT, SIGTERM or SIGHUP has arrived since InstallStopSignals.
bool StopRequested();

// The first signal that asked to stop; 0 when none did.
int StopSignal();

}  // namespace os
