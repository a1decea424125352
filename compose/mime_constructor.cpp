// The part composer: header fields of a node, body structure, boundaries and serialisation.
#include "compose/mime_constructor.h"

#include <algorithm>
#include <cstring>

#include "compose/base64_lines.h"
#include "compose/char_codes.h"
#include "mime/quoted_printable_codec.h"
#include "mime/text_lines.h"
#include "platform/os/clock.h"
#include "platform/os/text_compare.h"
#include "support/charset/ascii_units.h"

namespace compose {
namespace {

constexpr std::string_view kContentType = "Content-Type";
constexpr std::string_view kTransferEncoding = "Content-Transfer-Encoding";
constexpr std::string_view kBoundaryPrefix = "Next_Part_";
constexpr std::string_view kDefaultAttachmentType = "application/octet-stream";

// A text body is scanned for its charset and its transfer encoding.
bool HasHighBytes(std::string_view text) { return charset::AsciiPrefixLength(text) != text.size(); }

std::string_view IdentityEncoding(std::string_view text) {
  return HasHighBytes(text) ? "8bit" : "7bit";
}

// Octets a line may hold before its CR LF on the way through mail systems.
constexpr std::size_t kMaxLineOctets = 998;

bool HasOverlongLine(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    if (end - start > kMaxLineOctets + 1) return true;  // +1: the line's CR
  }
  return text.size() - start > kMaxLineOctets;
}

// A text body as written and its transfer encoding: quoted-printable when a line would be longer
// than a mail system carries, otherwise the text as it stands (taken over, not copied).
struct EncodedText {
  std::string body;
  std::string_view encoding;
};

EncodedText EncodeText(std::string text) {
  if (!HasOverlongLine(text)) {
    const std::string_view encoding = IdentityEncoding(text);
    return {std::move(text), encoding};
  }
  EncodedText encoded{std::string(), "quoted-printable"};
  mime::AppendQuotedPrintable(text, encoded.body);
  return encoded;
}

// One boundary used inside another's part would end that part early, as would one that begins
// with the other (a delimiter line is recognised by its beginning).
bool BoundariesClash(std::string_view a, std::string_view b) {
  return a.starts_with(b) || b.starts_with(a);
}

// Position of the next c at or after from; the text's size when there is none.
std::size_t NextOf(std::string_view text, char c, std::size_t from) {
  const void* at = std::memchr(text.data() + from, c, text.size() - from);
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - text.data()) : text.size();
}

// Every line break (CR LF, lone CR, lone LF) as CR LF, and a last line ended like the others. The
// text between breaks is copied in runs.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  std::size_t cr = NextOf(text, '\r', 0), lf = NextOf(text, '\n', 0);
  for (std::size_t k = 0; k < text.size();) {
    const std::size_t brk = std::min(cr, lf);
    out.append(text.substr(k, brk - k));
    if (brk == text.size()) break;
    out += "\r\n";
    k = brk + (brk == cr && cr + 1 < text.size() && text[cr + 1] == '\n' ? 2 : 1);
    if (cr < k) cr = NextOf(text, '\r', k);
    if (lf < k) lf = NextOf(text, '\n', k);
  }
  if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
  return out;
}

// A parameter value as the text of a quoted string: backslashes and double quotes escaped.
std::string QuotedParameterText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

bool IsPrintableAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 32 && c <= 126; });
}

// A byte that may stand as it is in an extended parameter value; others are percent-encoded.
bool IsAttributeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$&+-.^_`|~").find(c) != std::string_view::npos;
}

// param="value" for printable ASCII of a length a header line can hold; otherwise the UTF-8 value
// percent-encoded in RFC 2231 sections (param*0*=utf-8''...; param*1*=...) short enough to fold
// between.
std::string Parameter(std::string_view param, std::string_view value) {
  constexpr std::size_t kLongestQuoted = 900;
  if (IsPrintableAscii(value) && value.size() <= kLongestQuoted) {
    return std::string(param) + "=\"" + QuotedParameterText(value) + "\"";
  }
  constexpr std::size_t kSectionText = 60;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::vector<std::string> sections(1, "utf-8''");
  for (std::size_t k = 0; k < value.size();) {
    // A character's bytes stay in one section: readers decode each section on its own.
    std::string piece;
    do {
      const char c = value[k];
      const auto b = static_cast<unsigned char>(c);
      piece +=
          IsAttributeChar(c) ? std::string(1, c) : std::string{'%', kHex[b >> 4], kHex[b & 15]};
      ++k;
    } while (k < value.size() && (static_cast<unsigned char>(value[k]) & 0xC0) == 0x80);
    if (sections.back().size() + piece.size() > kSectionText) sections.emplace_back();
    sections.back() += piece;
  }
  if (sections.size() == 1) return std::string(param) + "*=" + sections[0];
  std::string out;
  for (std::size_t k = 0; k < sections.size(); ++k) {
    if (k > 0) out += "; ";
    out += std::string(param) + "*" + std::to_string(k) + "*=" + sections[k];
  }
  return out;
}

bool IsMessageType(std::string_view type) {
  return type.size() > 8 && os::EqualsIgnoreAsciiCase(type.substr(0, 8), "message/");
}

bool IsUrl(std::string_view location) {
  const std::size_t colon = location.find("://");
  return colon != std::string_view::npos && colon > 0 && location.find_first_of("/\\") == colon + 1;
}

// Text that can be written as it stands: no NUL, lines of at most 998 octets ended by CR LF only.
bool IsIdentityText(std::string_view bytes) {
  constexpr std::size_t kLongestLine = 998;
  std::size_t line = 0;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const char c = bytes[k];
    if (c == '\0') return false;
    if (c == '\r') {
      if (k + 1 >= bytes.size() || bytes[k + 1] != '\n') return false;
      ++k;
      line = 0;
    } else if (c == '\n' || ++line > kLongestLine) {
      return false;
    }
  }
  return true;
}

std::string ReadAll(ByteSource& data) {
  std::string bytes;
  char block[4096];
  for (std::size_t got; (got = data.Read(block, sizeof block)) > 0;) bytes.append(block, got);
  return bytes;
}

}  // namespace

std::string TMIMEHeader::GetField(std::string_view name, std::string_view param) const {
  std::string value = GetHeaderValue(name, lines_);
  if (param != "*") value = GetHeaderParam(value, param);
  return value;
}

void TMIMEHeader::SetField(std::string_view name, std::string_view value, std::string_view param) {
  if (param == "*") {
    PutHeaderField("x", name, lines_, value);
    return;
  }
  const std::string current = GetField(name, param);
  if (os::EqualsTextIgnoreCase(current, value)) return;
  const std::string whole = GetField(name, "*");
  std::string updated;
  if (!current.empty()) {
    for (std::size_t from = 0;;) {
      const std::size_t at = whole.find(current, from);
      updated.append(whole, from, at == std::string::npos ? std::string::npos : at - from);
      if (at == std::string::npos) break;
      updated += value;
      from = at + current.size();
    }
  } else if (!param.empty()) {
    updated = whole + "; " + std::string(param) + "=\"" + std::string(value) + "\"";
  } else {
    const std::size_t semicolon = whole.find(';');
    updated = std::string(value);
    if (semicolon != std::string::npos) updated += "; " + whole.substr(semicolon + 1);
  }
  SetField(name, updated, "*");
}

bool TMIMEHeader::DeleteField(std::string_view name) { return DeleteHeaderField(name, lines_); }

void TMIMEConstructor::AddPart(std::unique_ptr<TMIMEConstructor> child) {
  std::vector<std::string> below;
  child->CollectBoundaries(below);
  parts_.push_back(std::move(child));
  if (kind_ != PartKind::kMultipart) return;
  const std::string own = header_.GetField(kContentType, "boundary");
  const bool clash = std::any_of(below.begin(), below.end(),
                                 [&](const std::string& b) { return BoundariesClash(own, b); });
  // The whole field is rewritten: replacing the old boundary text could also hit the type.
  if (clash) {
    const std::string type = header_.GetField(kContentType, "");
    header_.SetField(kContentType, type + "; boundary=\"" + FreshBoundary() + "\"", "*");
  }
}

void TMIMEConstructor::AddMessagePart(std::unique_ptr<TMIMEConstructor> child) {
  auto wrapper = std::make_unique<TMIMEConstructor>();
  wrapper->header_.SetField(kContentType, "message/rfc822", "*");
  wrapper->AddPart(std::move(child));
  AddPart(std::move(wrapper));
}

std::int32_t TMIMEConstructor::AddAttachment(std::unique_ptr<ByteSource> data,
                                             std::string_view file_name, std::string_view mime_type,
                                             std::string_view content_id) {
  const std::string name = BlankLineBreaks(file_name);
  std::string type(TrimControls(BlankLineBreaks(mime_type)));
  if (type.empty()) type = kDefaultAttachmentType;
  // base64 is not allowed for message types: bytes that cannot go as they stand travel as an
  // opaque file.
  const bool message = IsMessageType(type);
  std::string bytes = message ? ReadAll(*data) : std::string();
  const std::int32_t status = message ? data->Status() : 0;
  const bool identity = message && IsIdentityText(bytes);
  if (message && !identity) {
    type = std::string(kDefaultAttachmentType) + "; x-original-type=\"" + type + "\"";
  }
  auto part = std::make_unique<TMIMEConstructor>();
  part->header_.SetField(kContentType, type + "; " + Parameter("name", name), "*");
  part->header_.SetField("Content-Disposition", "attachment; " + Parameter("filename", name), "*");
  const std::string id = BlankLineBreaks(content_id);
  if (!id.empty()) part->header_.SetField("Content-Id", "<" + id + ">", "*");
  if (identity) {
    part->SetIdentityBody(bytes);
  } else if (message) {
    part->SetBinaryBody(std::make_unique<OwnedStringByteSource>(std::move(bytes)));
  } else {
    part->SetBinaryBody(std::move(data));
  }
  AddPart(std::move(part));
  return status;
}

void TMIMEConstructor::AddExternalAttachment(std::string_view location, std::string_view file_name,
                                             std::string_view mime_type) {
  const std::string name = BlankLineBreaks(file_name);
  const std::string where = BlankLineBreaks(location);
  std::string type(TrimControls(BlankLineBreaks(mime_type)));
  if (type.empty()) type = kDefaultAttachmentType;
  auto part = std::make_unique<TMIMEConstructor>();
  part->header_.SetField(
      kContentType,
      IsUrl(where) ? "message/external-body; access-type=URL; " + Parameter("URL", where)
                   : "message/external-body; access-type=local-file; " + Parameter("name", where),
      "*");
  part->header_.SetField("Content-Disposition", "attachment; " + Parameter("filename", name), "*");
  // The body is the header of the file the part stands for, and an empty phantom body.
  part->SetIdentityBody("Content-Type: " + type + "; " + Parameter("name", name) + "\r\n\r\n");
  AddPart(std::move(part));
}

void TMIMEConstructor::SetIdentityBody(std::string_view bytes) {
  SetTextBody(bytes);
  // The line break before a delimiter belongs to the delimiter, so a last line break of the data
  // needs one more to survive.
  if (bytes.ends_with("\r\n")) body_ += "\r\n";
  header_.SetField(kTransferEncoding, IdentityEncoding(bytes), "*");
}

void TMIMEConstructor::SetBinaryBody(std::unique_ptr<ByteSource> data) {
  kind_ = PartKind::kBase64;
  binary_body_ = std::move(data);
  header_.SetField(kTransferEncoding, "base64", "*");
}

void TMIMEConstructor::SetTextBody(std::string_view text) {
  kind_ = PartKind::kText;
  body_.append(text);
}

void TMIMEConstructor::SetTextPart(std::string text, std::string_view type,
                                   std::string_view charset) {
  const std::string_view identity = IdentityEncoding(text);
  EncodedText encoded = EncodeText(std::move(text));
  kind_ = PartKind::kText;
  if (body_.empty()) {
    body_ = std::move(encoded.body);
  } else {
    body_.append(encoded.body);
  }
  const bool plain = type == "text/plain";
  if (!os::EqualsTextIgnoreCase(header_.GetField(kContentType, ""), type)) {
    header_.SetField(kContentType, plain ? "text/plain; charset=" + std::string(charset) : type,
                     "*");
  } else if (plain) {
    // A declaration that came with the message's own header named the charset the text travelled
    // in; the text written here is the decoded one.
    header_.SetField(kContentType, charset, "charset");
  }
  // Likewise a transfer encoding that came with the header no longer describes the body.
  if (plain || !header_.GetField(kTransferEncoding, "*").empty() || encoded.encoding != identity) {
    header_.SetField(kTransferEncoding, encoded.encoding, "*");
  }
}

void TMIMEConstructor::SetBody(std::string_view plain_text, std::string_view html_text,
                               bool has_attachments) {
  if (has_attachments) {
    kind_ = PartKind::kMultipart;
    auto child = std::make_unique<TMIMEConstructor>();
    child->SetBody(plain_text, html_text, false);
    AddPart(std::move(child));
    SetMultipart("multipart/mixed");
    return;
  }
  std::string plain = WithCrLf(plain_text);
  std::string html = WithCrLf(html_text);
  const std::string charset = HasHighBytes(plain) ? "utf-8" : "us-ascii";
  if (!plain.empty() && !html.empty()) {
    kind_ = PartKind::kMultipart;
    auto plain_part = std::make_unique<TMIMEConstructor>();
    plain_part->SetTextPart(std::move(plain), "text/plain", charset);
    AddPart(std::move(plain_part));
    auto html_part = std::make_unique<TMIMEConstructor>();
    html_part->SetTextPart(std::move(html), "text/html", charset);
    AddPart(std::move(html_part));
    SetMultipart("multipart/alternative");
  } else if (!html.empty()) {
    SetTextPart(std::move(html), "text/html", charset);
  } else {
    // Without any body the message still gets a text part of its own: content headers that came
    // with the transport headers describe a body that is not there.
    SetTextPart(std::move(plain), "text/plain", charset);
  }
}

void TMIMEConstructor::SetMultipart(std::string_view mime_type) {
  const std::string main = header_.GetField(kContentType, "");
  const std::string old = header_.GetField(kContentType, "Boundary");
  std::vector<std::string> below;
  for (const auto& part : parts_) part->CollectBoundaries(below);
  const bool clash = std::any_of(below.begin(), below.end(),
                                 [&](const std::string& b) { return BoundariesClash(old, b); });
  if (old.empty() || !os::EqualsTextIgnoreCase(mime_type, main) || clash) {
    header_.SetField(kContentType,
                     std::string(mime_type) + "; boundary=\"" + FreshBoundary() + "\"", "*");
  }
  // Parts are written as they stand; an encoding declared for the message as it travelled no
  // longer applies.
  const std::string encoding = header_.GetField(kTransferEncoding, "");
  if (!encoding.empty() && !os::EqualsIgnoreAsciiCase(encoding, "7bit") &&
      !os::EqualsIgnoreAsciiCase(encoding, "8bit") &&
      !os::EqualsIgnoreAsciiCase(encoding, "binary")) {
    header_.DeleteField(kTransferEncoding);
  }
}

void TMIMEConstructor::CollectBoundaries(std::vector<std::string>& out) const {
  if (kind_ == PartKind::kMultipart) {
    std::string boundary = header_.GetField(kContentType, "boundary");
    if (!boundary.empty()) out.push_back(std::move(boundary));
  }
  for (const auto& part : parts_) part->CollectBoundaries(out);
}

// "Next_Part_" and the tick count, counted on until no part below uses it.
std::string TMIMEConstructor::FreshBoundary() const {
  std::vector<std::string> below;
  for (const auto& part : parts_) part->CollectBoundaries(below);
  std::uint32_t number = os::CurrentClock().TickCount();
  for (;;) {
    std::string candidate = std::string(kBoundaryPrefix) + std::to_string(number);
    const bool clash = std::any_of(below.begin(), below.end(), [&](const std::string& b) {
      return BoundariesClash(candidate, b);
    });
    if (!clash) return candidate;
    ++number;
  }
}

// Passes text on and knows whether the text so far ends a line.
class TMIMEConstructor::LineSink final : public TextSink {
 public:
  explicit LineSink(TextSink& out) : out_(out) {}
  void Write(std::string_view text) override {
    if (text.empty()) return;
    out_.Write(text);
    tail_[0] = text.size() >= 2 ? text[text.size() - 2] : tail_[1];
    tail_[1] = text.back();
    wrote_ = true;
  }
  bool AtLineStart() const { return !wrote_ || (tail_[0] == '\r' && tail_[1] == '\n'); }

 private:
  TextSink& out_;
  char tail_[2] = {0, 0};
  bool wrote_ = false;
};

std::int32_t TMIMEConstructor::Serialise(LineSink& sink) const {
  for (const std::string& line : header_.Lines()) {
    sink.Write(line);
    sink.Write("\r\n");
  }
  sink.Write("\r\n");
  if (kind_ != PartKind::kMultipart) {
    sink.Write(body_);
    if (binary_body_) {
      EncodeBase64Lines(*binary_body_, sink);
      if (binary_body_->Status() < 0) return binary_body_->Status();
    }
    for (const auto& part : parts_) {
      if (const std::int32_t status = part->Serialise(sink); status < 0) return status;
    }
    return 0;
  }
  const std::string boundary = header_.GetField(kContentType, "boundary");
  auto delimiter = [&](std::string_view end) {
    if (!sink.AtLineStart()) sink.Write("\r\n");
    sink.Write("--");
    sink.Write(boundary);
    sink.Write(end);
    sink.Write("\r\n");
  };
  for (const auto& part : parts_) {
    delimiter("");
    if (const std::int32_t status = part->Serialise(sink); status < 0) return status;
  }
  delimiter("--");
  return 0;
}

std::int32_t TMIMEConstructor::WriteTo(TextSink& out) const {
  LineSink sink(out);
  return Serialise(sink);
}

std::string TMIMEConstructor::GetText() const {
  std::string text;
  StringTextSink sink(text);
  WriteTo(sink);
  return text;
}

std::string TMIMEConstructor::HeaderText() const {
  std::string text;
  text.reserve(static_cast<std::size_t>(mime::LinesSize(header_.Lines())) + 2);
  mime::AppendJoinedLines(header_.Lines(), text);
  text += "\r\n";
  return text;
}

}  // namespace compose
