// What both systems' runners share: the one-option shorthands of ProcessOptions, and RunProcess.
#include "tests/support/child_process.h"

namespace test_support {

ProcessOptions WithEnvironment(const std::string& name, const std::string& value) {
  ProcessOptions options;
  options.environment[name] = value;
  return options;
}

ProcessOptions WithFileSizeLimit(std::uint64_t bytes) {
  ProcessOptions options;
  options.file_size_limit = bytes;
  return options;
}

ProcessOptions WithClosedDescriptors(std::vector<int> descriptors) {
  ProcessOptions options;
  options.closed_descriptors = std::move(descriptors);
  return options;
}

ProcessOptions WithOutputPipeClosed() {
  ProcessOptions options;
  options.output_pipe_closed = true;
  return options;
}

ProcessOutput RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options) {
  return ChildProcess(program, arguments, options).Wait();
}

}  // namespace test_support
