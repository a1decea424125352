// Message enumeration: batches of 25 rows, delivery times, the stop request, and messages that
// cannot be opened, read, composed or taken by the callback, which are counted while the rest of
// the folder goes on.
#include <stdexcept>

#include "tests/import_session/session_fixture.h"

namespace session_test {
namespace {

using session_fake::Folder;

class MessageEnumerationTest : public SessionTest {
 protected:
  MessageEnumerationTest() : folder_(world_.AddFolder(world_.root(), "Mail")) {}

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

TEST_F(MessageEnumerationTest, ReadsTwentySixMessagesInThreeBatches) {
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

TEST_F(MessageEnumerationTest, EmptyFolderOpensNoMessage) {
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(folder_.last_contents->requested, std::vector<LONG>{25});
  EXPECT_TRUE(Traced("ProcessMessages(Mail)"));
  EXPECT_TRUE(Traced("ProcessMessages() finished"));
  EXPECT_FALSE(Traced("ProcessMessage(Mail)"));
}

TEST_F(MessageEnumerationTest, DeliveryTimeIsHandedOverInUtcDays) {
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

TEST_F(MessageEnumerationTest, StopOnTheThirdMessageLeavesTheRestUnopened) {
  AddMessages(30);
  world_.AddMessage(world_.AddFolder(world_.root(), "Later"), "later");
  message_policy_ = [this](const MessageCall&, bool& stop) { stop = message_calls_.size() == 3; };

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(Subjects(), Numbered(0, 3));
  for (std::size_t i = 3; i < folder_.messages.size(); ++i) {
    EXPECT_EQ(folder_.messages[i]->opened, 0) << i;
  }
  EXPECT_EQ(folder_.last_contents->requested.size(), 1u);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Mail"});
  EXPECT_TRUE(Traced("ProcessMessages() finished"));
}

TEST_F(MessageEnumerationTest, MessageThatCannotBeOpenedIsCountedAndTheRestExported) {
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

TEST_F(MessageEnumerationTest, MessageWhosePropertiesCannotBeReadIsCounted) {
  AddMessages(3);
  folder_.messages[0]->get_props_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(1, 3));
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].reason,
            "its properties could not be read (0x8004011B)");
}

TEST_F(MessageEnumerationTest, MessagesThatCannotBeComposedAreCountedByReason) {
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

TEST_F(MessageEnumerationTest, CallbackErrorLosesOnlyItsMessage) {
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

TEST_F(MessageEnumerationTest, RowWithoutEntryIdIsCounted) {
  AddMessages(2);
  folder_.messages[0]->listed_without_entry_id = true;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), std::vector<std::string>{"m1"});
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].reason,
            "its entry id is missing from the folder's message list");
}

TEST_F(MessageEnumerationTest, TableThatStopsGivingRowsCountsTheRest) {
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

TEST_F(MessageEnumerationTest, TableThatHandsBackNothingIsAskedAgain) {
  AddMessages(3);
  folder_.contents_script.empty_handed_queries = 2;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(0, 3));
  EXPECT_TRUE(statistics_.Empty());
}

TEST_F(MessageEnumerationTest, TableThatNeverHandsBackRowsEndsTheFolder) {
  AddMessages(3);
  folder_.contents_script.empty_handed_queries = 1000;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_TRUE(message_calls_.empty());
  EXPECT_EQ(folder_.last_contents->requested.size(), 3u);
  ASSERT_EQ(statistics_.skipped_messages.size(), 1u);
  EXPECT_EQ(statistics_.skipped_messages[0].count, 3);
}

TEST_F(MessageEnumerationTest, TableThatRefusesTheColumnsStillGivesItsMessages) {
  AddMessages(2);
  folder_.contents_script.set_columns_result = MAPI_E_BAD_COLUMN;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), Numbered(0, 2));
}

TEST_F(MessageEnumerationTest, EveryMessageTracesItsSteps) {
  AddMessages(1);
  folder_.messages[0]->open_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), S_OK);
  const int start = TraceIndex("ProcessMessage(Mail)");
  ASSERT_GE(start, 0);
  EXPECT_EQ(trace_.lines[start + 1], "MDB.OpenEntry()");
  EXPECT_EQ(trace_.lines[start + 2], "ProcessRow() finished");
}

}  // namespace
}  // namespace session_test
