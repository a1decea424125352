// The import interface: the one call that exports a personal-folders file, the two callbacks
// through which the import session hands folders and messages back to its caller, and the record in
// which the session says what it could not export. Self-contained: standard headers only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace import_session {

// The session's final status, an HRESULT: negative is failure, zero and positive success.
using ImportResult = std::int32_t;

inline constexpr ImportResult kImportOk = 0;
inline constexpr ImportResult kImportFailed = static_cast<ImportResult>(0x80004005);  // E_FAIL

inline bool ImportSucceeded(ImportResult result) { return result >= 0; }

// Folder types handed to the folder callback.
enum : std::uint8_t {
  kFolderTypeMail = 1,          // any other mail folder
  kFolderTypeInbox = 2,         // the store's inbox
  kFolderTypeSentItems = 3,     // the store's sent-items folder
  kFolderTypeDeletedItems = 4,  // the store's deleted-items folder
};

// Accepted and never called; callers may pass an empty function.
using ProgressCallback = std::function<void(std::int32_t user_data, std::int32_t percent_done)>;

// Called once for each folder selected for import, before any of its messages is read. The callee
// must set folder_id and include; the folder's messages are read only when folder_id is not -1 and
// include is true. The folder name is the folder's display name alone, never a path.
using FolderCallback = std::function<void(std::int32_t user_data, std::string_view folder_name,
                                          std::uint8_t folder_type, std::int32_t message_count,
                                          std::int32_t& folder_id, bool& include)>;

// Where a message's text goes, piece by piece in order; each piece is valid only during the call.
class MessageTextSink {
 public:
  virtual ~MessageTextSink() = default;
  virtual void Write(std::string_view piece) = 0;
};

// A composed message's text as the message callback receives it: the top-level header at once, the
// whole text written on demand, so that a large attachment is read and encoded while it is written
// and never held whole.
class MessageText {
 public:
  virtual ~MessageText() = default;
  // A leading part of the text that holds at least its whole top-level header.
  virtual std::string_view Header() const = 0;
  // Writes the whole text to sink; call it at most once. Returns 0, or the negative code (an
  // HRESULT) of a read that broke off part-way: the pieces written are then not the message and
  // must be withdrawn. Exceptions (memory, or the sink's own) pass to the caller.
  std::int32_t WriteTo(MessageTextSink& sink) {
    const std::int32_t result = Produce(sink);
    if (result < 0) failure_ = result;
    return result;
  }
  // The failure WriteTo returned; 0 when it succeeded or was not called.
  std::int32_t Failure() const { return failure_; }

 protected:
  virtual std::int32_t Produce(MessageTextSink& sink) = 0;

 private:
  std::int32_t failure_ = 0;
};

// A text held whole in memory that outlives the object.
class StringMessageText final : public MessageText {
 public:
  explicit StringMessageText(std::string_view text) : text_(text) {}
  std::string_view Header() const override { return text_; }

 protected:
  std::int32_t Produce(MessageTextSink& sink) override {
    sink.Write(text_);
    return 0;
  }

 private:
  std::string_view text_;
};

// Called once for each message composed without failure, on the session's thread; message_text
// is valid only during the call. message_time is the delivery time in UTC as a date-time value
// (days since 30 December 1899). When writing the text fails, the message is counted as not
// exported for that reason. The callee must set stop; true asks the session to stop. An exception
// thrown by the callee is absorbed by the session: the message counts as done and stop is not
// looked at.
using MessageCallback =
    std::function<void(std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
                       MessageText& message_text, double message_time, bool& stop)>;

// Messages of one folder that the session could not export, for one reason.
struct SkippedMessages {
  std::string folder;  // the folder's path below the top of the tree, names joined by "/"
  std::int64_t count = 0;
  std::string reason;  // readable, one line
};

// A folder the session could not open; its messages and subfolders were not exported.
struct UnopenedFolder {
  std::string folder;  // as in SkippedMessages
  std::string reason;
};

// A message exported although reading it met damage: its data may be partly wrong or missing.
struct DamagedMessage {
  std::string subject;   // one line
  std::string problems;  // what was wrong, one line
};

// The damaged messages of one folder: all counted, the first kMaxListed listed.
struct DamagedMessages {
  static constexpr std::size_t kMaxListed = 100;
  std::string folder;  // as in SkippedMessages
  std::int64_t count = 0;
  std::vector<DamagedMessage> listed;
};

// Damage met outside any message: in the file's indexes, folder objects or the file as a whole.
struct DamagedStructure {
  std::string folder;    // the folder being read when it was met; empty: outside any folder
  std::string problems;  // one line
};

// What the session could not export, filled in by ImportPst when the caller asks for it.
struct ImportStatistics {
  std::vector<SkippedMessages> skipped_messages;
  std::vector<UnopenedFolder> unopened_folders;
  std::vector<DamagedMessages> damaged_messages;
  std::vector<DamagedStructure> damaged_structures;
  // Messages lying directly in the top folder of the tree (the IPM subtree's own folder), which the
  // folder walk never exports.
  std::int64_t messages_in_top_folder = 0;

  bool Empty() const {
    return skipped_messages.empty() && unopened_folders.empty() && damaged_messages.empty() &&
           damaged_structures.empty() && messages_in_top_folder == 0;
  }
};

// Exports the personal-folders file at pst_path: calls on_folder for each mail folder and
// on_message for each of its messages, synchronously on the caller's thread. error_text is cleared
// at the start and set to a readable reason when the file cannot be opened or logged on to. When
// statistics is not null it is cleared at the start and filled with what could not be exported.
ImportResult ImportPst(const std::string& pst_path, const ProgressCallback& progress,
                       const FolderCallback& on_folder, const MessageCallback& on_message,
                       std::int32_t user_data, std::string& error_text,
                       ImportStatistics* statistics = nullptr);

}  // namespace import_session
