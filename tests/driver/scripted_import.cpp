// Test double of the import session: ImportPst reads a script from the "PST" path and calls the
// folder and message callbacks as the script says, like the real session walking a file, so the
// program can be run end to end before (and apart from) the real session.
//
// Script lines (fields separated by one blank; the last field takes the rest of the line):
//   folder <type> <name>            the folder callback for a new folder
//   message <time> <text>           the message callback, text with \r \n \t \\ \0 \xHH escapes
//   message-file <time> <path>      the message callback with a file's bytes as text
//   skipped <count> <folder>|<reason>   statistics: messages skipped in a folder
//   unopened <folder>|<reason>          statistics: a folder that could not be opened
//   top-messages <count>                statistics: messages in the top folder
//   result <hex> [<error text>]     the result returned at the end (default 0)
//   log <path>                      appends one line per callback outcome to the file
//   ignore-stop                     goes on after a true stop flag (a careless session)
//   raise <signal>                  sends the signal (a number) to the process itself
// Like the session, it reads a folder's messages only when the folder id is not -1 and the include
// flag is set, absorbs exceptions thrown by the message callback, and stops at a true stop flag
// with the result E_FAIL.
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "libs/import_session/import_pst.h"
#include "tests/support/whole_file.h"

namespace import_session {
namespace {

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    char c = text[++i];
    switch (c) {
      case 'r':
        out.push_back('\r');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 't':
        out.push_back('\t');
        break;
      case '0':
        out.push_back('\0');
        break;
      case 'x':
        out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16)));
        i += 2;
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

// Splits "<first> <rest>"; rest may hold blanks.
std::pair<std::string, std::string> SplitFirst(const std::string& text) {
  std::size_t blank = text.find(' ');
  if (blank == std::string::npos) return {text, ""};
  return {text.substr(0, blank), text.substr(blank + 1)};
}

std::pair<std::string, std::string> SplitBar(const std::string& text) {
  std::size_t bar = text.find('|');
  return {text.substr(0, bar), bar == std::string::npos ? "" : text.substr(bar + 1)};
}

class ScriptRun {
 public:
  ScriptRun(const FolderCallback& on_folder, const MessageCallback& on_message,
            std::int32_t user_data, ImportStatistics& statistics)
      : on_folder_(on_folder),
        on_message_(on_message),
        user_data_(user_data),
        statistics_(statistics) {}

  // Returns false when the walk has to stop.
  bool Step(const std::string& command, const std::string& rest) {
    if (command == "folder") return Folder(rest);
    if (command == "message")
      return Message(SplitFirst(rest).first, Unescape(SplitFirst(rest).second));
    if (command == "message-file")
      return Message(SplitFirst(rest).first, test_support::ReadWholeFile(SplitFirst(rest).second));
    if (command == "skipped") {
      auto [count, folder_reason] = SplitFirst(rest);
      auto [folder, reason] = SplitBar(folder_reason);
      statistics_.skipped_messages.push_back({folder, std::stoll(count), reason});
    } else if (command == "unopened") {
      auto [folder, reason] = SplitBar(rest);
      statistics_.unopened_folders.push_back({folder, reason});
    } else if (command == "top-messages") {
      statistics_.messages_in_top_folder = std::stoll(rest);
    } else if (command == "result") {
      auto [code, text] = SplitFirst(rest);
      result_ = static_cast<ImportResult>(std::stoul(code, nullptr, 16));
      error_text_ = text;
    } else if (command == "raise") {
      std::raise(std::stoi(rest));
    } else if (command == "ignore-stop") {
      ignore_stop_ = true;
    } else if (command == "log") {
      log_.open(rest, std::ios::app | std::ios::binary);
    }
    return true;
  }

  ImportResult result() const { return result_; }
  const std::string& error_text() const { return error_text_; }

 private:
  bool Folder(const std::string& rest) {
    auto [type, name] = SplitFirst(rest);
    std::int32_t folder_id = -7;
    bool include = false;
    on_folder_(user_data_, name, static_cast<std::uint8_t>(std::stoi(type)), 0, folder_id, include);
    reading_ = folder_id != -1 && include;
    folder_id_ = folder_id;
    Log("folder " + name + " id " + std::to_string(folder_id) +
        (include ? " included" : " left out"));
    return true;
  }

  bool Message(const std::string& time, const std::string& text) {
    if (!reading_) return true;
    bool stop = false;
    try {
      StringMessageText message_text(text);
      on_message_(user_data_, 0, folder_id_, message_text, std::strtod(time.c_str(), nullptr),
                  stop);
    } catch (...) {
      Log("message failed");
      return true;
    }
    Log(stop ? "message stop" : "message stored");
    if (stop && !ignore_stop_) result_ = kImportFailed;
    return !stop || ignore_stop_;
  }

  void Log(const std::string& line) {
    if (log_.is_open()) log_ << line << "\n" << std::flush;
  }

  const FolderCallback& on_folder_;
  const MessageCallback& on_message_;
  std::int32_t user_data_;
  ImportStatistics& statistics_;
  std::ofstream log_;
  bool reading_ = false;
  bool ignore_stop_ = false;
  std::int32_t folder_id_ = -1;
  ImportResult result_ = kImportOk;
  std::string error_text_;
};

}  // namespace

ImportResult ImportPst(const std::string& pst_path, const ProgressCallback& /*progress*/,
                       const FolderCallback& on_folder, const MessageCallback& on_message,
                       std::int32_t user_data, std::string& error_text,
                       ImportStatistics* statistics) {
  error_text.clear();
  ImportStatistics local;
  ImportStatistics& stats = statistics ? *statistics : local;
  stats = {};
  std::ifstream script(pst_path, std::ios::binary);
  if (!script) {
    error_text = "the file cannot be opened";
    return static_cast<ImportResult>(0x8004010F);
  }
  ScriptRun run(on_folder, on_message, user_data, stats);
  std::string line;
  while (std::getline(script, line)) {
    auto [command, rest] = SplitFirst(line);
    if (!run.Step(command, rest)) break;
  }
  if (!ImportSucceeded(run.result())) error_text = run.error_text();
  return run.result();
}

}  // namespace import_session
