// The folder walk: order, folder types, special folders, the folder callback's choices, and folders
// that cannot be opened, which are counted while the walk goes on.
#include "libs/import_session/folder_walk.h"
#include "tests/import_session/session_fixture.h"

namespace session_test {
namespace {

using session_fake::Folder;

class FolderWalkTest : public SessionTest {
 protected:
  // A store like a mail client's: the four special folders, a mail tree, a calendar.
  void BuildStore() {
    Folder& root = world_.root();
    inbox_ = &world_.AddFolder(root, "Inbox");
    Folder& projects = world_.AddFolder(*inbox_, "Projects");
    world_.AddFolder(projects, "Old");
    Folder& calendar = world_.AddFolder(root, "Calendar", "IPF.Appointment");
    world_.AddFolder(calendar, "Mail under calendar");
    outbox_ = &world_.AddFolder(root, "Outbox");
    world_.AddFolder(*outbox_, "Held");
    sent_ = &world_.AddFolder(root, "Sent Items");
    deleted_ = &world_.AddFolder(root, "Deleted Items");
    world_.AddFolder(root, "No class", std::nullopt);
    world_.AddFolder(root, "Lower case", "ipf.note");
    world_.AddFolder(root, "Longer class", "IPF.Note.Custom");
    world_.AddFolder(root, "Imap mail", "ipf.IMAP");
    world_.AddFolder(root, "Longer imap class", "IPF.Imap.Custom");
    world_.SetSpecial(kValidatedInboxEntryIdTag, *inbox_);
    world_.SetSpecial(PR_IPM_OUTBOX_ENTRYID, *outbox_);
    world_.SetSpecial(PR_IPM_SENTMAIL_ENTRYID, *sent_);
    world_.SetSpecial(PR_IPM_WASTEBASKET_ENTRYID, *deleted_);
  }

  std::vector<std::uint8_t> Types() const {
    std::vector<std::uint8_t> types;
    for (const FolderCall& call : folder_calls_) types.push_back(call.type);
    return types;
  }

  Folder* inbox_ = nullptr;
  Folder* outbox_ = nullptr;
  Folder* sent_ = nullptr;
  Folder* deleted_ = nullptr;
};

TEST_F(FolderWalkTest, WalksDepthFirstReportingMailFoldersWithTheirTypes) {
  BuildStore();
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(FolderNames(),
            (std::vector<std::string>{"Inbox", "Projects", "Old", "Mail under calendar", "Held",
                                      "Sent Items", "Deleted Items", "No class", "Lower case",
                                      "Imap mail"}));
  EXPECT_EQ(Types(), (std::vector<std::uint8_t>{2, 1, 1, 1, 1, 3, 4, 1, 1, 1}));
  EXPECT_TRUE(Traced("EnumFolders(Inbox/)"));
  EXPECT_TRUE(Traced("EnumFolders(Projects/)"));
  EXPECT_TRUE(Traced("EnumFolders(Calendar/)"));
  EXPECT_TRUE(Traced("EnumFolders(Outbox/)"));
  EXPECT_TRUE(Traced("Folder.OpenEntry()"));
  EXPECT_TRUE(statistics_.Empty());
}

TEST_F(FolderWalkTest, FolderMessagesComeBeforeItsSubfolders) {
  BuildStore();
  world_.AddMessage(*inbox_, "in inbox");
  world_.AddMessage(*inbox_->children[0], "in projects");
  world_.AddMessage(*sent_, "sent");
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"in inbox", "in projects", "sent"}));
  EXPECT_EQ(message_calls_[0].folder_id, 100);
  EXPECT_EQ(message_calls_[1].folder_id, 101);
  EXPECT_EQ(folder_calls_[0].count, 1);
}

TEST_F(FolderWalkTest, InboxIsTheInboxWhateverItsClass) {
  BuildStore();
  inbox_->props[PR_CONTAINER_CLASS] = std::string("IPF.Appointment");
  EXPECT_EQ(Run(), S_OK);
  ASSERT_FALSE(folder_calls_.empty());
  EXPECT_EQ(folder_calls_[0].name, "Inbox");
  EXPECT_EQ(folder_calls_[0].type, 2);
}

TEST_F(FolderWalkTest, SpecialFolderOutsideTheValidMaskIsAnOrdinaryFolder) {
  BuildStore();
  world_.valid_folder_mask = FOLDER_IPM_SUBTREE_VALID | FOLDER_IPM_INBOX_VALID |
                             FOLDER_IPM_OUTBOX_VALID | FOLDER_IPM_SENTMAIL_VALID;
  EXPECT_EQ(Run(), S_OK);
  ASSERT_EQ(folder_calls_.size(), 10u);
  EXPECT_EQ(folder_calls_[6].name, "Deleted Items");
  EXPECT_EQ(folder_calls_[6].type, 1);
}

TEST_F(FolderWalkTest, DeclinedFolderIsNotReadButTheWalkGoesOn) {
  BuildStore();
  world_.AddMessage(*inbox_, "declined by id");
  world_.AddMessage(*sent_, "declined by flag");
  world_.AddMessage(*deleted_, "taken");
  folder_policy_ = [](const FolderCall& call, std::int32_t& folder_id, bool& include) {
    folder_id = call.name == "Inbox" ? -1 : 9;
    include = call.name != "Sent Items";
  };
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(Subjects(), std::vector<std::string>{"taken"});
  EXPECT_EQ(inbox_->messages[0]->opened, 0);
  EXPECT_EQ(sent_->messages[0]->opened, 0);
  EXPECT_EQ(folder_calls_.size(), 10u);
}

TEST_F(FolderWalkTest, MessagesInTheIpmSubtreeItselfAreCountedNotExported) {
  BuildStore();
  world_.AddMessage(world_.root(), "top one");
  world_.AddMessage(world_.root(), "top two");
  EXPECT_EQ(Run(), S_OK);
  EXPECT_TRUE(message_calls_.empty());
  EXPECT_EQ(statistics_.messages_in_top_folder, 2);
  EXPECT_EQ(world_.root().messages[0]->opened, 0);
}

TEST_F(FolderWalkTest, StoreWithoutFoldersTracesItsEmptyLevel) {
  EXPECT_EQ(Run(), S_OK);
  EXPECT_TRUE(folder_calls_.empty());
  EXPECT_TRUE(Traced("EnumFolders()"));
  EXPECT_TRUE(Traced("EnumFolders() finished"));
}

TEST_F(FolderWalkTest, FolderThatCannotBeOpenedIsCountedAndItsSiblingsExported) {
  Folder& a = world_.AddFolder(world_.root(), "A");
  Folder& broken = world_.AddFolder(a, "Broken");
  world_.AddFolder(broken, "Below broken");
  world_.AddMessage(world_.AddFolder(a, "After"), "kept");
  world_.AddFolder(world_.root(), "B");
  broken.open_from_parent_result = MAPI_E_CORRUPT_DATA;

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"A", "After", "B"}));
  EXPECT_EQ(Subjects(), std::vector<std::string>{"kept"});
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "A/Broken");
  EXPECT_EQ(statistics_.unopened_folders[0].reason, "it could not be opened (0x8004011B)");
}

TEST_F(FolderWalkTest, FolderWhosePropertiesCannotBeReadIsCounted) {
  Folder& broken = world_.AddFolder(world_.root(), "Broken");
  world_.AddFolder(world_.root(), "Fine");
  broken.get_props_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Fine"});
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "Broken");
}

TEST_F(FolderWalkTest, SubfoldersThatCannotBeOpenedAreCountedAndTheResultStaysSuccess) {
  Folder& parent = world_.AddFolder(world_.root(), "Parent");
  Folder& child = world_.AddFolder(parent, "Child");
  world_.AddFolder(world_.root(), "Next");
  parent.open_as_subfolder_result = MAPI_E_NO_ACCESS;
  (void)child;

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Parent", "Next"}));
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "Parent");
  EXPECT_EQ(statistics_.unopened_folders[0].reason,
            "its subfolders could not be opened (0x80070005)");
}

TEST_F(FolderWalkTest, FolderWhoseMessagesCannotBeListedStillHasItsSubfoldersWalked) {
  Folder& parent = world_.AddFolder(world_.root(), "Parent");
  world_.AddMessage(world_.AddFolder(parent, "Child"), "below");
  parent.contents_result = MAPI_E_CORRUPT_DATA;

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Child"});
  EXPECT_EQ(Subjects(), std::vector<std::string>{"below"});
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "Parent");
  EXPECT_EQ(statistics_.unopened_folders[0].reason,
            "its messages could not be listed (0x8004011B)");
  EXPECT_TRUE(Traced("ImportFromFolder() finished"));
}

TEST_F(FolderWalkTest, NestedFolderListThatCannotBeReadIsCounted) {
  Folder& parent = world_.AddFolder(world_.root(), "Parent");
  world_.AddFolder(parent, "Lost");
  world_.AddFolder(world_.root(), "Next");
  parent.hierarchy_script.row_count_result = MAPI_E_CORRUPT_DATA;

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Parent", "Next"}));
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].reason,
            "its subfolders could not be listed (0x8004011B)");
  EXPECT_FALSE(Traced("EnumFolders(Parent/) finished"));
}

TEST_F(FolderWalkTest, ListedFolderWithoutEntryIdIsCountedByItsListedName) {
  Folder& nameless = world_.AddFolder(world_.root(), "No id");
  world_.AddFolder(world_.root(), "Fine");
  nameless.listed_without_entry_id = true;
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Fine"});
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "No id");
}

TEST_F(FolderWalkTest, FolderListingItsOwnAncestorIsNotWalkedAgain) {
  Folder& a = world_.AddFolder(world_.root(), "A");
  Folder& b = world_.AddFolder(a, "B");
  Folder& loop = world_.AddFolder(b, "Loop");
  loop.listed_as = &a;

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"A", "B"}));
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "A/B/A");
  EXPECT_EQ(statistics_.unopened_folders[0].reason, "it lies inside itself");
}

TEST_F(FolderWalkTest, FolderTreeDeeperThanTheLimitIsCut) {
  Folder* folder = &world_.root();
  for (int depth = 0; depth < import_session::kMaxFolderDepth + 5; ++depth) {
    folder = &world_.AddFolder(*folder, "d" + std::to_string(depth));
  }
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(folder_calls_.size(), static_cast<std::size_t>(import_session::kMaxFolderDepth));
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].reason, "its subfolders lie too deep");
}

TEST_F(FolderWalkTest, MissingNameAndSubfolderFlagAreHandledSafely) {
  Folder& unnamed = world_.AddFolder(world_.root(), "name");
  Folder& child = world_.AddFolder(unnamed, "Child");
  unnamed.props.erase(PR_DISPLAY_NAME);
  unnamed.props.erase(PR_SUBFOLDERS);
  child.contents_result = MAPI_E_CORRUPT_DATA;

  EXPECT_EQ(Run(), S_OK);

  // Without a name the folder is reported with an empty one; without the flag its subfolders are
  // looked for.
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{""}));
  EXPECT_TRUE(Traced("EnumFolders(/)"));
  ASSERT_EQ(statistics_.unopened_folders.size(), 1u);
  EXPECT_EQ(statistics_.unopened_folders[0].folder, "(unnamed folder)/Child");
}

TEST_F(FolderWalkTest, StopRequestEndsTheWholeWalk) {
  BuildStore();
  world_.AddMessage(*inbox_, "first");
  world_.AddMessage(*inbox_, "second");
  world_.AddMessage(*inbox_->children[0], "in projects");
  message_policy_ = [](const MessageCall&, bool& stop) { stop = true; };

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(Subjects(), std::vector<std::string>{"first"});
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Inbox"});
  EXPECT_EQ(inbox_->messages[1]->opened, 0);
  EXPECT_TRUE(statistics_.Empty());
}

}  // namespace
}  // namespace session_test
