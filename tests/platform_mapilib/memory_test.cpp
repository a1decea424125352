// The library's memory through the binding: blocks tied to a buffer live until the buffer is freed
// with them (leaks and double frees show under the sanitizers), and blocks that are not buffers are
// refused by MAPIFreeBuffer.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform_mapilib/library_fixture.h"

namespace platform_mapilib_test {
namespace {

TEST(Memory, TiedBlocksAreUsableUntilTheirBufferIsFreed) {
  UseBuiltLibrary();
  void* buffer = nullptr;
  ASSERT_EQ(mapi::MAPIAllocateBuffer(64, &buffer), S_OK);
  ASSERT_NE(buffer, nullptr);
  std::vector<void*> tied;
  for (int i = 0; i < 10; ++i) {
    void* block = nullptr;
    // Tied to the buffer directly or to an earlier tied block: both belong to the buffer.
    ASSERT_EQ(mapi::MAPIAllocateMore(1000, i % 2 && !tied.empty() ? tied.back() : buffer, &block),
              S_OK);
    std::memset(block, i, 1000);
    tied.push_back(block);
  }
  for (int i = 0; i < 10; ++i) EXPECT_EQ(static_cast<unsigned char*>(tied[i])[999], i);
  EXPECT_EQ(mapi::MAPIFreeBuffer(buffer), S_OK);
}

TEST(Memory, NewBuffersAreZeroedAndATiedBlockIsNotFreedAlone) {
  UseBuiltLibrary();
  void* buffer = nullptr;
  ASSERT_EQ(mapi::MAPIAllocateBuffer(32, &buffer), S_OK);
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(bytes[i], 0);
  void* block = nullptr;
  ASSERT_EQ(mapi::MAPIAllocateMore(8, buffer, &block), S_OK);
  EXPECT_NE(mapi::MAPIFreeBuffer(block), S_OK);
  EXPECT_EQ(mapi::MAPIFreeBuffer(buffer), S_OK);
  EXPECT_EQ(mapi::MAPIFreeBuffer(nullptr), S_OK);
}

}  // namespace
}  // namespace platform_mapilib_test
