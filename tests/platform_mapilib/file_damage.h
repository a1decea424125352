// Damaging a writer-made file on purpose: the heap of the object that holds a given text loses its
// signature, so that object, and only it, no longer reads; or one byte of the text changes, so that
// its block no longer matches its checksum while everything still reads.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/whole_file.h"

namespace platform_mapilib_test {

// Clears the heap signature of the block that holds `marker` (UTF-16LE text of an unencoded file).
inline void DamageHeapHolding(const std::string& path, const std::u16string& marker) {
  const std::string bytes = test_support::ReadWholeFile(path);
  const std::string needle(reinterpret_cast<const char*>(marker.data()), marker.size() * 2);
  std::size_t at = bytes.find(needle);
  ASSERT_NE(at, std::string::npos);
  while (at > 2 && !(bytes[at] == '\xEC' && bytes[at + 1] == '\xBC')) --at;  // bSig, bClientSig
  ASSERT_GT(at, 2u);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(at));
  file.put('\0');
}

// Changes the first character of `marker` (UTF-16LE text of an unencoded file) to 'X'.
inline void ChangeTextOf(const std::string& path, const std::u16string& marker) {
  const std::string bytes = test_support::ReadWholeFile(path);
  const std::string needle(reinterpret_cast<const char*>(marker.data()), marker.size() * 2);
  const std::size_t at = bytes.find(needle);
  ASSERT_NE(at, std::string::npos);
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(at));
  file.put('X');
}

}  // namespace platform_mapilib_test
