// Whole files read into memory and written from it, for tests that compare bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// The file's bytes; empty when it cannot be opened.
std::string ReadWholeFile(const std::string& path);
// The same bytes as std::byte, for the reader's byte views.
std::vector<std::byte> ReadFileBytes(const std::string& path);
// Replaces the file's content; throws when the file cannot be written.
void WriteWholeFile(const std::string& path, std::string_view content);

}  // namespace test_support
