// pst2xmz: exports the mail of a personal-folders file into a message archive.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "driver/export_error.h"
#include "driver/program.h"
#include "libs/import_session/import_pst.h"
#include "platform/os/heap_reuse.h"
#include "platform/os/standard_streams.h"
#include "platform/os/stop_signals.h"

int main(int argc, char** argv) {
  // Before anything opens a file, and before a signal could end the run half-way.
  if (!os::EnsureStandardDescriptors()) return driver::kExitRunFailed;
  os::InstallStopSignals();
  os::KeepFreedMemory();
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::error_code error;
  std::filesystem::path working = std::filesystem::current_path(error);
  const std::string current_directory = error ? std::string(".") : working.string();
  return driver::RunProgram(arguments, current_directory, &import_session::ImportPst, stdout,
                            stderr);
}
