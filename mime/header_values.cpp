// The header's plain-value accessors: dates, priority, identifiers, subject and generic fields.
#include <cstdint>

#include "mime/email_address.h"
#include "mime/encoded_words.h"
#include "mime/header_fields.h"
#include "mime/mime_header.h"
#include "mime/rfc822_date.h"
#include "platform/os/text_compare.h"
#include "support/dispatch/wide_text.h"
#include "support/hash/md5.h"

namespace mime {
namespace {

constexpr int kDefaultPriority = 5;
constexpr int kHighPriority = 1;
constexpr int kLowPriority = 8;

// The field as a 32-bit decimal number.
bool ReadInt(std::string_view text, int& value) {
  long long v = 0;
  if (!mime::ParseDecimal(text, v) || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

double TMimeHeader::Date() const {
  double date_time = 0;
  int zone = 0;
  mime::ParseRfc822Date(ReadField("Date"), date_time, zone);
  return date_time;
}

void TMimeHeader::SetDate(double date_time) {
  WriteField("Date",
             mime::FormatRfc822Date(date_time, mime::LocalZoneNumber(), mime::ZeroZone::kPlus));
}

// The date moved to UTC by the zone written with it.
double TMimeHeader::DateUtc() const {
  double date_time = 0;
  int zone = 0;
  if (!mime::ParseRfc822Date(ReadField("Date"), date_time, zone)) return 0;
  return date_time - mime::ZoneMinutes(zone) / 1440.0;
}

int TMimeHeader::Timezone() const {
  double date_time = 0;
  int zone = 0;
  mime::ParseRfc822Date(ReadField("Date"), date_time, zone);
  return zone;
}

int TMimeHeader::Priority() const {
  int priority = kDefaultPriority;
  for (std::string_view field : {"X-Priority", "X-MSMail-Priority", "X-Importance", "Importance"}) {
    std::string value = ReadField(field);
    std::string_view word = std::string_view(value).substr(0, value.find(' '));
    int number = 0;
    if (ReadInt(word, number))
      priority = number;
    else if (os::EqualsTextIgnoreCase(word, "High"))
      priority = kHighPriority;
    else if (os::EqualsTextIgnoreCase(word, "Low"))
      priority = kLowPriority;
  }
  return priority;
}

int TMimeHeader::ContentLength() const {
  int length = 0;
  return ReadInt(ReadField("Content-Length"), length) ? length : 0;
}

void TMimeHeader::SetContentId(std::string_view id) {
  std::string value(id);
  if (!value.empty() && value.front() != '<') value = "<" + value + ">";
  WriteField("Content-Id", value);
}

std::string TMimeHeader::MessageId() const {
  std::string id = ReadField("Message-Id");
  if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
  return id;
}

void TMimeHeader::SetMessageId(std::string_view id) {
  std::string value(id);
  if (!value.empty() && value.front() != '<' && value.back() != '>') value = "<" + value + ">";
  RoutedWrite("Message-Id", value);
}

std::string TMimeHeader::MessageIdHash() const { return hash::Md5Text("<" + MessageId() + ">"); }

std::string TMimeHeader::Subject() const {
  return mime::DecodeHeaderText(mime::ReadField(lines_, "Subject", true));
}

void TMimeHeader::SetSubject(std::string_view subject) {
  RoutedWrite("Subject", mime::EncodeWhenEightBit(subject));
}

std::u16string TMimeHeader::GetField(std::string_view name) const {
  return dispatch::Utf8ToWide(mime::DecodeHeaderText(ReadField(name)));
}

void TMimeHeader::SetField(std::string_view name, std::u16string_view value) {
  RoutedWrite(name, mime::EncodeHeaderText(dispatch::WideToUtf8(value)));
}

}  // namespace mime
