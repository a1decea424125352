// Shared helpers of the writer's tests: scratch files, whole-value reads through the reader, and
// the raw bytes of a written file.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/pst/ltp/property_value.h"
#include "platform/pst/ltp/value_stream.h"
#include "platform/pst/messaging/message_store.h"

namespace writer_test {

// A file name in a fresh directory that is removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    std::string name = std::string("pstwriter-") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-XXXXXX";
    for (char& c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
    }
    std::string pattern = (std::filesystem::temp_directory_path() / name).string();
    const char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("cannot create a scratch directory");
    dir_ = made;
  }
  ~ScratchDir() { std::filesystem::remove_all(dir_); }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline std::vector<std::byte> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::byte> out(chars.size());
  std::memcpy(out.data(), chars.data(), chars.size());
  return out;
}

inline std::vector<std::byte> ReadStream(const pst::ltp::ValueStream& stream) {
  std::vector<std::byte> out(stream.size());
  auto n = stream.ReadAt(0, out);
  EXPECT_TRUE(n.ok()) << n.status().message();
  if (n.ok()) out.resize(*n);
  return out;
}

inline std::unique_ptr<pst::messaging::MessageStore> OpenStore(const std::string& path) {
  auto store = pst::messaging::MessageStore::OpenFile(path);
  EXPECT_TRUE(store.ok()) << store.status().message();
  return store.ok() ? std::move(store).value() : nullptr;
}

inline std::string Utf8(const pst::Result<pst::ltp::PropertyValue>& value) {
  if (!value.ok()) return "<" + value.status().message() + ">";
  auto text = value->AsUtf8();
  return text.ok() ? *text : "<" + text.status().message() + ">";
}

}  // namespace writer_test
