// TPlCharsetWith<Codec>: builds the TPlCharset operations from a codec's two inline primitives,
//   TPlDecoded DecodeOne(const unsigned char* bytes, std::size_t size);
//   int EncodeOne(TPlCodePoint cp, char* out);
// so that decoding and encoding a run cost one virtual call per run, not one per character.
#pragma once

#include "support/charset/pl_charset.h"

namespace charset {

template <class Codec>
class TPlCharsetWith : public TPlCharset {
 public:
  TPlDecoded Decode(std::string_view bytes) override {
    return codec().DecodeOne(Bytes(bytes), bytes.size());
  }

  int Encode(TPlCodePoint cp, char* out) override { return codec().EncodeOne(cp, out); }

  TPlDecodedRun DecodeRun(std::string_view bytes, std::span<TPlCodePoint> out) override {
    const unsigned char* data = Bytes(bytes);
    const std::size_t size = bytes.size();
    TPlDecodedRun run;
    while (run.produced < out.size() && run.consumed < size) {
      const TPlDecoded d = codec().DecodeOne(data + run.consumed, size - run.consumed);
      if (d.kind == TPlDecoded::Kind::kIncomplete) break;
      run.consumed += d.length;
      if (d.kind == TPlDecoded::Kind::kCharacter) out[run.produced++] = d.code_point;
    }
    return run;
  }

  std::size_t EncodeRun(std::span<const TPlCodePoint> cps, char* out,
                        std::size_t& bytes_written) override {
    char* at = out;
    std::size_t done = 0;
    for (; done < cps.size(); ++done) {
      const int n = codec().EncodeOne(cps[done], at);
      if (n < 0) break;
      at += n;
    }
    bytes_written = static_cast<std::size_t>(at - out);
    return done;
  }

 protected:
  static const unsigned char* Bytes(std::string_view bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
  }
  static TPlDecoded Character(TPlCodePoint cp, std::size_t length) {
    return {TPlDecoded::Kind::kCharacter, cp, length};
  }
  static TPlDecoded Skip(std::size_t length) { return {TPlDecoded::Kind::kSkip, 0, length}; }
  static TPlDecoded Incomplete() { return {}; }

 private:
  Codec& codec() { return static_cast<Codec&>(*this); }
};

}  // namespace charset
