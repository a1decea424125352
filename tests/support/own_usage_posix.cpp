// The running process's usage through getrusage; the flush through sync.
#include <sys/resource.h>
#include <unistd.h>

#include "tests/support/own_usage.h"

namespace test_support {
namespace {

rusage OwnUsage() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage;
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

}  // namespace

double OwnCpuSeconds() {
  const rusage usage = OwnUsage();
  return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

std::uint64_t OwnPeakResidentKib() {
  return static_cast<std::uint64_t>(OwnUsage().ru_maxrss);  // KiB on Linux
}

void SyncFileSystems() { sync(); }

}  // namespace test_support
