// Decompression of compressed RTF, fed in chunks of any size and producing output as it goes, so a
// large body streams from the file without being held twice. Lying sizes cannot make it allocate:
// room is reserved from RAWSIZE only up to what the input actually fed can decode to.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/pst/result.h"
#include "platform/pst/rtf/compressed_rtf_header.h"

namespace pst::rtf {

class RtfDecompressor {
 public:
  RtfDecompressor();

  // Consumes chunk, appending the RTF it completes to out. kCorrupt for a bad header.
  Status Feed(std::span<const std::byte> chunk, std::string& out);
  // After the last chunk: kCorrupt when the data ended before its recorded size (or in the middle
  // of a token), so a damaged body is never mistaken for a short one.
  Status Finish() const;

  bool header_complete() const { return header_len_ == CompressedRtfHeader::kSize; }
  const CompressedRtfHeader& header() const { return header_; }
  // The contents' CRC differs from the header's (LZFu only). Meaningful after Finish.
  bool crc_mismatch() const;
  // The output length differs from RAWSIZE. Meaningful after Finish.
  bool size_mismatch() const { return produced_ != header_.raw_size; }
  std::uint64_t produced() const { return produced_; }

 private:
  Status TakeHeader(std::span<const std::byte>& chunk);
  void Decode(std::span<const std::byte> contents, std::string& out);
  void DecodeTokens(std::span<const std::byte> contents, std::string& out);
  std::size_t DecodeGroup(const std::byte* group, std::string& out);
  void DecodeByte(std::byte b, std::string& out);
  bool CopyReference(unsigned reference, std::string& out);
  void Emit(std::byte b, std::string& out);
  void Flush(std::size_t end, std::string& out);
  void Reserve(std::size_t contents_size, std::string& out) const;

  // A control byte and eight references of 17 bytes each: 136 bytes out of 17 in.
  static constexpr std::size_t kMostOutputPerByte = 8;
  // A control byte and eight two-byte references.
  static constexpr std::size_t kLongestGroup = 17;

  std::array<std::byte, CompressedRtfHeader::kSize> header_bytes_{};
  std::size_t header_len_ = 0;
  CompressedRtfHeader header_;
  std::uint64_t content_left_ = 0;  // contents bytes still expected
  std::uint32_t crc_ = 0;
  std::uint64_t produced_ = 0;
  bool end_marker_ = false;

  std::array<std::byte, 4096> dictionary_{};
  std::size_t write_pos_ = 0;
  std::size_t flushed_pos_ = 0;  // dictionary bytes before this are already in the output
  std::uint8_t control_ = 0;
  int control_bits_ = 0;          // tokens left under the current control byte
  bool have_token_high_ = false;  // first byte of a two-byte reference seen
  std::uint8_t token_high_ = 0;
};

struct DecompressedRtf {
  std::string rtf;
  bool crc_mismatch = false;
  bool size_mismatch = false;
};

// Whole-buffer decompression.
Result<DecompressedRtf> DecompressRtf(std::span<const std::byte> data);

}  // namespace pst::rtf
