// Type sizes and the conversion of builder values to stored bytes.
#include "tools/pstwriter/ltp_value.h"

#include "tools/pstwriter/text_codec.h"
#include "tools/pstwriter/write_error.h"

namespace pstwriter {
namespace {

constexpr std::uint16_t kPtMvString8 = 0x101E;

Bytes EncodeText(const std::string& text, const TextEncoding& encoding) {
  return encoding.unicode ? Utf8ToUtf16le(text) : Utf8ToCodePage(text, encoding.code_page);
}

// Multi-valued variable-size layout: count, offsets from the start, then the values.
Bytes EncodeMultiText(const std::vector<std::string>& texts, const TextEncoding& encoding) {
  std::vector<Bytes> parts;
  for (const std::string& t : texts) parts.push_back(EncodeText(t, encoding));
  Bytes out;
  ByteWriter w(out);
  w.U32(std::uint32_t(parts.size()));
  std::uint32_t offset = std::uint32_t(4 + 4 * parts.size());
  for (const Bytes& p : parts) {
    w.U32(offset);
    offset += std::uint32_t(p.size());
  }
  for (const Bytes& p : parts) w.Put(p);
  return out;
}

}  // namespace

std::size_t FixedSize(std::uint16_t type) {
  switch (type) {
    case kPtBoolean:
      return 1;
    case kPtInt16:
      return 2;
    case kPtInt32:
    case kPtFloat:
    case kPtError:
      return 4;
    case kPtDouble:
    case kPtCurrency:
    case kPtAppTime:
    case kPtInt64:
    case kPtSysTime:
      return 8;
    default:
      return 0;
  }
}

bool LtpValue::variable() const { return FixedSize(type) == 0; }

LtpValue EncodeValue(const PropValue& value, const TextEncoding& encoding) {
  LtpValue out;
  out.type = value.type;
  out.fixed = value.fixed;
  if (value.type == kPtUnicode) {
    out.type = encoding.unicode ? kPtUnicode : kPtString8;
    out.bytes = EncodeText(value.text.empty() ? std::string() : value.text.front(), encoding);
  } else if (value.type == kPtMvUnicode) {
    out.type = encoding.unicode ? std::uint16_t(kPtMvUnicode) : kPtMvString8;
    out.bytes = EncodeMultiText(value.text, encoding);
  } else if (value.stream) {
    out.stream = value.stream.get();
  } else if (FixedSize(value.type) == 0) {
    out.bytes = value.bytes;
  }
  return out;
}

}  // namespace pstwriter
