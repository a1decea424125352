// Process-wide thread status registry and writer, started by the marker file.
#include "support/diag/thread_status_startup.h"

#include <memory>
#include <mutex>

#include "platform/os/module_path.h"
#include "platform/os/path_status.h"

namespace diag {
namespace {

struct ProcessThreadStatus {
  std::mutex lock;  // guards start and stop
  bool enabled = false;
  std::unique_ptr<TThreadStatusRegistry> registry;
  std::unique_ptr<TThreadStatusWriter> writer;  // declared after the registry it dumps
};

ProcessThreadStatus& Process() {
  static ProcessThreadStatus status;
  return status;
}

bool FileExists(const std::string& path) { return os::StatusOfPath(path).Exists(); }

void StopLocked(ProcessThreadStatus& process) {
  process.enabled = false;
  process.writer.reset();
  process.registry.reset();
}

}  // namespace

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t name_start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.find_last_of('.');
  const bool has_extension = dot != std::string_view::npos && dot > name_start;
  std::string result(has_extension ? path.substr(0, dot) : path);
  result += extension;
  return result;
}

ThreadStatusFiles ThreadStatusFilesFor(std::string_view program_path) {
  return {ReplaceExtension(program_path, ".t"), ReplaceExtension(program_path, ".thr")};
}

bool StartThreadStatus() { return StartThreadStatusFor(os::ExecutablePath()); }

bool StartThreadStatusFor(std::string_view program_path, std::chrono::milliseconds interval) {
  ProcessThreadStatus& process = Process();
  std::lock_guard guard(process.lock);
  StopLocked(process);
  const ThreadStatusFiles files = ThreadStatusFilesFor(program_path);
  process.registry = std::make_unique<TThreadStatusRegistry>(files.status);
  process.enabled = !program_path.empty() && FileExists(files.marker);
  if (process.enabled) {
    process.writer = std::make_unique<TThreadStatusWriter>(*process.registry, interval);
  }
  return process.enabled;
}

void StopThreadStatus() {
  ProcessThreadStatus& process = Process();
  std::lock_guard guard(process.lock);
  StopLocked(process);
}

bool ThreadStatusEnabled() {
  ProcessThreadStatus& process = Process();
  std::lock_guard guard(process.lock);
  return process.enabled;
}

TThreadStatusRegistry* ThreadStatusRecords() {
  ProcessThreadStatus& process = Process();
  std::lock_guard guard(process.lock);
  return process.registry.get();
}

const TThreadStatusWriter* ThreadStatusWriter() {
  ProcessThreadStatus& process = Process();
  std::lock_guard guard(process.lock);
  return process.writer.get();
}

}  // namespace diag
