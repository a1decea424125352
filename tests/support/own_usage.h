// What the running program itself has used, for the benchmarks: processor time and peak resident
// size; and a flush of the system's file buffers, so that timed rounds start from the same state.
// POSIX systems only.
#pragma once

#include <cstdint>

namespace test_support {

// User and system time of this process so far, in seconds.
double OwnCpuSeconds();
// The largest resident set this process has had so far, in KiB.
std::uint64_t OwnPeakResidentKib();
// Asks the system to write every file's dirty buffers out (sync).
void SyncFileSystems();

}  // namespace test_support
