// The message archive of one run: the data file, which holds every message behind a two-line
// envelope, and the index file, which holds a seven-line record per message.
//
// What the two files guarantee between any two calls of the writer:
//  - the index file starts with its first line, then holds whole records only; the data file holds
//    whole blocks only, one per record, in the same order, and nothing after the last of them;
//  - a record and its block land together or not at all: a block is withdrawn (its bytes cut off)
//    unless its record follows it, and after a failed write both files are cut back to the last
//    whole record;
//  - when AppendMessage returns, its message is in both files or its failure is known; with a
//    thread of its own the writer only writes the middle of a block ahead, never a record;
//  - message numbers in the records run from 1 without gaps; MessageNumber() is the next one;
//  - once failed, the writer writes nothing more.
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

  // The message callback: stores one message as block and index record, the block written as the
  // text is produced. When the archive cannot be written, both files are cut back to the last
  // whole record, the writer fails for good and stop is set to ask the session to end; otherwise
  // stop is cleared. A text that cannot be produced whole (its failure is then the text's), or an
  // exception out of producing it, withdraws the block and leaves the writer as it was.
  void AppendMessage(std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
                     import_session::MessageText& message_text, double message_time, bool& stop);
  // The same for a text held in memory.
  void AppendMessage(std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
                     std::string_view message_text, double message_time, bool& stop);

  // The number the next stored message receives, when every message so far is written.
  std::int32_t MessageNumber() const { return message_number_; }
  // True once a write has failed; Failure() then names the file and the system's reason.
  bool failed() const { return files_.failed(); }
  const std::string& Failure() const { return files_.Failure(); }

  // Close each file; a failure to close is a failure to write (FileError).
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
