// Multi-byte and stateful code pages converted by the C library's iconv, a whole run per call.
// A byte sequence iconv rejects decodes as U+FFFD and only its first byte is consumed, so that the
// bytes after it are read again on their own.
#pragma once

#include <iconv.h>

#include "support/charset/codepages/code_page_info.h"
#include "support/charset/pl_charset.h"

namespace charset {

class TPlIconvCharset final : public TPlCharset {
 public:
  explicit TPlIconvCharset(const TPlCodePageInfo& info) : info_(info) {}
  ~TPlIconvCharset() override;
  TPlIconvCharset(const TPlIconvCharset&) = delete;
  TPlIconvCharset& operator=(const TPlIconvCharset&) = delete;

  // True when iconv knows the code page in both directions.
  static bool Available(const char* iconv_name);

  std::string_view Aliases() const override { return info_.aliases; }
  std::string_view Category() const override { return info_.category; }
  std::string_view Description() const override { return info_.description; }
  // Room for a shift sequence and a 4-byte character.
  int MaxBytesPerChar() const override { return 8; }

  TPlDecoded Decode(std::string_view bytes) override;
  int Encode(TPlCodePoint cp, char* out) override;
  TPlDecodedRun DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) override;
  std::size_t EncodeRun(std::span<const TPlCodePoint> cps, char* out,
                        std::size_t& bytes_written) override;
  void Reset() override;
  // Returns a stateful encoding to its initial shift state.
  int Finish(char* out) override;

 private:
  // The conversion descriptors, opened on first use; nullptr when iconv refuses.
  iconv_t Decoder();
  iconv_t Encoder();
  static TPlDecodedRun Undecodable(std::string_view bytes, std::span<TPlCodePoint> out);

  const TPlCodePageInfo& info_;
  iconv_t decoder_ = reinterpret_cast<iconv_t>(-1);
  iconv_t encoder_ = reinterpret_cast<iconv_t>(-1);
};

}  // namespace charset
