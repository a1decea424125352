// The application event log: RegisterEventSource, ReportEvent, DeregisterEventSource.
#include <windows.h>

#include <string>

#include "platform/os/event_log.h"

namespace os {
namespace {

class WindowsEventLog final : public EventLog {
 public:
  bool Usable() const override { return true; }

  bool RegisterSource(std::string_view source_name) override {
    DeregisterSource();
    source_ = RegisterEventSourceA(nullptr, std::string(source_name).c_str());
    return source_ != nullptr;
  }

  void Report(EventType type, std::uint32_t event_id, std::string_view text) override {
    if (!source_) return;
    const std::string insertion(text);
    const char* strings[] = {insertion.c_str()};
    ReportEventA(source_, static_cast<WORD>(type), 0, event_id, nullptr, 1, 0, strings, nullptr);
  }

  void DeregisterSource() override {
    if (source_) DeregisterEventSource(source_);
    source_ = nullptr;
  }

 private:
  HANDLE source_ = nullptr;
};

static_assert(static_cast<int>(EventType::kError) == EVENTLOG_ERROR_TYPE &&
              static_cast<int>(EventType::kWarning) == EVENTLOG_WARNING_TYPE &&
              static_cast<int>(EventType::kInformation) == EVENTLOG_INFORMATION_TYPE);

WindowsEventLog system_log;
ServiceSlot<EventLog> slot(system_log);

}  // namespace

EventLog& CurrentEventLog() { return slot.get(); }
EventLog* InstallEventLog(EventLog* replacement) { return slot.install(replacement); }

}  // namespace os
