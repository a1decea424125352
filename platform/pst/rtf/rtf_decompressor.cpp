// Streaming decompression of compressed RTF.
#include "platform/pst/rtf/rtf_decompressor.h"

#include <algorithm>
#include <cstring>

#include "platform/pst/rtf/rtf_dictionary.h"
#include "platform/pst/util/format_crc.h"

namespace pst::rtf {

RtfDecompressor::RtfDecompressor() {
  std::memcpy(dictionary_.data(), kRtfPreload.data(), kRtfPreload.size());
  write_pos_ = kRtfPreload.size();
  flushed_pos_ = write_pos_;
}

Status RtfDecompressor::TakeHeader(std::span<const std::byte>& chunk) {
  const std::size_t n = std::min(chunk.size(), CompressedRtfHeader::kSize - header_len_);
  std::memcpy(header_bytes_.data() + header_len_, chunk.data(), n);
  header_len_ += n;
  chunk = chunk.subspan(n);
  if (!header_complete()) return Status::Ok();
  auto header = CompressedRtfHeader::Decode(header_bytes_);
  PST_RETURN_IF_ERROR(header);
  header_ = *header;
  content_left_ = header_.content_size();
  return Status::Ok();
}

Status RtfDecompressor::Feed(std::span<const std::byte> chunk, std::string& out) {
  if (!header_complete()) {
    if (header_len_ > 0 || !chunk.empty()) PST_RETURN_IF_ERROR(TakeHeader(chunk));
    if (!header_complete()) return Status::Ok();
  }
  // Bytes past the recorded contents are not part of the value.
  auto contents =
      chunk.first(static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), content_left_)));
  content_left_ -= contents.size();
  crc_ = util::ComputeCrc(crc_, contents);
  if (header_.compressed()) {
    Decode(contents, out);
  } else {
    // Stored form: the contents are the RTF, up to RAWSIZE bytes.
    const auto room = header_.raw_size > produced_ ? header_.raw_size - produced_ : 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(contents.size(), room));
    out.append(reinterpret_cast<const char*>(contents.data()), n);
    produced_ += n;
  }
  return Status::Ok();
}

// Output goes into the dictionary only; it is copied out in runs, before the dictionary wraps
// over it and when a chunk is done.
inline void RtfDecompressor::Emit(std::byte b, std::string& out) {
  dictionary_[write_pos_] = b;
  write_pos_ = (write_pos_ + 1) & kRtfDictionaryMask;
  ++produced_;
  if (write_pos_ == 0) Flush(dictionary_.size(), out);
}

// Copies out what lies between the last copy and `end`: the dictionary's end when the write
// position has just wrapped, else the write position (a wrap at the end of a chunk has been copied
// already, so a write position of 0 then leaves nothing).
void RtfDecompressor::Flush(std::size_t end, std::string& out) {
  out.append(reinterpret_cast<const char*>(dictionary_.data()) + flushed_pos_, end - flushed_pos_);
  flushed_pos_ = write_pos_;
}

// Room for what this chunk can produce: RAWSIZE's remainder, but never more than the chunk can
// decode to, so a lying header cannot make it allocate.
void RtfDecompressor::Reserve(std::size_t contents_size, std::string& out) const {
  const std::uint64_t left = header_.raw_size > produced_ ? header_.raw_size - produced_ : 0;
  const std::uint64_t most =
      static_cast<std::uint64_t>(contents_size) * kMostOutputPerByte + kRtfMinMatch + 0xF;
  out.reserve(out.size() + static_cast<std::size_t>(std::min(left, most)));
}

void RtfDecompressor::Decode(std::span<const std::byte> contents, std::string& out) {
  Reserve(contents.size(), out);
  DecodeTokens(contents, out);
  Flush(write_pos_, out);
}

void RtfDecompressor::DecodeTokens(std::span<const std::byte> contents, std::string& out) {
  for (std::size_t at = 0; at < contents.size() && !end_marker_;) {
    if (control_bits_ == 0 && contents.size() - at >= kLongestGroup) {
      at += DecodeGroup(contents.data() + at, out);
    } else {
      DecodeByte(contents[at++], out);
    }
  }
}

// A control byte and the eight tokens it governs, all in `group` (kLongestGroup bytes at least).
// Returns the bytes taken; after the end marker nothing more is read.
std::size_t RtfDecompressor::DecodeGroup(const std::byte* group, std::string& out) {
  const auto control = static_cast<unsigned>(group[0]);
  std::size_t at = 1;
  for (int token = 0; token < 8; ++token) {
    if ((control >> token & 1) == 0) {
      Emit(group[at++], out);
      continue;
    }
    const unsigned reference =
        static_cast<unsigned>(group[at]) << 8 | static_cast<unsigned>(group[at + 1]);
    at += 2;
    if (!CopyReference(reference, out)) return at;
  }
  return at;
}

// One byte of the token stream, for input that ends inside a group.
void RtfDecompressor::DecodeByte(std::byte b, std::string& out) {
  if (control_bits_ == 0) {
    control_ = static_cast<std::uint8_t>(b);
    control_bits_ = 8;
    return;
  }
  if ((control_ & 1) == 0) {  // literal
    Emit(b, out);
  } else if (!have_token_high_) {
    token_high_ = static_cast<std::uint8_t>(b);
    have_token_high_ = true;
    return;
  } else {
    have_token_high_ = false;
    if (!CopyReference(static_cast<unsigned>(token_high_) << 8 | static_cast<unsigned>(b), out)) {
      return;
    }
  }
  control_ >>= 1;
  --control_bits_;
}

// A reference: 12-bit offset, 4-bit length - 2, big-endian. One that points at the write position
// is the end marker: false. Copies that neither wrap nor read what they write go in one piece.
bool RtfDecompressor::CopyReference(unsigned reference, std::string& out) {
  std::size_t offset = reference >> 4;
  const std::size_t length = (reference & 0xF) + kRtfMinMatch;
  if (offset == write_pos_) {
    end_marker_ = true;
    return false;
  }
  const bool apart = offset + length <= write_pos_ || offset >= write_pos_ + length;
  if (apart && offset + length <= dictionary_.size() && write_pos_ + length < dictionary_.size()) {
    std::memcpy(dictionary_.data() + write_pos_, dictionary_.data() + offset, length);
    write_pos_ += length;
    produced_ += length;
    return true;
  }
  for (std::size_t i = 0; i < length; ++i) {
    Emit(dictionary_[offset], out);
    offset = (offset + 1) & kRtfDictionaryMask;
  }
  return true;
}

Status RtfDecompressor::Finish() const {
  if (!header_complete()) return Status::Corrupt("compressed RTF header truncated");
  if (header_.compressed()) {
    if (have_token_high_ && !end_marker_) {
      return Status::Corrupt("compressed RTF ends inside a token");
    }
    if (content_left_ > 0 && !end_marker_) {
      return Status::Corrupt("compressed RTF truncated: " + std::to_string(content_left_) +
                             " bytes of contents missing");
    }
  } else if (content_left_ > 0 && produced_ < header_.raw_size) {
    // Judged by COMPSIZE: some writers overstate RAWSIZE of the stored form (they record COMPSIZE
    // there), and every byte COMPSIZE promises having arrived, the text is whole.
    return Status::Corrupt("stored RTF truncated: " + std::to_string(content_left_) +
                           " bytes of contents missing");
  }
  return Status::Ok();
}

bool RtfDecompressor::crc_mismatch() const { return header_.compressed() && crc_ != header_.crc; }

Result<DecompressedRtf> DecompressRtf(std::span<const std::byte> data) {
  RtfDecompressor d;
  DecompressedRtf result;
  PST_RETURN_IF_ERROR(d.Feed(data, result.rtf));
  PST_RETURN_IF_ERROR(d.Finish());
  result.crc_mismatch = d.crc_mismatch();
  result.size_mismatch = d.size_mismatch();
  return result;
}

}  // namespace pst::rtf
