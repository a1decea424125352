// LZ77 compression of RTF over the 4096-byte window with the 207-byte preload. Matches are found
// through hash chains over the last 4096 positions of the preload-plus-input sequence; a reference
// is only made to bytes the decoder still has in its window when it copies them.
#include "platform/pst/rtf/rtf_compressor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/pst/rtf/compressed_rtf_header.h"
#include "platform/pst/rtf/rtf_dictionary.h"
#include "platform/pst/util/format_crc.h"

namespace pst::rtf {
namespace {

constexpr std::size_t kHashSize = 1 << 12;
constexpr int kMaxChain = 48;
constexpr std::uint32_t kNoPos = UINT32_MAX;

// The preload followed by the input: positions in this sequence map to window offsets modulo 4096.
class Sequence {
 public:
  explicit Sequence(std::string_view raw) : raw_(raw) {}
  std::size_t size() const { return kRtfPreload.size() + raw_.size(); }
  unsigned char at(std::size_t pos) const {
    return static_cast<unsigned char>(pos < kRtfPreload.size() ? kRtfPreload[pos]
                                                               : raw_[pos - kRtfPreload.size()]);
  }

 private:
  std::string_view raw_;
};

class TokenWriter {
 public:
  void Literal(unsigned char c) {
    Open();
    out_.push_back(static_cast<std::byte>(c));
    Close(false);
  }
  void Reference(std::size_t offset, std::size_t length) {
    Open();
    const unsigned token =
        static_cast<unsigned>((offset & kRtfDictionaryMask) << 4 | (length - kRtfMinMatch));
    out_.push_back(static_cast<std::byte>(token >> 8));
    out_.push_back(static_cast<std::byte>(token & 0xFF));
    Close(true);
  }
  std::vector<std::byte> Take() { return std::move(out_); }

 private:
  void Open() {
    if (bits_ == 0) {
      control_at_ = out_.size();
      out_.push_back(std::byte{0});
    }
  }
  void Close(bool reference) {
    if (reference) out_[control_at_] |= static_cast<std::byte>(1u << bits_);
    bits_ = (bits_ + 1) & 7;
  }

  std::vector<std::byte> out_;
  std::size_t control_at_ = 0;
  unsigned bits_ = 0;
};

class MatchFinder {
 public:
  explicit MatchFinder(const Sequence& seq) : seq_(seq) {
    head_.fill(kNoPos);
    prev_.fill(kNoPos);
  }
  void Insert(std::size_t pos) {
    if (pos + 3 > seq_.size()) return;
    const std::size_t h = Hash(pos);
    prev_[pos & kRtfDictionaryMask] = head_[h];
    head_[h] = static_cast<std::uint32_t>(pos);
  }
  // Longest match for the bytes at pos among the previous 4095 positions.
  std::pair<std::size_t, std::size_t> Find(std::size_t pos) const {
    std::size_t best_len = 0, best_pos = 0;
    if (pos + 3 > seq_.size()) return {0, 0};
    const std::size_t limit = std::min(kRtfMaxMatch, seq_.size() - pos);
    std::uint32_t cand = head_[Hash(pos)];
    for (int chain = 0; cand != kNoPos && chain < kMaxChain; ++chain) {
      if (pos - cand >= kRtfDictionarySize) break;
      std::size_t len = 0;
      while (len < limit && seq_.at(cand + len) == seq_.at(pos + len)) ++len;
      if (len > best_len) {
        best_len = len;
        best_pos = cand;
        if (len == limit) break;
      }
      const std::uint32_t next = prev_[cand & kRtfDictionaryMask];
      if (next == kNoPos || next >= cand) break;  // slot reused by a newer position
      cand = next;
    }
    return {best_pos, best_len};
  }

 private:
  std::size_t Hash(std::size_t pos) const {
    return (seq_.at(pos) * 0x9E3779B1u ^ seq_.at(pos + 1) * 0x85EBCA77u ^ seq_.at(pos + 2)) &
           (kHashSize - 1);
  }
  const Sequence& seq_;
  std::array<std::uint32_t, kHashSize> head_;
  std::array<std::uint32_t, kRtfDictionarySize> prev_;
};

std::vector<std::byte> Lz77Contents(std::string_view raw) {
  Sequence seq(raw);
  auto finder = std::make_unique<MatchFinder>(seq);
  for (std::size_t p = 0; p < kRtfPreload.size(); ++p) finder->Insert(p);
  TokenWriter writer;
  std::size_t pos = kRtfPreload.size();
  while (pos < seq.size()) {
    auto [match_pos, len] = finder->Find(pos);
    if (len >= 3) {
      writer.Reference(match_pos, len);
    } else {
      len = 1;
      writer.Literal(seq.at(pos));
    }
    for (std::size_t i = 0; i < len; ++i) finder->Insert(pos + i);
    pos += len;
  }
  writer.Reference(pos, kRtfMinMatch);  // the end marker: a reference to the write position
  return writer.Take();
}

void PutLe32(std::vector<std::byte>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::byte>(v >> (8 * i));
}

}  // namespace

std::vector<std::byte> CompressRtf(std::string_view raw, bool compressed) {
  std::vector<std::byte> contents;
  if (compressed) {
    contents = Lz77Contents(raw);
  } else {
    const auto* p = reinterpret_cast<const std::byte*>(raw.data());
    contents.assign(p, p + raw.size());
  }
  std::vector<std::byte> out(CompressedRtfHeader::kSize + contents.size());
  PutLe32(
      out, 0,
      static_cast<std::uint32_t>(contents.size() + CompressedRtfHeader::kSizeFieldsAfterCompSize));
  PutLe32(out, 4, static_cast<std::uint32_t>(raw.size()));
  PutLe32(out, 8,
          compressed ? CompressedRtfHeader::kCompressed : CompressedRtfHeader::kUncompressed);
  PutLe32(out, 12, compressed ? util::ComputeCrc(0, contents) : 0);
  std::copy(contents.begin(), contents.end(), out.begin() + CompressedRtfHeader::kSize);
  return out;
}

}  // namespace pst::rtf
