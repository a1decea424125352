// Event-log reports: classification by the code's top bits and the three counters, registration of
// the source (name, registry values, retry after failure), what reaches the event log and what is
// dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/event_log.h"
#include "platform/os/module_path.h"
#include "platform/os/registry.h"
#include "support/diag/event_logger.h"

namespace {

struct ReportedEvent {
  os::EventType type;
  std::uint32_t id;
  std::string text;
};

class CapturingEventLog : public os::EventLog {
 public:
  bool usable = true;
  bool accept_registration = true;
  std::vector<std::string> registrations;
  std::vector<ReportedEvent> events;
  int deregistrations = 0;

  bool Usable() const override { return usable; }
  bool RegisterSource(std::string_view source_name) override {
    registrations.emplace_back(source_name);
    return accept_registration;
  }
  void Report(os::EventType type, std::uint32_t event_id, std::string_view text) override {
    events.push_back({type, event_id, std::string(text)});
  }
  void DeregisterSource() override { ++deregistrations; }
};

struct WrittenValue {
  std::string key, value, data;
  bool number = false;  // written as a number, not as text
};

// A registry that records writes and refuses them while it lacks the rights.
class RecordingRegistry : public os::Registry {
 public:
  bool writable = true;
  std::vector<WrittenValue> writes;

  bool KeyExists(os::Hive, std::string_view) const override { return false; }
  std::optional<std::string> ReadString(os::Hive, std::string_view,
                                        std::string_view) const override {
    return std::nullopt;
  }
  bool WriteValue(os::Hive hive, std::string_view key, std::string_view value,
                  std::string_view data) override {
    if (!writable || hive != os::Hive::kLocalMachine) return false;
    writes.push_back({std::string(key), std::string(value), std::string(data)});
    return true;
  }
  bool WriteNumber(os::Hive hive, std::string_view key, std::string_view value,
                   std::uint32_t number) override {
    if (!writable || hive != os::Hive::kLocalMachine) return false;
    writes.push_back({std::string(key), std::string(value), std::to_string(number), true});
    return true;
  }
  os::OsVersion Version() const override { return {10, 0, 2}; }
};

class EventLoggerTest : public ::testing::Test {
 protected:
  CapturingEventLog event_log;
  RecordingRegistry registry;
  os::ScopedEventLog scoped_log{event_log};
  os::ScopedRegistry scoped_registry{registry};
};

TEST(EventCodeClass, TopTwoBitsChooseTheType) {
  EXPECT_EQ(diag::ClassifyEventCode(0xC0000001), os::EventType::kError);
  EXPECT_EQ(diag::ClassifyEventCode(0xFFFFFFFF), os::EventType::kError);
  EXPECT_EQ(diag::ClassifyEventCode(0x80040111), os::EventType::kWarning);
  EXPECT_EQ(diag::ClassifyEventCode(0xBFFFFFFF), os::EventType::kWarning);
  EXPECT_EQ(diag::ClassifyEventCode(0x80000000), os::EventType::kWarning);
  EXPECT_EQ(diag::ClassifyEventCode(0x00000001), os::EventType::kInformation);
  EXPECT_EQ(diag::ClassifyEventCode(0x40000000), os::EventType::kInformation);
  EXPECT_EQ(diag::ClassifyEventCode(0x00040380), os::EventType::kInformation);
}

TEST(EventSourceName, FileNameCutAtFirstDotWithTheRestLowerCase) {
  EXPECT_EQ(diag::EventSourceName("/usr/bin/PST2XMZ.EXE"), "Pst2xmz");
  EXPECT_EQ(diag::EventSourceName("/opt/app.d/prog.x.y"), "prog");
  EXPECT_EQ(diag::EventSourceName("pst2xmz"), "pst2xmz");
  EXPECT_EQ(diag::EventSourceName("/srv/MailTool"), "Mailtool");
  EXPECT_EQ(diag::EventSourceName("/srv/.hidden"), "");
}

TEST(EventSourceName, LongNamesStopAt260BytesOnACharacterBoundary) {
  EXPECT_EQ(diag::EventSourceName("/x/" + std::string(300, 'a')).size(), 260u);
  // 259 ASCII bytes and then a two-byte character: the character does not fit whole.
  const std::string name = std::string(259, 'a') + "\xC3\xA9" + "tail";
  EXPECT_EQ(diag::EventSourceName("/x/" + name), std::string(259, 'a'));
}

TEST_F(EventLoggerTest, CodesAreCountedByClass) {
  diag::TIMIEventLogger logger;
  logger.Report("w", 0x80040111);
  logger.Report("e", 0xC0000001);
  logger.Report("i", 0x00000001);
  logger.Report("w2", 0x80004005);
  EXPECT_EQ(logger.WarningCount(), 2u);
  EXPECT_EQ(logger.ErrorCount(), 1u);
  EXPECT_EQ(logger.InformationCount(), 1u);
}

TEST_F(EventLoggerTest, FirstReportRegistersTheSourceAndIsWritten) {
  diag::TIMIEventLogger logger;
  EXPECT_FALSE(logger.Registered());
  logger.Report("Error. Returned CODE is: C0000001", 0xC0000001);
  const std::string source = diag::EventSourceName(os::ExecutablePath());
  ASSERT_FALSE(source.empty());
  EXPECT_EQ(event_log.registrations, std::vector<std::string>{source});
  ASSERT_EQ(event_log.events.size(), 1u);
  EXPECT_EQ(event_log.events[0].type, os::EventType::kError);
  EXPECT_EQ(event_log.events[0].id, 0xC0000001u);
  EXPECT_EQ(event_log.events[0].text, "Error. Returned CODE is: C0000001");
  EXPECT_EQ(logger.ErrorCount(), 1u);
}

TEST_F(EventLoggerTest, RegistrationWritesTheSourceKeyValuesInOrder) {
  diag::TIMIEventLogger logger;
  ASSERT_TRUE(logger.RegisterSource());
  const std::string module = os::ExecutablePath();
  const std::string key =
      std::string(diag::TIMIEventLogger::kSourceKeyPrefix) + diag::EventSourceName(module);
  ASSERT_EQ(registry.writes.size(), 4u);
  for (const WrittenValue& write : registry.writes) EXPECT_EQ(write.key, key);
  EXPECT_EQ(registry.writes[0].value, "EventMessageFile");
  EXPECT_EQ(registry.writes[0].data, module);
  EXPECT_EQ(registry.writes[1].value, "ParameterMessageFile");
  EXPECT_EQ(registry.writes[1].data, "%SystemRoot%\\System32\\kernel32.dll");
  EXPECT_EQ(registry.writes[2].value, "CategoryMessageFile");
  EXPECT_EQ(registry.writes[2].data, module);
  EXPECT_EQ(registry.writes[3].value, "TypesSupported");
  EXPECT_EQ(registry.writes[3].data, "7");
  EXPECT_TRUE(registry.writes[3].number);  // a DWORD: the event viewer reads no text there
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(registry.writes[i].number);
}

TEST_F(EventLoggerTest, RegistersOnlyOnce) {
  diag::TIMIEventLogger logger;
  EXPECT_TRUE(logger.RegisterSource());
  EXPECT_TRUE(logger.RegisterSource());
  logger.Report("a", 1);
  logger.Report("b", 2);
  EXPECT_EQ(event_log.registrations.size(), 1u);
  EXPECT_EQ(event_log.events.size(), 2u);
}

TEST_F(EventLoggerTest, WithoutRegistryRightsNothingIsWrittenAndRegistrationIsRetried) {
  registry.writable = false;
  diag::TIMIEventLogger logger;
  logger.Report("first", 0x80040111);
  logger.Report("second", 0xC0000001);
  EXPECT_TRUE(event_log.registrations.empty());
  EXPECT_TRUE(event_log.events.empty());
  EXPECT_EQ(logger.WarningCount(), 1u);
  EXPECT_EQ(logger.ErrorCount(), 1u);
  // Rights granted later: the next report registers and is written.
  registry.writable = true;
  logger.Report("third", 0x00000001);
  EXPECT_EQ(event_log.registrations.size(), 1u);
  ASSERT_EQ(event_log.events.size(), 1u);
  EXPECT_EQ(event_log.events[0].text, "third");
  // Registration starts the counts afresh, the report that triggered it included.
  EXPECT_EQ(logger.InformationCount(), 1u);
  EXPECT_EQ(logger.ErrorCount(), 0u);
}

TEST_F(EventLoggerTest, RefusedSourceIsRetriedAtTheNextReport) {
  event_log.accept_registration = false;
  diag::TIMIEventLogger logger;
  logger.Report("dropped", 1);
  EXPECT_FALSE(logger.Registered());
  event_log.accept_registration = true;
  logger.Report("kept", 1);
  EXPECT_EQ(event_log.registrations.size(), 2u);
  ASSERT_EQ(event_log.events.size(), 1u);
  EXPECT_EQ(event_log.events[0].text, "kept");
}

TEST_F(EventLoggerTest, UnusableEventLogCountsAndDrops) {
  event_log.usable = false;
  diag::TIMIEventLogger logger;
  logger.Report("x", 0xC0000001);
  EXPECT_TRUE(event_log.registrations.empty());
  EXPECT_TRUE(event_log.events.empty());
  EXPECT_TRUE(registry.writes.empty());
  EXPECT_EQ(logger.ErrorCount(), 1u);
}

TEST_F(EventLoggerTest, DestroyDeregistersOnlyARegisteredSource) {
  { diag::TIMIEventLogger unused; }
  EXPECT_EQ(event_log.deregistrations, 0);
  {
    diag::TIMIEventLogger logger;
    logger.Report("x", 1);
  }
  EXPECT_EQ(event_log.deregistrations, 1);
}

TEST_F(EventLoggerTest, ProcessLoggerIsOneInstance) {
  EXPECT_EQ(&diag::TIMIEventLogger::Instance(), &diag::TIMIEventLogger::Instance());
}

TEST(EventLoggerSinks, ReplacedEventLogNeedsItsOwnRegistration) {
  RecordingRegistry registry;
  os::ScopedRegistry scoped_registry(registry);
  CapturingEventLog first, second;
  diag::TIMIEventLogger logger;
  {
    os::ScopedEventLog scoped(first);
    logger.Report("to first", 1);
  }
  {
    os::ScopedEventLog scoped(second);
    logger.Report("to second", 1);
  }
  EXPECT_EQ(first.events.size(), 1u);
  EXPECT_EQ(second.registrations.size(), 1u);
  ASSERT_EQ(second.events.size(), 1u);
  EXPECT_EQ(second.events[0].text, "to second");
}

}  // namespace
