// Event-source registration and classified reports through the platform's event log.
#include "support/diag/event_logger.h"

#include "platform/os/module_path.h"
#include "platform/os/registry.h"

namespace diag {
namespace {

constexpr std::size_t kMaxSourceName = 260;

// Sets the four registration values in order, stopping at the first failure.
bool WriteSourceKey(const std::string& source_name, const std::string& module_path) {
  os::Registry& registry = os::CurrentRegistry();
  const std::string key = std::string(TIMIEventLogger::kSourceKeyPrefix) + source_name;
  const auto hive = os::Hive::kLocalMachine;
  return registry.WriteValue(hive, key, "EventMessageFile", module_path) &&
         registry.WriteValue(hive, key, "ParameterMessageFile",
                             "%SystemRoot%\\System32\\kernel32.dll") &&
         registry.WriteValue(hive, key, "CategoryMessageFile", module_path) &&
         registry.WriteNumber(hive, key, "TypesSupported", 7);
}

// At most max bytes of UTF-8 text, never ending inside a multi-byte character.
std::string_view CutAtCharacter(std::string_view text, std::size_t max) {
  if (text.size() <= max) return text;
  std::size_t lead = max;
  while (lead > 0 && max - lead < 4 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80) {
    --lead;
  }
  // text[max] continues the character starting at lead, which therefore does not fit.
  return (static_cast<unsigned char>(text[max]) & 0xC0) == 0x80 ? text.substr(0, lead)
                                                                : text.substr(0, max);
}

}  // namespace

os::EventType ClassifyEventCode(std::uint32_t code) {
  switch (code >> 30) {
    case 3:
      return os::EventType::kError;
    case 2:
      return os::EventType::kWarning;
    default:
      return os::EventType::kInformation;
  }
}

std::string EventSourceName(std::string_view program_path) {
  const std::size_t slash = program_path.find_last_of('/');
  std::string_view name =
      slash == std::string_view::npos ? program_path : program_path.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  std::string source(CutAtCharacter(name, kMaxSourceName));
  for (std::size_t i = 1; i < source.size(); ++i) {
    if (source[i] >= 'A' && source[i] <= 'Z') source[i] = static_cast<char>(source[i] - 'A' + 'a');
  }
  return source;
}

TIMIEventLogger& TIMIEventLogger::Instance() {
  static TIMIEventLogger logger;
  return logger;
}

TIMIEventLogger::~TIMIEventLogger() {
  // A sink a test installed may be gone by now; only the one still installed is told.
  if (registered_with_ != nullptr && registered_with_ == &os::CurrentEventLog() &&
      registered_with_->Usable()) {
    registered_with_->DeregisterSource();
  }
}

bool TIMIEventLogger::Registered() const {
  return registered_with_ != nullptr && registered_with_ == &os::CurrentEventLog();
}

bool TIMIEventLogger::RegisterSource() {
  if (Registered()) return true;
  const std::string module_path = os::ExecutablePath();
  if (module_path.empty()) return false;
  const std::string source_name = EventSourceName(module_path);
  if (!WriteSourceKey(source_name, module_path)) return false;
  os::EventLog& event_log = os::CurrentEventLog();
  if (!event_log.RegisterSource(source_name)) return false;
  registered_with_ = &event_log;
  error_count_ = warning_count_ = information_count_ = 0;
  return true;
}

void TIMIEventLogger::Report(std::string_view text, std::uint32_t code) {
  const os::EventType type = ClassifyEventCode(code);
  os::EventLog& event_log = os::CurrentEventLog();
  // Registration comes first so that the report that triggers it is counted and written.
  const bool writable = event_log.Usable() && RegisterSource();
  switch (type) {
    case os::EventType::kError:
      ++error_count_;
      break;
    case os::EventType::kWarning:
      ++warning_count_;
      break;
    case os::EventType::kInformation:
      ++information_count_;
      break;
  }
  if (writable) event_log.Report(type, code, text);
}

}  // namespace diag
