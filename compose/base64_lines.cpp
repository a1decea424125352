// Base64 lines, read and encoded a large block at a time with the fastest kernel.
#include "compose/base64_lines.h"

#include <algorithm>
#include <memory>

#include "mime/base64_kernels.h"

namespace compose {
namespace {

constexpr std::size_t kLinesPerBlock = 1024;  // source bytes read per block: 54 KiB
constexpr std::size_t kBlockBytes = mime::kBase64LineBytes * kLinesPerBlock;

// Fills buffer from source as far as it goes; fewer bytes only at the end of the data.
std::size_t Fill(ByteSource& source, char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    std::size_t n = source.Read(buffer + got, size - got);
    if (n == 0) break;
    got += n;
  }
  return got;
}

}  // namespace

std::uint64_t EncodeBase64Lines(ByteSource& source, TextSink& out, std::uint64_t count) {
  // Neither buffer is zero-filled: every byte used was written first.
  const auto block = std::make_unique_for_overwrite<char[]>(kBlockBytes);
  const auto text = std::make_unique_for_overwrite<char[]>(mime::Base64LineBlockSize(kBlockBytes));
  const mime::Base64Kernel kernel = mime::FastestBase64Kernel();
  std::uint64_t encoded = 0;
  for (;;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, count - encoded));
    const std::size_t got = want == 0 ? 0 : Fill(source, block.get(), want);
    const char* end = mime::EncodeBase64LineBlock(
        reinterpret_cast<const unsigned char*>(block.get()), got, text.get(), kernel);
    out.Write(std::string_view(text.get(), static_cast<std::size_t>(end - text.get())));
    encoded += got;
    if (got < kBlockBytes || encoded == count) {
      // No data at all still gives a line of its own.
      if (encoded == 0) out.Write("\r\n");
      return encoded;
    }
  }
}

}  // namespace compose
