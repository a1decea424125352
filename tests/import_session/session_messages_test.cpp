// Message enumeration: batches of 25 rows, delivery times, the stop request, and messages that
// cannot be opened, read, composed or taken by the callback, which are counted while the rest of
// the folder goes on. Every case runs with the messages composed on the session's thread alone and
// on several threads: what is handed over and counted, and in which order, must not differ.
#include <algorithm>
#include <stdexcept>
#include <thread>

#include "libs/import_session/parallel_messages.h"
#include "tests/import_session/session_fixture.h"
#include "tests/support/scoped_environment.h"

namespace session_test {
namespace {

using session_fake::Folder;

class MessageEnumerationTest : public SessionTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  MessageEnumerationTest() : folder_(world_.AddFolder(world_.root(), "Mail")) {
    workers_ = GetParam();
  }

  // How many messages past the one handed over may have been opened already.
  std::size_t ReadAhead() const {
    return workers_ > 1 ? workers_ * import_session::kMessagesAheadPerWorker : 0;
  }

  void AddMessages(int count) {
    for (int i = 0; i < count; ++i) world_.AddMessage(folder_, "m" + std::to_string(i));
  }

  std::vector<std::string> Numbered(int from, int to) const {
    std::vector<std::string> subjects;
    for (int i = from; i < to; ++i) subjects.push_back("m" + std::to_string(i));
    return subjects;
  }

  Folder& folder_;
};

TEST_P(MessageEnumerationTest, ReadsTwentySixMessagesInThreeBatches) {
  AddMessages(26);
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(0, 26));
  ASSERT_NE(folder_.last_contents, nullptr);
  EXPECT_EQ(folder_.last_contents->requested, (std::vector<LONG>{25, 25, 25}));
  EXPECT_EQ(folder_.last_contents->handed, (std::vector<ULONG>{25, 1, 0}));
  EXPECT_EQ(folder_.last_contents->columns,
            (std::vector<ULONG>{PR_HASATTACH, PR_MESSAGE_FLAGS, PR_SUBJECT, PR_MESSAGE_SIZE,
                                PR_MESSAGE_DELIVERY_TIME, PR_ENTRYID, PR_INSTANCE_KEY}));
  EXPECT_EQ(folder_calls_[0].count, 26);
}

TEST_P(MessageEnumerationTest, EmptyFolderOpensNoMessage) {
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(folder_.last_contents->requested, std::vector<LONG>{25});
  EXPECT_TRUE(Traced("ProcessMessages(Mail)"));
  EXPECT_TRUE(Traced("ProcessMessages() finished"));
  EXPECT_FALSE(Traced("ProcessMessage(Mail)"));
}

TEST_P(MessageEnumerationTest, DeliveryTimeIsHandedOverInUtcDays) {
  // 1 January 2000 12:00 UTC.
  const ULONGLONG ticks = 125911584000000000ULL + 12ULL * 3600 * 10000000;
  world_.AddMessage(folder_, "dated",
                    FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)});
  world_.AddMessage(folder_, "undated").props.erase(PR_MESSAGE_DELIVERY_TIME);
  EXPECT_EQ(Run(), S_OK);
  ASSERT_EQ(message_calls_.size(), 2u);
  EXPECT_DOUBLE_EQ(message_calls_[0].time, 36526.5);
  EXPECT_EQ(message_calls_[1].time, 0.0);
  EXPECT_EQ(message_calls_[0].folder_id, 100);
}

TEST_P(MessageEnumerationTest, StopOnTheThirdMessageLeavesTheRestUnopened) {
  AddMessages(30);
  world_.AddMessage(world_.AddFolder(world_.root(), "Later"), "later");
  message_policy_ = [this](const MessageCall&, bool& stop) { stop = message_calls_.size() == 3; };

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(Subjects(), Numbered(0, 3));
  EXPECT_TRUE(statistics_.Empty());
  for (std::size_t i = 3 + ReadAhead(); i < folder_.messages.size(); ++i) {
    EXPECT_EQ(folder_.messages[i]->opened, 0) << i;
  }
  EXPECT_EQ(folder_.last_contents->requested.size(), 1u);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Mail"});
  EXPECT_TRUE(Traced("ProcessMessages() finished"));
}

TEST_P(MessageEnumerationTest, MessageThatCannotBeOpenedIsCountedAndTheRestExported) {
  AddMessages(4);
  folder_.messages[1]->open_result = MAPI_E_CORRUPT_DATA;
  folder_.messages[2]->open_result = MAPI_E_CORRUPT_DATA;

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(Subjects(), (std::vector<std::string>{"m0", "m3"}));
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].folder, "Mail");
  EXPECT_EQ(statistics_.skipped_messages[0].count, 2);
  EXPECT_EQ(statistics_.skipped_messages[0].reason, "it could not be opened (0x8004011B)");
}

TEST_P(MessageEnumerationTest, MessageWhosePropertiesCannotBeReadIsCounted) {
  AddMessages(3);
  folder_.messages[0]->get_props_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(1, 3));
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].reason,
            "its properties could not be read (0x8004011B)");
}

TEST_P(MessageEnumerationTest, MessagesThatCannotBeComposedAreCountedByReason) {
  world_.AddMessage(folder_, "compose fails");
  world_.AddMessage(folder_, "compose throws");
  world_.AddMessage(folder_, "fine");
  world_.AddMessage(folder_, "write fails");
  Folder& nested = world_.AddFolder(folder_, "Nested");
  world_.AddMessage(nested, "compose fails");

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(Subjects(), std::vector<std::string>{"fine"});
  ASSERT_EQ(statistics_.skipped_messages.size(), 4u);
  EXPECT_EQ(statistics_.skipped_messages[0].reason, "it could not be composed (0x8004011B)");
  EXPECT_EQ(statistics_.skipped_messages[1].reason, "composing it failed: bad part  in line two");
  // Reading that breaks off while the text is written counts like a failed composition.
  EXPECT_EQ(statistics_.skipped_messages[2].reason, "it could not be composed (0x8003001E)");
  EXPECT_EQ(statistics_.skipped_messages[2].count, 1);
  EXPECT_EQ(statistics_.skipped_messages[3].folder, "Mail/Nested");
}

TEST_P(MessageEnumerationTest, CallbackErrorLosesOnlyItsMessage) {
  AddMessages(3);
  message_policy_ = [this](const MessageCall&, bool& stop) {
    stop = true;  // never looked at: the callback did not return
    if (message_calls_.size() == 2) throw std::runtime_error("disk trouble");
    stop = false;
  };
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(0, 3));
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].reason, "the archive did not take it: disk trouble");
}

TEST_P(MessageEnumerationTest, RowWithoutEntryIdIsCounted) {
  AddMessages(2);
  folder_.messages[0]->listed_without_entry_id = true;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), std::vector<std::string>{"m1"});
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].reason,
            "its entry id is missing from the folder's message list");
}

TEST_P(MessageEnumerationTest, TableThatStopsGivingRowsCountsTheRest) {
  AddMessages(30);
  world_.AddMessage(world_.AddFolder(world_.root(), "Next"), "next folder");
  folder_.contents_script.failing_from_query = 1;

  EXPECT_EQ(Run(), S_OK);

  std::vector<std::string> expected = Numbered(0, 25);
  expected.push_back("next folder");
  EXPECT_EQ(Subjects(), expected);
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].count, 5);
  EXPECT_EQ(statistics_.skipped_messages[0].reason,
            "the folder's message list could not be read (0x8004011B)");
}

TEST_P(MessageEnumerationTest, TableThatHandsBackNothingIsAskedAgain) {
  AddMessages(3);
  folder_.contents_script.empty_handed_queries = 2;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(0, 3));
  EXPECT_TRUE(statistics_.Empty());
}

TEST_P(MessageEnumerationTest, TableThatNeverHandsBackRowsEndsTheFolder) {
  AddMessages(3);
  folder_.contents_script.empty_handed_queries = 1000;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_TRUE(message_calls_.empty());
  EXPECT_EQ(folder_.last_contents->requested.size(), 3u);
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].count, 3);
}

TEST_P(MessageEnumerationTest, TableThatRefusesTheColumnsStillGivesItsMessages) {
  AddMessages(2);
  folder_.contents_script.set_columns_result = MAPI_E_BAD_COLUMN;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(0, 2));
}

TEST_P(MessageEnumerationTest, EveryMessageTracesItsSteps) {
  AddMessages(1);
  folder_.messages[0]->open_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), S_OK);
  const int start = TraceIndex("ProcessMessage(Mail)");
  ASSERT_GE(start, 0);
  EXPECT_EQ(trace_.lines[start + 1], "MDB.OpenEntry()");
  EXPECT_EQ(trace_.lines[start + 2], "ProcessRow() finished");
}

TEST_P(MessageEnumerationTest, FailuresAmongGoodMessagesAreCountedInRowOrderAcrossBatches) {
  // Rows 0..59: every seventh row fails in one of six ways, the rest are exported; some of the
  // exported ones and one that fails met damage.
  const std::vector<std::string> failing = {"compose fails", "compose throws", "write fails",
                                            "write throws",  "cannot open",    "cannot read"};
  std::vector<std::string> exported;
  for (int i = 0; i < 60; ++i) {
    const bool fails = i % 7 == 3;
    const std::string subject = fails ? failing[(i / 7) % failing.size()] : "m" + std::to_string(i);
    session_fake::Message& message = world_.AddMessage(folder_, subject);
    if (subject == "cannot open") message.open_result = MAPI_E_CORRUPT_DATA;
    if (subject == "cannot read") message.get_props_result = MAPI_E_NOT_ENOUGH_MEMORY;
    if (i % 11 == 5 || subject == "write fails") {
      message.props[PR_INTEGRITY_FINDINGS] = "block of " + subject + ": checksum mismatch";
    }
    if (!fails) exported.push_back(subject);
  }

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(Subjects(), exported);
  std::vector<std::pair<std::string, std::int64_t>> skipped;
  for (const auto& entry : statistics_.skipped_messages) {
    EXPECT_EQ(entry.folder, "Mail");
    skipped.emplace_back(entry.reason, entry.count);
  }
  EXPECT_EQ(skipped, (std::vector<std::pair<std::string, std::int64_t>>{
                         {"it could not be composed (0x8004011B)", 2},
                         {"composing it failed: bad part  in line two", 2},
                         {"it could not be composed (0x8003001E)", 2},
                         {"the archive did not take it: stream gone", 1},
                         {"it could not be opened (0x8004011B)", 1},
                         {"its properties could not be read (0x8007000E)", 1}}));
  ASSERT_EQ(statistics_.damaged_messages.size(), 1u);
  const auto& damaged = statistics_.damaged_messages[0];
  std::vector<std::string> listed;
  for (const auto& message : damaged.listed) listed.push_back(message.subject);
  EXPECT_EQ(listed, (std::vector<std::string>{"m5", "m16", "m27", "m49"}));
  EXPECT_EQ(damaged.count, 4);
  EXPECT_EQ(damaged.listed[0].problems, "block of m5: checksum mismatch");
}

TEST_P(MessageEnumerationTest, LargeTextsArriveWholeAndAStopLetsTheMessagesReadAheadGo) {
  for (int i = 0; i < 12; ++i) world_.AddMessage(folder_, "large " + std::to_string(i));
  message_policy_ = [this](const MessageCall&, bool& stop) { stop = message_calls_.size() == 2; };

  EXPECT_EQ(Run(), S_OK);

  ASSERT_EQ(Subjects(), (std::vector<std::string>{"large 0", "large 1"}));
  for (const MessageCall& call : message_calls_) {
    EXPECT_EQ(call.text.size(), std::string("Subject: large 0\r\n\r\n").size() +
                                    static_cast<std::size_t>(kLargeTextLines) * 64);
    EXPECT_EQ(call.text.substr(call.text.size() - 3), "d\r\n") << "the last line";
  }
  EXPECT_TRUE(statistics_.Empty());
  for (std::size_t i = 2 + ReadAhead(); i < folder_.messages.size(); ++i) {
    EXPECT_EQ(folder_.messages[i]->opened, 0) << i;
  }
}

TEST_P(MessageEnumerationTest, CallbackThatDoesNotTakeTheTextStillEndsEveryMessage) {
  for (int i = 0; i < 6; ++i) world_.AddMessage(folder_, "large " + std::to_string(i));
  world_.AddMessage(folder_, "small");
  std::vector<std::string> headers;
  import_session::MessageCallback on_message = [&](std::int32_t, std::int32_t, std::int32_t,
                                                   import_session::MessageText& text, double,
                                                   bool& stop) {
    headers.emplace_back(text.Header().substr(0, text.Header().find("\r\n")));
    stop = false;
  };
  import_session::FolderCallback on_folder = [](std::int32_t, std::string_view, std::uint8_t,
                                                std::int32_t, std::int32_t& folder_id,
                                                bool& include) {
    folder_id = 1;
    include = true;
  };
  std::string error_text;
  EXPECT_EQ(import_session::RunImportSession("/data/mail.pst", on_folder, on_message, 0, error_text,
                                             &statistics_, composer_, workers_),
            S_OK);
  EXPECT_EQ(headers.size(), 7u);
  EXPECT_EQ(headers.back(), "Subject: small");
  EXPECT_TRUE(statistics_.Empty());
}

INSTANTIATE_TEST_SUITE_P(Workers, MessageEnumerationTest, ::testing::Values(1u, 2u, 3u));

TEST(MessageWorkerCount, ComesFromTheSettingAndIsOneWhileTracing) {
  const unsigned machine =
      std::clamp(std::thread::hardware_concurrency(), 1u, import_session::kMaxMessageWorkers);
  test_support::ScopedEnvironment no_trace("PST2XMZ_TRACE", std::nullopt);
  {
    test_support::ScopedEnvironment workers("PST2XMZ_WORKERS", "3");
    EXPECT_EQ(import_session::MessageWorkerCount(), 3u);
    // Trace lines written from several threads would no longer follow the work.
    test_support::ScopedEnvironment trace("PST2XMZ_TRACE", "-");
    EXPECT_EQ(import_session::MessageWorkerCount(), 1u);
  }
  for (const char* unusable : {"0", "9", "2x", ""}) {
    test_support::ScopedEnvironment workers("PST2XMZ_WORKERS", unusable);
    EXPECT_EQ(import_session::MessageWorkerCount(), machine) << unusable;
  }
}

}  // namespace
}  // namespace session_test
