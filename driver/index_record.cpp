// Formatting of one archive index record.
#include "driver/index_record.h"

#include "driver/message_time_format.h"

namespace driver {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void AppendOneLine(std::string& out, std::string_view text) {
  for (char c : text) out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append(kLineEnd);
}

}  // namespace

std::string MessageKey(std::int32_t message_number) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string key = "F00000000";
  auto bits = static_cast<std::uint32_t>(message_number);
  for (std::size_t i = key.size() - 1; i > 0; --i, bits >>= 4) key[i] = kHex[bits & 0xF];
  return key;
}

std::string IndexSummaryLine(std::string_view from, std::string_view to, std::string_view subject) {
  std::string line;
  line.reserve(from.size() + to.size() + subject.size() + 5);
  AppendOneLine(line, from);
  line.push_back('|');
  AppendOneLine(line, to);
  line.push_back('|');
  AppendOneLine(line, subject);
  line.append("|||");
  return line;
}

std::string FormatIndexRecord(const IndexRecord& record) {
  std::string out;
  out.reserve(record.summary.size() + 96);
  AppendLine(out, std::to_string(record.message_number));
  AppendLine(out, MessageKey(record.message_number));
  AppendLine(out, record.summary);
  AppendLine(out, std::to_string(kFolderKeyBase + record.folder_id));
  AppendLine(out, std::to_string(record.block_length));
  AppendLine(out, std::to_string(record.block_offset));
  AppendLine(out, FormatMessageTime(record.message_time));
  return out;
}

}  // namespace driver
