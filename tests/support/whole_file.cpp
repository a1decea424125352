// Reading and writing whole files for the tests.
#include "tests/support/whole_file.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace test_support {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::byte> ReadFileBytes(const std::string& path) {
  const std::string text = ReadWholeFile(path);
  std::vector<std::byte> bytes(text.size());
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size());
  return bytes;
}

void WriteWholeFile(const std::string& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace test_support
