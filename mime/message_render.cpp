// Body decoding into a character set, and the plain-text and HTML renderings of a message.
#include "mime/base64_codec.h"
#include "mime/charset_bridge.h"
#include "mime/mime_message.h"
#include "mime/numeric_references.h"
#include "mime/quoted_printable_codec.h"
#include "platform/os/text_compare.h"

namespace mime {

std::string TMimeMessage::DecodeBody(std::string_view charset) const {
  TMimeContentTransferEncoding& encoding = header_->ContentTransferEncoding();
  const std::string part_charset = header_->ContentType().Charset();
  std::string out;
  if (encoding.MatchesType("quoted-printable")) {
    mime::DecodeQuotedPrintableToUtf8(body_->GetText(), part_charset, out);
    return out;
  }
  const bool base64 = encoding.MatchesType("base64");
  if (base64)
    mime::DecodeBase64Lines(body_->Lines(), out);
  else
    out = body_->GetText();
  if (os::EqualsTextIgnoreCase(part_charset, "us-ascii") ||
      os::EqualsTextIgnoreCase(part_charset, charset))
    return out;
  return mime::ConvertCharset(part_charset, charset, out);
}

std::string TMimeMessage::RenderForPlaintext(std::string_view charset) {
  if (charset.empty()) charset = "us-ascii";
  TMimeMessage* part = FindPart("text/plain");
  if (!part) part = FindPart("text/html");
  if (!part) part = FindPart("text/");
  if (!part) part = FindPart("report/");
  if (!part) part = this;
  return part->DecodeBody(charset);
}

std::string TMimeMessage::RenderForHtml() {
  TMimeMessage* part = FindPart("text/plain");
  if (!part) {
    if (TMimeMessage* html = FindPart("text/html")) return html->DecodeBody("utf-8");
    part = FindPart("text/");
    if (!part) part = FindPart("report/");
    if (!part) part = this;
  }
  return mime::ToNumericReferences(part->DecodeBody("utf-8"));
}

}  // namespace mime
