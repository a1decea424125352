// Transport headers and synthesised headers of a composed message.
#include "compose/header_synthesis.h"

#include <exception>

#include "compose/char_codes.h"
#include "compose/header_lines.h"
#include "compose/mapi_reading.h"
#include "compose/rfc822_date.h"
#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_memory.h"
#include "libs/mapi/prop_variant.h"
#include "platform/os/clock.h"

namespace compose {
namespace {

constexpr std::string_view kListSeparator = ",\r\n        ";
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000;
constexpr std::int64_t kFileTimeSecondsTo1970 = 11644473600;

struct RecipientLists {
  std::string to;
  std::string cc;
};

std::string Escaped(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

const SPropValue* ColumnWithTag(const SRow& row, ULONG column, ULONG tag) {
  if (column >= row.cValues || !row.lpProps) return nullptr;
  return row.lpProps[column].ulPropTag == tag ? &row.lpProps[column] : nullptr;
}

RecipientLists ReadRecipients(IMessage* message) {
  RecipientLists lists;
  Held<IMAPITable> table;
  {
    IMAPITable* opened = nullptr;
    if (FAILED(message->GetRecipientTable(0, &opened)) || !opened) return lists;
    table.reset(opened);
  }
  LPSPropTagArray tags = nullptr;
  if (FAILED(mapi::MakePropTagArray({PR_RECIPIENT_TYPE, PR_DISPLAY_NAME, PR_EMAIL_ADDRESS}, &tags))) {
    return lists;
  }
  mapi::MapiBufferPtr<SPropTagArray> tag_owner(tags);
  LPSRowSet rows = nullptr;
  if (FAILED(mapi::HrQueryAllRows(table.get(), tags, nullptr, nullptr, 0, &rows)) || !rows) {
    return lists;
  }
  mapi::RowSetPtr row_owner(rows);
  for (ULONG r = 0; r < rows->cRows; ++r) {
    const SRow& row = rows->aRow[r];
    const SPropValue* type = ColumnWithTag(row, 0, PR_RECIPIENT_TYPE);
    const SPropValue* name = ColumnWithTag(row, 1, PR_DISPLAY_NAME);
    const SPropValue* address = ColumnWithTag(row, 2, PR_EMAIL_ADDRESS);
    const std::string_view name_text = name && name->Value.lpszA ? name->Value.lpszA : "";
    const std::string_view address_text =
        address && address->Value.lpszA ? address->Value.lpszA : "";
    const ULONG kind = type ? type->Value.ul : 0;
    if (kind == MAPI_TO) AppendAddress(name_text, address_text, lists.to);
    if (kind == MAPI_CC) AppendAddress(name_text, address_text, lists.cc);
  }
  return lists;
}

std::string SubjectText(IMessage* message) {
  try {
    dispatch::TVariant subject;
    ReadPropVariant(message, PR_SUBJECT, subject);
    return BlankLineBreaks(subject.ToString());
  } catch (const std::exception&) {
    return std::string();
  }
}

// The submit time in local time (the zone rules in force at that instant), or now.
std::string DateText(IMessage* message) {
  try {
    dispatch::TVariant submitted;
    ReadPropVariant(message, PR_CLIENT_SUBMIT_TIME, submitted);
    if (!submitted.IsEmpty()) {
      const std::int64_t ticks = submitted.ToInt64();
      FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
      const std::int64_t unix_seconds = ticks / kFileTimeTicksPerSecond - kFileTimeSecondsTo1970;
      const int offset = os::CurrentClock().UtcOffsetMinutes(unix_seconds);
      if (ticks >= 0) return FormatRfc822Date(mapi::FileTimeToDateTime(ft) + offset / 1440.0);
    }
  } catch (const std::exception&) {
  }
  return FormatRfc822Date(os::ToDateTime(os::CurrentClock().Now()));
}

}  // namespace

void AppendAddress(std::string_view name, std::string_view address, std::string& list) {
  if (!list.empty()) list += kListSeparator;
  list += '"';
  list += Escaped(BlankLineBreaks(name));
  list += "\" <";
  list += BlankLineBreaks(address);
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
    std::size_t end = trimmed.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = trimmed.size();
    std::string line(trimmed.substr(start, end - start));
    if (TrimControls(line).empty()) break;
    for (char& c : line) {
      if (c == '\0') c = ' ';
    }
    lines.push_back(std::move(line));
    start = end;
    if (start < trimmed.size() && trimmed[start] == '\r') ++start;
    if (start < trimmed.size() && trimmed[start] == '\n') ++start;
  }
}

}  // namespace compose
