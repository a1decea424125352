// libFuzzer target: decompresses the input as a compressed RTF value, whole and in uneven chunks,
// and checks that both ways agree and that output stays bounded by the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/pst/rtf/rtf_decompressor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::byte> input(reinterpret_cast<const std::byte*>(data), size);
  auto whole = pst::rtf::DecompressRtf(input);

  pst::rtf::RtfDecompressor streamed;
  std::string out;
  pst::Status status;
  std::size_t chunk = 1 + (size > 0 ? static_cast<std::size_t>(data[0]) % 13 : 0);
  for (std::size_t at = 0; at < size && status.ok(); at += chunk) {
    status = streamed.Feed(input.subspan(at, std::min(chunk, size - at)), out);
  }
  if (status.ok()) status = streamed.Finish();

  if (whole.ok() != status.ok()) std::abort();
  if (whole.ok() && whole->rtf != out) std::abort();
  // Two bytes of reference give at most 17 bytes of output.
  if (out.size() > 9 * size) std::abort();
  return 0;
}
