// Runs a fuzz target's entry point once on each input, without libFuzzer, so that the inputs kept
// in corpus/<target>/ are replayed by every ordinary test run (and under the sanitizers when the
// build has them). Arguments are files or folders; a folder's files run in name order. A target
// that rejects an input aborts, and so fails the run; no input at all fails too, so that a corpus
// lost by mistake is noticed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/whole_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<std::string> InputsOf(const fs::path& argument) {
  if (!fs::is_directory(argument)) return {argument.string()};
  std::vector<std::string> inputs;
  for (const fs::directory_entry& entry : fs::directory_iterator(argument)) {
    if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') {
      inputs.push_back(entry.path().string());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::vector<std::string> more = InputsOf(argv[i]);
    inputs.insert(inputs.end(), more.begin(), more.end());
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "no fuzz inputs to replay\n");
    return 1;
  }
  for (const std::string& path : inputs) {
    const std::string bytes = test_support::ReadWholeFile(path);
    std::printf("replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
