// Entry logic: banner without arguments, "invalid parameters" without -s and -d, otherwise one run.
#include "driver/program.h"

#include <new>

#include "driver/command_line.h"
#include "driver/export_error.h"
#include "support/diag/debug_trace.h"

namespace driver {
namespace {

void Report(std::FILE* errors, const std::string& kind, const std::string& text) {
  std::string line = kind + ": " + text + "\r\n";
  std::fwrite(line.data(), 1, line.size(), errors);
  std::fflush(errors);
}

ExportPaths PathsFrom(const CommandLine& command_line) {
  std::string destination = command_line.OptionValue('d', true);
  std::string pst = command_line.OptionValue('s', true);
  std::optional<std::string> folder_list;
  if (command_line.OptionPresent('f')) folder_list = command_line.OptionValue('f', true);
  ExportPaths paths = MakeExportPaths(std::move(pst), destination, std::move(folder_list));
  if (std::string trace = diag::DebugTraceFile(); !trace.empty()) paths.trace = std::move(trace);
  return paths;
}

}  // namespace

int RunProgram(const std::vector<std::string>& arguments, const std::string& current_directory,
               const ImportFunction& import, std::FILE* out, std::FILE* errors) {
  Console console(out);
  CommandLine command_line(arguments, current_directory);
  if (command_line.empty()) {
    WriteBanner(console);
    return kExitExported;
  }
  if (!command_line.OptionPresent('s') || !command_line.OptionPresent('d')) {
    console.Line("invalid parameters");
    return kExitInvalidParameters;
  }
  try {
    ExportPaths paths = PathsFrom(command_line);
    CheckOutputsDistinct(paths);
    CheckInputIsRegularFile(paths.pst);
    return RunExport(paths, import, console, errors);
  } catch (const ExportError& error) {
    Report(errors, error.kind(), error.what());
    return error.exit_code();
  } catch (const std::bad_alloc&) {
    Report(errors, "Error", "Out of memory");
  } catch (const std::exception& error) {
    Report(errors, "Error", error.what());
  }
  return kExitRunFailed;
}

}  // namespace driver
