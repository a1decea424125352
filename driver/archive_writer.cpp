// Appending messages to the archive: index summary from the message's top-level header, block
// written first as the text is produced, then its record; a failure cuts both files back to the
// last whole record.
#include "driver/archive_writer.h"

#include "driver/block_writer.h"
#include "driver/export_error.h"
#include "driver/index_record.h"
#include "mime/index_summary.h"

namespace driver {

namespace {
constexpr std::string_view kFirstIndexLine = "0\r\n";

}  // namespace

ArchiveWriter::ArchiveWriter(std::unique_ptr<OutputFile> data, std::unique_ptr<OutputFile> index)
    : data_(std::move(data)),
      index_(std::move(index)),
      block_buffer_(std::make_unique_for_overwrite<char[]>(kBlockBufferSize)) {}

ArchiveWriter::~ArchiveWriter() = default;

void ArchiveWriter::Start() {
  if (std::error_code error = index_->Append({kFirstIndexLine}))
    throw FileError(CannotWriteFileText(index_->path(), error.message()));
  index_length_ = kFirstIndexLine.size();
  message_number_ = 1;
}

void ArchiveWriter::AppendMessage(std::int32_t /*user_data*/, std::int32_t /*reserved*/,
                                  std::int32_t folder_id, mapi::MessageText& message_text,
                                  double message_time, bool& stop) {
  stop = failed() || !Store(folder_id, message_text, message_time);
}

void ArchiveWriter::AppendMessage(std::int32_t user_data, std::int32_t reserved,
                                  std::int32_t folder_id, std::string_view message_text,
                                  double message_time, bool& stop) {
  mapi::StringMessageText text(message_text);
  AppendMessage(user_data, reserved, folder_id, text, message_time, stop);
}

bool ArchiveWriter::Store(std::int32_t folder_id, mapi::MessageText& message_text,
                          double message_time) {
  // The summary comes first: it can fail without touching the files.
  TMimeIndexSummary summary = ReadIndexSummary(message_text.Header());
  std::string summary_line = IndexSummaryLine(summary.From, summary.To, summary.Subject);
  std::uint64_t block_length = 0;
  if (!WriteBlock(message_text, block_length)) return !failed();
  std::string record = FormatIndexRecord({message_number_, summary_line, folder_id, block_length,
                                          data_length_, message_time});
  if (std::error_code error = index_->Append({record})) {
    Fail(*index_, error);
    CutBack(*index_, index_length_);
    CutBack(*data_, data_length_);
    return false;
  }
  data_length_ += block_length;
  index_length_ += record.size();
  ++message_number_;
  return true;
}

bool ArchiveWriter::WriteBlock(mapi::MessageText& message_text, std::uint64_t& block_length) {
  BlockWriter block(*data_, block_buffer_.get());
  std::int32_t produced = 0;
  try {
    block.Write(kEnvelope);
    produced = message_text.WriteTo(block);
    if (produced >= 0) block.Flush();
  } catch (const BlockWriteFailed&) {
    Fail(*data_, block.error());
    CutBack(*data_, data_length_);
    return false;
  } catch (...) {
    CutBack(*data_, data_length_);
    throw;
  }
  if (produced < 0) {
    CutBack(*data_, data_length_);
    return false;
  }
  block_length = block.size();
  return true;
}

void ArchiveWriter::Fail(const OutputFile& file, std::error_code error) {
  failure_ = CannotWriteFileText(file.path(), error.message());
}

void ArchiveWriter::CutBack(OutputFile& file, std::uint64_t length) {
  if (std::error_code error = file.Truncate(length))
    failure_ += " The file \"" + file.path() + "\" could not be cut back to its last whole record: " +
                error.message();
}

void ArchiveWriter::CloseIndex() { Close(index_); }
void ArchiveWriter::CloseData() { Close(data_); }

void ArchiveWriter::Close(std::unique_ptr<OutputFile>& file) {
  if (!file) return;
  std::error_code error = file->Close();
  std::string path = file->path();
  file.reset();
  if (error) throw FileError(CannotWriteFileText(path, error.message()));
}

}  // namespace driver
