// The value objects of the content fields: Content-Type, Content-Transfer-Encoding and
// Content-Disposition. MIME-type tests are by case-sensitive prefix, as the parse relies on.
#pragma once

#include <string>
#include <string_view>

#include "mime/header_item.h"

namespace mime {

class TMimeContentType : public TMimeHeaderTextItem {
 public:
  std::string MimeType() const;
  void SetMimeType(std::string_view mime_type);
  // The "charset" parameter; "us-ascii" when it is empty.
  std::string Charset() const;
  void SetCharset(std::string_view charset);
  std::string Name() const;
  void SetName(std::string_view name);
  std::string BoundaryString() const;
  // MimeType up to the first "/" (empty without one) and after it (all of it without one).
  std::string MimeTypeMajor() const;
  std::string MimeTypeMinor() const;
  // MimeType begins with prefix, case-sensitive.
  bool MatchesMimeType(std::string_view prefix) const;
  bool MatchesCharset(std::string_view charset) const;

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  void SetParameter(std::string_view name, std::string_view value);
};

class TMimeContentTransferEncoding : public TMimeHeaderTextItem {
 public:
  std::string EncodingType() const;
  bool MatchesType(std::string_view encoding) const;

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
};

class TMimeContentDisposition : public TMimeHeaderTextItem {
 public:
  std::string Disposition() const;
  std::string Filename() const;

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }
};

}  // namespace mime
