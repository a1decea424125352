// The header block of one MIME part: raw lines plus typed access to the fields. Structured values
// are parsed into value objects on first use, cached until the Text is set again, and written back
// into the lines as soon as they change.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "mime/content_fields.h"
#include "mime/email_address.h"
#include "mime/email_address_list.h"
#include "mime/header_item.h"
#include "mime/text_lines.h"

namespace mime {

class TMimeHeader : public TMimeHeaderItem {
 public:
  TMimeHeader() = default;
  TMimeHeader(const TMimeHeader&) = delete;
  TMimeHeader& operator=(const TMimeHeader&) = delete;
  ~TMimeHeader() override;

  // The lines joined, each followed by CR LF; setting splits and drops every cached object.
  std::string GetText() const override;
  void SetText(std::string_view text) override;
  // The same as setting Text to lines joined with CR LF (lines hold no line breaks).
  void SetLines(mime::LineList lines);
  const mime::LineList& Lines() const { return lines_; }
  int Count() const { return static_cast<int>(lines_.size()); }
  long long Size() const { return mime::LinesSize(lines_); }
  // Feeds each line (for message checksums).
  template <typename Feed>
  void FeedLines(Feed&& feed) const {
    for (const std::string& line : lines_) feed(line);
  }

  std::string ReadField(std::string_view name) const;
  void WriteField(std::string_view name, std::string_view value);
  // Through the cached value object of the field when there is one, else a plain field write.
  void RoutedWrite(std::string_view name, std::string_view value);

  double Date() const;
  // The date with the machine's present zone; std::out_of_range outside the years 1 to 9999.
  void SetDate(double date_time);
  double DateUtc() const;
  int Timezone() const;
  int Priority() const;
  int ContentLength() const;

  bool IsMultipart();
  TMimeContentType& ContentType();
  TMimeContentTransferEncoding& ContentTransferEncoding();
  TMimeContentDisposition& ContentDisposition();
  std::string Filename();
  std::string MimeType() { return ContentType().MimeType(); }
  std::string BodyCharset() { return ContentType().Charset(); }

  std::string ContentId() const { return ReadField("Content-Id"); }
  void SetContentId(std::string_view id);
  std::string MessageId() const;
  void SetMessageId(std::string_view id);
  std::string MessageIdHash() const;

  TMimeEmailAddressList& ToList();
  TMimeEmailAddressList& CcList();
  TMimeEmailAddress& FromAddress();
  TMimeEmailAddress& SenderAddress();
  TMimeEmailAddress& ReplyToAddress();
  TMimeEmailAddress& DerivedReplyToAddress();
  TMimeEmailAddress& DerivedSenderAddress();

  std::string Subject() const;
  void SetSubject(std::string_view subject);
  std::u16string GetField(std::string_view name) const;
  void SetField(std::string_view name, std::u16string_view value);

  static const dispatch::TPublishedMembers& Published();
  const dispatch::TPublishedMembers& PublishedMembers() const override { return Published(); }

 private:
  // The fields kept as value objects, made on first use; kCachedFields (mime_header.cpp) says
  // which field each one reads and writes back.
  enum CachedField : std::size_t {
    kTo,
    kCc,
    kFrom,
    kSender,
    kReplyTo,
    kContentType,
    kTransferEncoding,
    kDisposition,
    kDerivedReplyTo,
    kDerivedSender,
    kCachedFieldCount
  };
  struct CachedFieldInfo;
  static const CachedFieldInfo kCachedFields[kCachedFieldCount];

  template <typename T>
  T& Cached(CachedField field);
  TMimeEmailAddress& Derived(CachedField field, TMimeEmailAddress* first, TMimeEmailAddress* second,
                             TMimeEmailAddress* third);
  void Watch(TMimeHeaderItem& item);
  void WriteBack(TMimeHeaderItem& item);
  void DropCache();

  mime::LineList lines_;
  std::array<std::unique_ptr<TMimeHeaderItem>, kCachedFieldCount> cached_;
};

}  // namespace mime
