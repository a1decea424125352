// Event-log sink: the system log on Linux (openlog/syslog under the program's source name).
// The event types are those of the Windows application log.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/os/service_slot.h"

namespace os {

enum class EventType : int { kError = 1, kWarning = 2, kInformation = 4 };

class EventLog {
 public:
  virtual ~EventLog() = default;
  // True when the platform has a usable event log.
  virtual bool Usable() const = 0;
  // Registers an event source under the given name; false when that is not possible.
  virtual bool RegisterSource(std::string_view source_name) = 0;
  // Writes one event with one insertion string. Requires a registered source.
  virtual void Report(EventType type, std::uint32_t event_id, std::string_view text) = 0;
  virtual void DeregisterSource() = 0;
};

EventLog& CurrentEventLog();
EventLog* InstallEventLog(EventLog* replacement);
using ScopedEventLog = ScopedService<EventLog, &InstallEventLog>;

}  // namespace os
