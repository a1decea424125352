// Content-Type, Content-Transfer-Encoding and Content-Disposition values.
#include "mime/content_fields.h"

#include "mime/text_lines.h"
#include "platform/os/text_compare.h"

namespace mime {

std::string TMimeContentType::MimeType() const { return mime::MainValue(TextRef()); }

void TMimeContentType::SetMimeType(std::string_view mime_type) {
  const std::string& text = TextRef();
  size_t semicolon = text.find(';');
  if (semicolon == std::string::npos) {
    SetText(mime_type);
  } else {
    SetText(std::string(mime_type) + text.substr(semicolon));
  }
}

std::string TMimeContentType::Charset() const {
  std::string charset = mime::ParameterValue(TextRef(), "charset");
  return charset.empty() ? "us-ascii" : charset;
}

void TMimeContentType::SetCharset(std::string_view charset) { SetParameter("charset", charset); }

std::string TMimeContentType::Name() const { return mime::ParameterValue(TextRef(), "name"); }

void TMimeContentType::SetName(std::string_view name) { SetParameter("name", name); }

std::string TMimeContentType::BoundaryString() const {
  return mime::ParameterValue(TextRef(), "boundary");
}

std::string TMimeContentType::MimeTypeMajor() const {
  std::string type = MimeType();
  size_t slash = type.find('/');
  return slash == std::string::npos ? std::string() : type.substr(0, slash);
}

std::string TMimeContentType::MimeTypeMinor() const {
  std::string type = MimeType();
  size_t slash = type.find('/');
  return slash == std::string::npos ? type : type.substr(slash + 1);
}

bool TMimeContentType::MatchesMimeType(std::string_view prefix) const {
  return std::string_view(MimeType()).starts_with(prefix);
}

bool TMimeContentType::MatchesCharset(std::string_view charset) const {
  return os::EqualsTextIgnoreCase(Charset(), charset);
}

// An existing non-empty value is replaced wherever its text occurs; otherwise the parameter is
// appended in quotes.
void TMimeContentType::SetParameter(std::string_view name, std::string_view value) {
  std::string old_value = mime::ParameterValue(TextRef(), name);
  if (!old_value.empty()) {
    SetText(mime::ReplaceAll(TextRef(), old_value, value));
  } else {
    SetText(TextRef() + "; " + std::string(name) + "=\"" + std::string(value) + "\"");
  }
}

std::string TMimeContentTransferEncoding::EncodingType() const {
  return mime::MainValue(TextRef());
}

bool TMimeContentTransferEncoding::MatchesType(std::string_view encoding) const {
  return os::EqualsTextIgnoreCase(EncodingType(), encoding);
}

std::string TMimeContentDisposition::Disposition() const { return mime::MainValue(TextRef()); }

std::string TMimeContentDisposition::Filename() const {
  return mime::ParameterValue(TextRef(), "filename");
}

}  // namespace mime
