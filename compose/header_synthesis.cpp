// Transport headers and synthesised headers of a composed message.
#include "compose/header_synthesis.h"

#include <algorithm>
#include <exception>
#include <span>

#include "compose/char_codes.h"
#include "compose/header_lines.h"
#include "compose/mapi_reading.h"
#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_memory.h"
#include "libs/mapi/prop_variant.h"
#include "mime/encoded_words.h"
#include "mime/rfc822_date.h"
#include "platform/os/ansi_code_page.h"
#include "platform/os/clock.h"
#include "platform/os/text_compare.h"

namespace compose {
namespace {

constexpr std::string_view kListSeparator = ",\r\n        ";
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000;
constexpr std::int64_t kFileTimeSecondsTo1970 = 11644473600;
constexpr double kMinutesPerDay = 1440.0;
// A Subject holding a word longer than this cannot be folded under the line limit of 998 octets
// ("Subject: " included); it is written as encoded words, which can.
constexpr std::size_t kLongestPlainWord = 980;

// Columns of the recipient table, in the order requested.
enum RecipientColumn : ULONG {
  kType,
  kName,
  kAddressType,
  kAddress,
  kSmtpAddress,
  kRecipientColumns
};
constexpr ULONG kRecipientTags[kRecipientColumns] = {
    PR_RECIPIENT_TYPE, PR_DISPLAY_NAME, PR_ADDRTYPE, PR_EMAIL_ADDRESS, PR_SMTP_ADDRESS};

struct RecipientLists {
  std::string to;
  std::string cc;
};

// The properties that name one originator of a message.
struct OriginatorTags {
  ULONG name, smtp_address, address_type, address;
};
constexpr OriginatorTags kSentRepresenting{
    PR_SENT_REPRESENTING_NAME, PR_SENT_REPRESENTING_SMTP_ADDRESS, PR_SENT_REPRESENTING_ADDRTYPE,
    PR_SENT_REPRESENTING_EMAIL_ADDRESS};
constexpr OriginatorTags kSender{PR_SENDER_NAME, PR_SENDER_SMTP_ADDRESS, PR_SENDER_ADDRTYPE,
                                 PR_SENDER_EMAIL_ADDRESS};

std::string Escaped(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// Without a name and an Internet address, the stored address (an X.500 path) stands in as the name
// so that the header still says who it was.
std::string_view NameOrAddress(std::string_view name, std::string_view internet_address,
                               std::string_view stored_address) {
  return internet_address.empty() && TrimControls(name).empty() ? stored_address : name;
}

// The column's text in UTF-8, which the composed header is written in.
std::string StringColumn(const SRow& row, RecipientColumn column) {
  if (column >= row.cValues || !row.lpProps) return {};
  const SPropValue& v = row.lpProps[column];
  return v.ulPropTag == kRecipientTags[column] && v.Value.lpszA ? os::AnsiToUtf8(v.Value.lpszA)
                                                                : std::string();
}

RecipientLists ReadRecipients(IMessage* message) {
  RecipientLists lists;
  mapi::InterfacePtr<IMAPITable> table;
  {
    IMAPITable* opened = nullptr;
    if (FAILED(message->GetRecipientTable(0, &opened)) || !opened) return lists;
    table = mapi::InterfacePtr<IMAPITable>(opened);
  }
  LPSPropTagArray tags = nullptr;
  if (FAILED(mapi::MakePropTagArray(std::span<const ULONG>(kRecipientTags), &tags))) return lists;
  mapi::MapiBufferPtr<SPropTagArray> tag_owner(tags);
  LPSRowSet rows = nullptr;
  if (FAILED(mapi::HrQueryAllRows(table.get(), tags, nullptr, nullptr, 0, &rows)) || !rows) {
    return lists;
  }
  mapi::RowSetPtr row_owner(rows);
  for (ULONG r = 0; r < rows->cRows; ++r) {
    const SRow& row = rows->aRow[r];
    const SPropValue* type =
        row.cValues > kType && row.lpProps && row.lpProps[kType].ulPropTag == PR_RECIPIENT_TYPE
            ? &row.lpProps[kType]
            : nullptr;
    const std::string address =
        InternetAddress(StringColumn(row, kAddressType), StringColumn(row, kAddress),
                        StringColumn(row, kSmtpAddress));
    const std::string name(
        NameOrAddress(StringColumn(row, kName), address, StringColumn(row, kAddress)));
    const ULONG kind = type ? type->Value.ul : 0;
    if (kind == MAPI_TO) AppendAddress(name, address, lists.to);
    if (kind == MAPI_CC) AppendAddress(name, address, lists.cc);
  }
  return lists;
}

std::string PropertyText(IMessage* message, ULONG tag) {
  dispatch::TVariant value;
  ReadPropVariant(message, tag, value);
  return value.IsEmpty() ? std::string() : value.ToString();
}

// One originator as the message names it: display name and the address to write.
struct Originator {
  std::string name;
  std::string address;  // empty when no Internet address is known
};

Originator ReadOriginator(IMessage* message, const OriginatorTags& tags) {
  Originator o;
  o.address =
      InternetAddress(PropertyText(message, tags.address_type), PropertyText(message, tags.address),
                      PropertyText(message, tags.smtp_address));
  o.name = NameOrAddress(PropertyText(message, tags.name), o.address,
                         PropertyText(message, tags.address));
  return o;
}

// The sent-representing originator (on whose behalf the message went) when it has an address,
// else the sender when it has one, else whichever of the two has a name.
std::string FromText(IMessage* message) {
  try {
    const Originator represented = ReadOriginator(message, kSentRepresenting);
    const Originator sender = ReadOriginator(message, kSender);
    const Originator& chosen =
        !represented.address.empty() || sender.address.empty() ? represented : sender;
    const Originator& named =
        TrimControls(chosen.name).empty() && chosen.address.empty() ? sender : chosen;
    std::string from;
    if (!TrimControls(named.name).empty() || !named.address.empty()) {
      AppendAddress(named.name, named.address, from);
    }
    return from;
  } catch (const std::exception&) {
    return std::string();
  }
}

bool HasLongWord(std::string_view text) {
  std::size_t run = 0;
  for (char c : text) {
    run = (c == ' ' || c == '\t') ? 0 : run + 1;
    if (run > kLongestPlainWord) return true;
  }
  return false;
}

std::string SubjectText(IMessage* message) {
  try {
    dispatch::TVariant subject;
    ReadPropVariant(message, PR_SUBJECT, subject);
    const std::string text = BlankLineBreaks(subject.ToString());
    return HasLongWord(text) ? mime::EncodeHeaderWords(text) : text;
  } catch (const std::exception&) {
    return std::string();
  }
}

// A local date-time and its offset from UTC as a Date value; a zero offset is written "-0000".
std::string FormatDate(double local_date_time, int utc_offset_minutes) {
  return mime::FormatRfc822Date(local_date_time, mime::ZoneNumber(utc_offset_minutes),
                                mime::ZeroZone::kMinus);
}

// The submit time in local time with the zone offset in force at that instant, or now.
std::string DateText(IMessage* message) {
  try {
    dispatch::TVariant submitted;
    ReadPropVariant(message, PR_CLIENT_SUBMIT_TIME, submitted);
    if (!submitted.IsEmpty()) {
      const std::int64_t ticks = submitted.ToInt64();
      FILETIME ft{static_cast<DWORD>(ticks),
                  static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
      const std::int64_t unix_seconds = ticks / kFileTimeTicksPerSecond - kFileTimeSecondsTo1970;
      const int offset = os::CurrentClock().UtcOffsetMinutes(unix_seconds);
      if (ticks >= 0) {
        return FormatDate(mapi::FileTimeToDateTime(ft) + offset / kMinutesPerDay, offset);
      }
    }
  } catch (const std::exception&) {
  }
  const os::Clock& clock = os::CurrentClock();
  return FormatDate(os::ToDateTime(clock.Now()), clock.CurrentUtcOffsetMinutes());
}

}  // namespace

std::string InternetAddress(std::string_view address_type, std::string_view address,
                            std::string_view smtp_address) {
  const std::string smtp(TrimControls(BlankLineBreaks(smtp_address)));
  if (!smtp.empty()) return smtp;
  const std::string plain(TrimControls(BlankLineBreaks(address)));
  const std::string_view type = TrimControls(address_type);
  if (os::EqualsIgnoreAsciiCase(type, "SMTP")) return plain;
  if (type.empty() && plain.find('@') != std::string::npos) return plain;
  return std::string();
}

void AppendAddress(std::string_view name, std::string_view address, std::string& list) {
  if (!list.empty()) list += kListSeparator;
  const std::string shown = BlankLineBreaks(name);
  if (mime::NeedsEncoding(shown)) {
    list += mime::EncodeHeaderWords(shown, mime::WordPlace::kPhrase);  // no 8-bit text in a phrase
  } else {
    list += '"';
    list += Escaped(shown);
    list += '"';
  }
  const std::string written = BlankLineBreaks(address);
  if (TrimControls(written).empty()) {
    list += ":;";  // a group of no members: the name, and no address to give
    return;
  }
  list += " <";
  list += written;
  list += '>';
}

void ReadPropVariant(IMAPIProp* object, ULONG tag, dispatch::TVariant& out) {
  out = dispatch::TVariant();
  LPSPropValue value = nullptr;
  if (FAILED(mapi::HrGetOneProp(object, tag, &value)) || !value) return;
  mapi::MapiBufferPtr<SPropValue> owner(value);
  try {
    // A value of another type (an error in place of the property) counts as unreadable.
    if (PROP_TYPE(value->ulPropTag) == PROP_TYPE(tag)) mapi::PropValueToVariant(value, out);
  } catch (const std::exception&) {
    out = dispatch::TVariant();
  }
}

void ComposeHeaders(IMessage* message, TMIMEConstructor& root) {
  TMIMEHeader& header = root.Header();
  try {
    const std::string from = FromText(message);
    if (!from.empty()) header.SetField("From", from, "*");
    const RecipientLists lists = ReadRecipients(message);
    header.SetField("To", lists.to, "*");
    if (!lists.cc.empty()) header.SetField("CC", lists.cc, "*");
    header.SetField("Subject", SubjectText(message), "*");
    header.SetField("Date", DateText(message), "*");
    header.SetField("MIME-Version", "1.0", "*");
  } catch (const std::exception&) {
  }
}

void LoadTransportHeaders(std::string_view text, TMIMEHeader& header) {
  const std::string_view trimmed = TrimControls(text);
  HeaderLines& lines = header.Lines();
  std::size_t start = 0;
  while (start < trimmed.size()) {
    std::size_t end = start;
    while (end < trimmed.size() && trimmed[end] != '\r' && trimmed[end] != '\n') ++end;
    const std::string_view line = trimmed.substr(start, end - start);
    if (TrimControls(line).empty()) break;
    std::string& added = lines.emplace_back(line);
    std::replace(added.begin(), added.end(), '\0', ' ');
    start = end;
    if (start < trimmed.size() && trimmed[start] == '\r') ++start;
    if (start < trimmed.size() && trimmed[start] == '\n') ++start;
  }
}

}  // namespace compose
