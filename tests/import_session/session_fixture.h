// Shared set-up of the session tests: a fresh binding to the stand-in library, connected to an
// in-memory mail world; the trace, the event log and the registry captured or answered by the test;
// recording callbacks; and, after each test, the check that every MAPI block and every reference
// the world handed out came back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "libs/import_session/import_session.h"
#include "platform/os/debug_output.h"
#include "platform/os/event_log.h"
#include "platform/os/registry.h"
#include "tests/import_session/session_fake_mail.h"

namespace session_test {

// The stand-in library built beside the tests (path from CMake).
inline const std::string kSessionLibrary = SESSION_FAKE_LIBRARY;

// MAPIX "1" and DLLPathEx naming library_path; every write succeeds.
class SessionRegistry final : public os::Registry {
 public:
  std::string library_path = kSessionLibrary;
  bool KeyExists(os::Hive, std::string_view) const override { return true; }
  std::optional<std::string> ReadString(os::Hive hive, std::string_view key,
                                        std::string_view value) const override;
  bool WriteValue(os::Hive, std::string_view, std::string_view, std::string_view) override {
    return true;
  }
  os::OsVersion Version() const override { return {10, 0, 2}; }
};

class TraceCapture final : public os::DebugOutput {
 public:
  void Write(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

struct Event {
  os::EventType type;
  std::uint32_t id;
  std::string text;
};

class EventCapture final : public os::EventLog {
 public:
  bool Usable() const override { return true; }
  bool RegisterSource(std::string_view) override { return true; }
  void Report(os::EventType type, std::uint32_t id, std::string_view text) override {
    events.push_back({type, id, std::string(text)});
  }
  void DeregisterSource() override {}
  std::vector<Event> events;
};

struct FolderCall {
  std::string name;
  std::uint8_t type;
  std::int32_t count;
};

struct MessageCall {
  std::int32_t folder_id;
  std::string text;
  double time;
};

// Lines of 64 bytes after the header of a text whose subject starts with "large": 1 MB.
inline constexpr int kLargeTextLines = 16384;

// Composes "Subject: <subject>" and an empty line, written line by line. The subject "compose
// fails" makes composition fail with MAPI_E_CORRUPT_DATA, "compose throws" makes it throw, "write
// fails" gives a text whose writing breaks off with STG_E_READFAULT after its first line, "write
// throws" one whose writing throws there; a subject starting with "large" adds kLargeTextLines
// lines of text after the header.
HRESULT SubjectComposer(IMessage& message, std::unique_ptr<import_session::MessageText>& text);

// Writes the whole text into out; the text's result.
std::int32_t WriteWholeText(import_session::MessageText& text, std::string& out);

// The subject SubjectComposer put into a text.
std::string SubjectOf(const std::string& text);

class SessionTest : public ::testing::Test {
 protected:
  SessionTest();
  ~SessionTest() override;
  void TearDown() override;

  // One import of path through the session with the recording callbacks.
  import_session::ImportResult Run(const std::string& path = "/data/mail.pst");

  std::vector<std::string> FolderNames() const;
  std::vector<std::string> Subjects() const;
  bool Traced(std::string_view line) const;
  // Position of the first trace line equal to line; -1 when there is none.
  int TraceIndex(std::string_view line) const;

  SessionRegistry registry_;
  os::ScopedRegistry scoped_registry_{registry_};
  TraceCapture trace_;
  os::ScopedDebugOutput scoped_trace_{trace_};
  EventCapture events_;
  os::ScopedEventLog scoped_events_{events_};
  session_fake::World world_;

  // Folder ids 100, 101, … in call order, every folder included, unless a test says otherwise.
  std::function<void(const FolderCall&, std::int32_t& folder_id, bool& include)> folder_policy_;
  // Never asks to stop unless a test says otherwise.
  std::function<void(const MessageCall&, bool& stop)> message_policy_;
  import_session::MessageComposer composer_ = SubjectComposer;
  // Threads that compose messages; 1 keeps everything on the session's thread.
  unsigned workers_ = 1;

  std::vector<FolderCall> folder_calls_;
  std::vector<MessageCall> message_calls_;
  std::string error_text_;
  import_session::ImportStatistics statistics_;

 private:
  session_fake::ConnectFunction* connect_ = nullptr;
};

}  // namespace session_test
