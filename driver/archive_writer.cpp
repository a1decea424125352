// Appending messages to the archive: index summary from the message's top-level header, block
// written first as the text is produced, then its record; a failure cuts both files back to the
// last whole record.
#include "driver/archive_writer.h"

#include "driver/block_writer.h"
#include "driver/export_error.h"
#include "driver/index_record.h"
#include "mime/index_summary.h"
#include "platform/os/ansi_code_page.h"

namespace driver {

namespace {
constexpr std::string_view kFirstIndexLine = "0\r\n";

}  // namespace

ArchiveWriter::ArchiveWriter(std::unique_ptr<OutputFile> data, std::unique_ptr<OutputFile> index,
                             ArchiveFiles::Mode mode)
    : files_(std::move(data), std::move(index), mode) {}

ArchiveWriter::~ArchiveWriter() = default;

void ArchiveWriter::Start() {
  files_.StartIndex(kFirstIndexLine);
  message_number_ = 1;
}

void ArchiveWriter::AppendMessage(std::int32_t /*user_data*/, std::int32_t /*reserved*/,
                                  std::int32_t folder_id, import_session::MessageText& message_text,
                                  double message_time, bool& stop) {
  stop = failed() || !Store(folder_id, message_text, message_time);
}

void ArchiveWriter::AppendMessage(std::int32_t user_data, std::int32_t reserved,
                                  std::int32_t folder_id, std::string_view message_text,
                                  double message_time, bool& stop) {
  import_session::StringMessageText text(message_text);
  AppendMessage(user_data, reserved, folder_id, text, message_time, stop);
}

bool ArchiveWriter::Store(std::int32_t folder_id, import_session::MessageText& message_text,
                          double message_time) {
  // The summary comes first: it can fail without touching the files.
  mime::TMimeIndexSummary summary = mime::ReadIndexSummary(message_text.Header());
  std::string summary_line = IndexSummaryLine(summary.From, summary.To, summary.Subject);
  // The message's texts are UTF-8; the index file is in the ANSI code page.
  os::Utf8ToAnsiInPlace(summary_line);
  // A block that is not committed (a failure, or an exception passing) is withdrawn.
  BlockWriter block(files_);
  try {
    block.Write(kEnvelope);
    if (message_text.WriteTo(block) < 0) return !failed();
  } catch (const BlockWriteFailed&) {
    return false;
  }
  block.Commit(FormatIndexRecord(
      {message_number_, summary_line, folder_id, block.size(), data_length_, message_time}));
  if (failed()) return false;
  data_length_ += block.size();
  ++message_number_;
  return true;
}

void ArchiveWriter::Flush() { files_.Flush(); }
void ArchiveWriter::CloseIndex() { files_.CloseIndex(); }
void ArchiveWriter::CloseData() { files_.CloseData(); }

}  // namespace driver
