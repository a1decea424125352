// Run conversion through iconv, with U+FFFD for what it rejects.
#include "support/charset/codepages/iconv_charset.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace charset {

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

}  // namespace

TPlIconvCharset::~TPlIconvCharset() {
  if (decoder_ != kNoDescriptor) iconv_close(decoder_);
  if (encoder_ != kNoDescriptor) iconv_close(encoder_);
}

bool TPlIconvCharset::Available(const char* iconv_name) {
  const iconv_t decoder = iconv_open(IconvNativeUtf32(), iconv_name);
  if (decoder == kNoDescriptor) return false;
  iconv_close(decoder);
  const iconv_t encoder = iconv_open(iconv_name, IconvNativeUtf32());
  if (encoder == kNoDescriptor) return false;
  iconv_close(encoder);
  return true;
}

iconv_t TPlIconvCharset::Decoder() {
  if (decoder_ == kNoDescriptor) decoder_ = iconv_open(IconvNativeUtf32(), info_.iconv_name);
  return decoder_;
}

iconv_t TPlIconvCharset::Encoder() {
  if (encoder_ == kNoDescriptor) encoder_ = iconv_open(info_.iconv_name, IconvNativeUtf32());
  return encoder_;
}

// Without a descriptor nothing can be decoded: every byte becomes U+FFFD.
TPlDecodedRun TPlIconvCharset::Undecodable(std::string_view bytes, std::span<TPlCodePoint> out) {
  const std::size_t count = std::min(bytes.size(), out.size());
  std::fill_n(out.begin(), count, kPlUndecodable);
  return {count, count};
}

TPlDecoded TPlIconvCharset::Decode(std::string_view bytes) {
  TPlCodePoint cp = 0;
  const TPlDecodedRun run = DecodeRun(bytes, {&cp, 1});
  if (run.consumed == 0) return {};
  if (run.produced == 0) return {TPlDecoded::Kind::kSkip, 0, run.consumed};
  return {TPlDecoded::Kind::kCharacter, cp, run.consumed};
}

int TPlIconvCharset::Encode(TPlCodePoint cp, char* out) {
  std::size_t written = 0;
  return EncodeRun({&cp, 1}, out, written) == 1 ? static_cast<int>(written) : -1;
}

TPlDecodedRun TPlIconvCharset::DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) {
  const iconv_t cd = Decoder();
  if (cd == kNoDescriptor) return Undecodable(bytes, out);
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  char* const out_start = reinterpret_cast<char*>(out.data());
  char* out_at = out_start;
  std::size_t out_left = out.size() * sizeof(TPlCodePoint);
  while (in_left > 0 && out_left > 0) {
    if (iconv(cd, &in, &in_left, &out_at, &out_left) != kFailed) break;
    // E2BIG: out is full; EINVAL: only an incomplete sequence is left.
    if (errno != EILSEQ) break;
    const TPlCodePoint replacement = kPlUndecodable;
    std::memcpy(out_at, &replacement, sizeof replacement);
    out_at += sizeof replacement;
    out_left -= sizeof replacement;
    ++in;
    --in_left;
  }
  return {bytes.size() - in_left,
          static_cast<std::size_t>(out_at - out_start) / sizeof(TPlCodePoint)};
}

std::size_t TPlIconvCharset::EncodeRun(std::span<const TPlCodePoint> cps, char* out,
                                       std::size_t& bytes_written) {
  bytes_written = 0;
  const iconv_t cd = Encoder();
  if (cd == kNoDescriptor) return 0;
  char* in = reinterpret_cast<char*>(const_cast<TPlCodePoint*>(cps.data()));
  std::size_t in_left = cps.size_bytes();
  char* out_at = out;
  std::size_t out_left = cps.size() * static_cast<std::size_t>(MaxBytesPerChar());
  // On EILSEQ iconv stops before the code point it cannot encode.
  iconv(cd, &in, &in_left, &out_at, &out_left);
  bytes_written = static_cast<std::size_t>(out_at - out);
  return cps.size() - in_left / sizeof(TPlCodePoint);
}

void TPlIconvCharset::Reset() {
  if (decoder_ != kNoDescriptor) iconv(decoder_, nullptr, nullptr, nullptr, nullptr);
  if (encoder_ != kNoDescriptor) iconv(encoder_, nullptr, nullptr, nullptr, nullptr);
}

int TPlIconvCharset::Finish(char* out) {
  if (encoder_ == kNoDescriptor) return 0;
  char* out_at = out;
  std::size_t out_left = static_cast<std::size_t>(MaxBytesPerChar());
  iconv(encoder_, nullptr, nullptr, &out_at, &out_left);
  return static_cast<int>(out_at - out);
}

}  // namespace charset
