// ImportPst with the program's own composer over the in-memory mail world: composed text reaches
// the message callback, also for a message that keeps no flags.
#include "libs/import_session/import_pst.h"
#include "tests/import_session/session_fixture.h"

namespace session_test {
namespace {

class ComposedImportTest : public SessionTest {
 protected:
  import_session::ImportResult RunImportPst() {
    import_session::FolderCallback on_folder = [this](std::int32_t, std::string_view name,
                                                      std::uint8_t type, std::int32_t count,
                                                      std::int32_t& folder_id, bool& include) {
      folder_calls_.push_back({std::string(name), type, count});
      folder_id = 5;
      include = true;
    };
    import_session::MessageCallback on_message =
        [this](std::int32_t, std::int32_t, std::int32_t folder_id,
               import_session::MessageText& text, double time, bool& stop) {
          std::string whole;
          EXPECT_EQ(WriteWholeText(text, whole), 0);
          EXPECT_TRUE(whole.starts_with(text.Header())) << "the header is the text's beginning";
          message_calls_.push_back({folder_id, std::move(whole), time});
          stop = false;
        };
    return import_session::ImportPst("/data/mail.pst", {}, on_folder, on_message, 0, error_text_,
                                     &statistics_);
  }
};

TEST_F(ComposedImportTest, ComposedTextReachesTheMessageCallback) {
  session_fake::Folder& inbox = world_.AddFolder(world_.root(), "Inbox");
  world_.AddMessage(inbox, "Hello from the walk");

  EXPECT_EQ(RunImportPst(), S_OK);

  ASSERT_EQ(message_calls_.size(), 1u);
  EXPECT_NE(message_calls_[0].text.find("Subject: Hello from the walk\r\n"), std::string::npos)
      << message_calls_[0].text;
  EXPECT_EQ(message_calls_[0].folder_id, 5);
}

TEST_F(ComposedImportTest, MessageWithoutAttachmentFlagIsComposedLikeTheOthers) {
  session_fake::Folder& inbox = world_.AddFolder(world_.root(), "Inbox");
  world_.AddMessage(inbox, "without flags").props.erase(PR_HASATTACH);
  world_.AddMessage(inbox, "with flags");

  EXPECT_EQ(RunImportPst(), S_OK);

  ASSERT_EQ(message_calls_.size(), 2u);
  EXPECT_NE(message_calls_[0].text.find("Subject: without flags"), std::string::npos);
  EXPECT_NE(message_calls_[1].text.find("Subject: with flags"), std::string::npos);
  EXPECT_TRUE(statistics_.skipped_messages.empty());
}

}  // namespace
}  // namespace session_test
