// RTF wrappers quote what RTF reserves and carry any text, and the compressed-RTF stream header
// describes its body: sizes, the form's magic, and the format's CRC of the compressed bytes.
#include <gtest/gtest.h>

#include "platform/pst/ndb/pst_crc.h"
#include "platform/pst/rtf/rtf_decompressor.h"
#include "tools/pstwriter/rtf_body.h"

namespace {

using namespace pstwriter;

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

struct EscapeCase {
  const char* text;
  const char* rtf;  // what the wrapped text must contain
};

TEST(RtfBody, TextIsQuotedForRtf) {
  const EscapeCase cases[] = {
      {"a{b}c", "a\\{b\\}c"},
      {"back\\slash", "back\\\\slash"},
      {"line1\r\nline2", "line1\\par\r\nline2"},
      {"tab\there", "tab\\tab here"},
      {"é", "\\u233?"},
      {"Ж", "\\u1046?"},
      {"\xE4\xB8\xAD", "\\u20013?"},
      {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // a surrogate pair, each as signed 16 bits
  };
  for (const EscapeCase& c : cases) {
    EXPECT_NE(EncapsulateText(c.text).find(c.rtf), std::string::npos) << c.text;
    EXPECT_NE(EncapsulateHtml(c.text).find(c.rtf), std::string::npos) << c.text;
    EXPECT_NE(NativeRtf(c.text).find(c.rtf), std::string::npos) << c.text;
  }
}

TEST(RtfBody, WrappersMarkWhatTheyCarry) {
  EXPECT_NE(EncapsulateHtml("<p>x</p>").find("\\fromhtml1"), std::string::npos);
  EXPECT_NE(EncapsulateHtml("<p>x</p>").find("{\\*\\htmltag64 <p>x</p>}"), std::string::npos);
  EXPECT_NE(EncapsulateText("x").find("\\fromtext"), std::string::npos);
  EXPECT_EQ(NativeRtf("x").find("\\from"), std::string::npos);
  EXPECT_TRUE(NativeRtf("x").starts_with("{\\rtf1"));
}

TEST(RtfBody, StreamHeadersDescribeTheirBodies) {
  std::string rtf = EncapsulateText("hello world, hello world");
  Bytes compressed = CompressedRtfStream(rtf, true);
  EXPECT_EQ(U32(compressed, 0), compressed.size() - 4);
  EXPECT_EQ(U32(compressed, 4), rtf.size());
  EXPECT_EQ(U32(compressed, 8), 0x75465A4Cu);  // "LZFu"
  EXPECT_EQ(U32(compressed, 12),
            pst::util::ComputeCrc(0, std::span<const std::byte>(compressed).subspan(16)));

  Bytes raw = CompressedRtfStream(rtf, false);
  EXPECT_EQ(U32(raw, 0), rtf.size() + 12);
  EXPECT_EQ(U32(raw, 8), 0x414C454Du);  // "MELA"
  EXPECT_EQ(U32(raw, 12), 0u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw.data()) + 16, raw.size() - 16), rtf);
}

TEST(RtfBody, BothStreamFormsDecompressToTheRtf) {
  for (const std::string& rtf :
       {EncapsulateHtml("<p>x</p>"), EncapsulateText(std::string(9000, 'q')),
        NativeRtf("Grüße\r\nline")}) {
    for (bool compress : {true, false}) {
      auto out = pst::rtf::DecompressRtf(CompressedRtfStream(rtf, compress));
      ASSERT_TRUE(out.ok()) << out.status().message();
      EXPECT_EQ(out->rtf, rtf);
      EXPECT_FALSE(out->crc_mismatch);
    }
  }
}

}  // namespace
