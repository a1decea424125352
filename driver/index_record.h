// The seven lines the archive index holds for one message, each ended by CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace driver {

// The folder key of the index: the folder id plus 268435456 (hexadecimal 10000000).
inline constexpr std::int64_t kFolderKeyBase = 0x10000000;

// "F" and the message number as eight upper-case hexadecimal digits: 26 gives "F0000001A".
std::string MessageKey(std::int32_t message_number);

// Sender, recipients and subject joined as "from|to|subject|||". Carriage returns, line feeds and
// NUL bytes become blanks so that the summary stays one line; "|" is kept as it stands.
std::string IndexSummaryLine(std::string_view from, std::string_view to, std::string_view subject);

struct IndexRecord {
  std::int32_t message_number = 0;
  std::string_view summary;  // from IndexSummaryLine
  std::int32_t folder_id = 0;
  std::uint64_t block_length = 0;
  std::uint64_t block_offset = 0;
  double message_time = 0;
};

// The whole record, seven lines.
std::string FormatIndexRecord(const IndexRecord& record);

}  // namespace driver
