// Event-log reports of the program: each report is classified by the two top bits of its code
// (11 error, 10 warning, otherwise information), counted, and written to the event log under the
// program's source name. The source is registered on the first report that can use the event log,
// and again at the next report when registration failed. Reports that cannot be written are counted
// and dropped; nothing here ever fails the caller.
//
// The event log and the registry are those installed in platform/os at the time of each call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os/event_log.h"

namespace diag {

class TIMIEventLogger {
 public:
  // Registry key under which the source is registered, followed by the source name.
  static constexpr std::string_view kSourceKeyPrefix =
      "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

  // The process's logger, created on first use and destroyed at program end.
  static TIMIEventLogger& Instance();

  TIMIEventLogger() = default;
  // Deregisters the source when it was registered (with the event log still installed).
  ~TIMIEventLogger();
  TIMIEventLogger(const TIMIEventLogger&) = delete;
  TIMIEventLogger& operator=(const TIMIEventLogger&) = delete;

  // Registers the program as an event source; true when it is (or already was) registered.
  // Clears the three counters on a new registration.
  bool RegisterSource();
  // Records one report with the code as event id and the text as its one insertion string.
  void Report(std::string_view text, std::uint32_t code);

  bool Registered() const;
  std::uint32_t ErrorCount() const { return error_count_; }
  std::uint32_t WarningCount() const { return warning_count_; }
  std::uint32_t InformationCount() const { return information_count_; }

 private:
  os::EventLog* registered_with_ = nullptr;  // the event log holding our source, if any
  std::uint32_t error_count_ = 0;
  std::uint32_t warning_count_ = 0;
  std::uint32_t information_count_ = 0;
};

// The event type a code's two top bits choose.
os::EventType ClassifyEventCode(std::uint32_t code);

// The source name of a program: its file name without directory, cut at the first ".", every
// character after the first in lower case (ASCII letters), at most 260 bytes.
std::string EventSourceName(std::string_view program_path);

}  // namespace diag
