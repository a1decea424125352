// The message archive of one run: the data file, which holds every message behind a two-line
// envelope, and the index file, which holds a seven-line record per message.
//
// What the two files guarantee once Flush has returned:
//  - the index file starts with its first line, then holds whole records only; the data file holds
//    whole blocks only, one per record, in the same order, and nothing after the last of them;
//  - a record and its block land together or not at all: a block is withdrawn (its bytes cut off)
//    unless its record follows it;
//  - every message handed over is in both files, or the failure is known; after a failure the files
//    hold exactly the whole records that fit, as if each block had been written alone;
//  - message numbers in the records run from 1 without gaps; MessageNumber() is the next one;
//  - once failed, the writer writes nothing more.
// Between two calls the files may be behind: messages are written a chunk of blocks at a time, so
// that a failure shows in failed() once the chunk it happened in has been written, and every
// message handed over after that is dropped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "driver/archive_files.h"
#include "driver/output_file.h"
#include "libs/import_session/import_pst.h"

namespace driver {

// "FROM: " CR LF, "RCPT: mailbox" CR LF: 23 bytes in front of every message text.
inline constexpr std::string_view kEnvelope = "FROM: \r\nRCPT: mailbox\r\n";

class ArchiveWriter {
 public:
  // Takes both files freshly created and empty. With kOwnThread the files are written on a thread
  // of their own while the caller composes the next messages.
  ArchiveWriter(std::unique_ptr<OutputFile> data, std::unique_ptr<OutputFile> index,
                ArchiveFiles::Mode mode = ArchiveFiles::Mode::kCallersThread);
  ~ArchiveWriter();

  // Writes the index file's first line, "0", and sets the message number to 1. Throws FileError.
  void Start();

  // The message callback: stores one message as block and index record, the block handed to the
  // files as the text is produced. Once the archive is known to have failed, the writer stores
  // nothing more and sets stop to ask the session to end; otherwise stop is cleared. A text that
  // cannot be produced whole (its failure is then the text's), or an exception out of producing it,
  // withdraws the block and leaves the writer as it was.
  void AppendMessage(std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
                     import_session::MessageText& message_text, double message_time, bool& stop);
  // The same for a text held in memory.
  void AppendMessage(std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
                     std::string_view message_text, double message_time, bool& stop);

  // Writes out every message handed over; failed() then tells whether they all are in the files.
  void Flush();

  // The number the next stored message receives, when every message so far is written.
  std::int32_t MessageNumber() const { return message_number_; }
  // True once a write has failed; Failure() then names the file and the system's reason.
  bool failed() const { return files_.failed(); }
  const std::string& Failure() const { return files_.Failure(); }

  // Flush, then close each file; a failure to close is a failure to write (FileError).
  void CloseIndex();
  void CloseData();

 private:
  bool Store(std::int32_t folder_id, import_session::MessageText& message_text,
             double message_time);

  ArchiveFiles files_;
  std::uint64_t data_length_ = 0;  // when every message so far is written
  std::int32_t message_number_ = 1;
};

}  // namespace driver
