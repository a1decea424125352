// The system log as the event log.
#include <syslog.h>
#include <string>

#include "platform/os/event_log.h"

namespace os {
namespace {

class SyslogEventLog final : public EventLog {
 public:
  bool Usable() const override { return true; }

  bool RegisterSource(std::string_view source_name) override {
    ident_ = std::string(source_name);  // openlog keeps the pointer
    openlog(ident_.c_str(), LOG_PID, LOG_USER);
    return true;
  }

  void Report(EventType type, std::uint32_t event_id, std::string_view text) override {
    int priority = type == EventType::kError     ? LOG_ERR
                   : type == EventType::kWarning ? LOG_WARNING
                                                 : LOG_INFO;
    syslog(priority, "%.*s (event %08X)", static_cast<int>(text.size()), text.data(), event_id);
  }

  void DeregisterSource() override { closelog(); }

 private:
  std::string ident_;
};

SyslogEventLog system_log;
ServiceSlot<EventLog> slot(system_log);

}  // namespace

EventLog& CurrentEventLog() { return slot.get(); }
EventLog* InstallEventLog(EventLog* replacement) { return slot.install(replacement); }

}  // namespace os
