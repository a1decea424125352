// The import session end to end over the in-memory mail world: the temporary profile, the logon and
// its failures, the store, the trace of a whole run, the result codes and the error text.
#include <stdexcept>

#include "libs/import_session/temp_profile.h"
#include "tests/import_session/session_fixture.h"
#include "tests/support/scoped_environment.h"

namespace session_test {
namespace {

using session_fake::Folder;

class ImportSessionTest : public SessionTest {};

TEST_F(ImportSessionTest, SmallStoreTracesEveryStepInOrder) {
  Folder& inbox = world_.AddFolder(world_.root(), "Inbox");
  world_.AddMessage(inbox, "hello");

  EXPECT_EQ(Run(), S_OK);

  const std::vector<std::string> expected = {"MAPIInitialize",
                                             "HrCreatePersonalStore(/data/mail.pst)",
                                             "MAPILogonEx()",
                                             "HrCleanupPSTGlobals(KeyProfileName)",
                                             "MapiFreeBuffer(KeyProfileName)",
                                             "OpenPST",
                                             "OpenPST() starting",
                                             "Session.OpenMsgStore",
                                             "GetSystemMAPIFolders",
                                             "MapiFreeBuffer(StoreEID.lpb)",
                                             "OpenPST() finished",
                                             "ProcessFolders()",
                                             "MDB.OpenEntry(RootEID.cb...)",
                                             "MDB.OpenEntry(RootEID.cb...) finished",
                                             "EnumFolders()",
                                             "ImportFromFolder(Inbox)",
                                             "ProcessMessages(Inbox)",
                                             "ProcessMessage(Inbox)",
                                             "MDB.OpenEntry()",
                                             "MAPIMessage.GetProps(MessagePropTagArray)",
                                             "MessageCallback",
                                             "ProcessRow() finished",
                                             "ProcessMessages() finished",
                                             "ImportFromFolder() finished",
                                             "EnumFolders() finished",
                                             "ProcessFolders() finished",
                                             "Completed",
                                             "Finished HR= 00000000"};
  EXPECT_EQ(trace_.lines, expected);
  EXPECT_EQ(Subjects(), std::vector<std::string>{"hello"});
  EXPECT_TRUE(error_text_.empty());
  EXPECT_TRUE(statistics_.Empty());
  EXPECT_EQ(world_.initialized, 1);
}

TEST_F(ImportSessionTest, TemporaryProfileHoldsThePersonalFoldersServiceAndIsDeletedAfterLogon) {
  EXPECT_EQ(Run("/data/mail.pst"), S_OK);

  EXPECT_EQ(world_.prof_admin.created, std::vector<std::string>{"PstLoadTmp000"});
  EXPECT_EQ(world_.prof_admin.created_passwords, std::vector<std::string>{""});
  EXPECT_EQ(world_.service_admin.created_services, std::vector<std::string>{"MSPST MS"});
  EXPECT_EQ(world_.service_admin.configured_uid, world_.service_admin.service_uid);
  EXPECT_EQ(world_.service_admin.configured_flags, SERVICE_UI_ALLOWED);
  EXPECT_EQ(world_.service_admin.configured_tags,
            (std::vector<ULONG>{PR_PST_PATH, PR_PST_PW_SZ_OLD}));
  EXPECT_EQ(world_.service_admin.configured_strings[PR_PST_PATH], "/data/mail.pst");
  EXPECT_EQ(world_.service_admin.configured_strings[PR_PST_PW_SZ_OLD], "");
  EXPECT_EQ(world_.logon_profile, "PstLoadTmp000");
  EXPECT_EQ(world_.logon_password, "");
  EXPECT_EQ(world_.logon_flags, 0x00008032u);
  EXPECT_EQ(world_.prof_admin.deleted, std::vector<std::string>{"PstLoadTmp000"});
  EXPECT_TRUE(world_.prof_admin.profiles.empty());
  // Deleted right after the logon, before the store is looked for.
  EXPECT_LT(TraceIndex("HrCleanupPSTGlobals(KeyProfileName)"), TraceIndex("OpenPST"));
  EXPECT_EQ(world_.session.open_store_flags, MDB_WRITE | MAPI_BEST_ACCESS);
  EXPECT_EQ(world_.validate_flags, MAPI_FULL_IPM_TREE);
}

TEST_F(ImportSessionTest, ObjectsAreOpenedWithTheirAccessFlags) {
  Folder& inbox = world_.AddFolder(world_.root(), "Inbox");
  world_.AddFolder(inbox, "Sub");
  world_.AddMessage(inbox, "hello");

  EXPECT_EQ(Run(), S_OK);

  // The IPM subtree, then the contents of Inbox and of Sub.
  EXPECT_EQ(world_.store.folder_open_flags,
            (std::vector<ULONG>{MAPI_DEFERRED_ERRORS,
                                MAPI_MODIFY | MAPI_DEFERRED_ERRORS | MAPI_BEST_ACCESS,
                                MAPI_MODIFY | MAPI_DEFERRED_ERRORS | MAPI_BEST_ACCESS}));
  EXPECT_EQ(world_.store.message_open_flags, std::vector<ULONG>{MAPI_BEST_ACCESS});
  // Inbox for its properties, then as the folder whose subfolders are listed.
  EXPECT_EQ(world_.root().child_open_flags,
            (std::vector<ULONG>{MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS,
                                MAPI_BEST_ACCESS | MAPI_DEFERRED_ERRORS}));
}

TEST_F(ImportSessionTest, UnicodeServiceIsTriedWhenThePersonalFoldersServiceCannotBeCreated) {
  world_.service_admin.failing_services = {"MSPST MS"};
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(world_.service_admin.created_services,
            (std::vector<std::string>{"MSPST MS", "MSUPST MS"}));
  EXPECT_EQ(world_.service_admin.configured, 1);
}

TEST_F(ImportSessionTest, FilePasswordComesFromTheEnvironment) {
  const test_support::ScopedEnvironment password(import_session::kPstPasswordVariable, "s3cret");
  EXPECT_EQ(Run(), S_OK);
  EXPECT_EQ(world_.service_admin.configured_strings[PR_PST_PW_SZ_OLD], "s3cret");
  EXPECT_EQ(world_.logon_password, "");  // the profile's own password stays empty
}

TEST_F(ImportSessionTest, FileTheLibraryRefusesGivesItsReasonAndCode) {
  world_.service_admin.configure_result = MAPI_E_CORRUPT_DATA;
  world_.service_admin.last_error = "the file is password-protected";
  world_.AddFolder(world_.root(), "Inbox");

  EXPECT_EQ(Run(), MAPI_E_CORRUPT_DATA);

  EXPECT_EQ(error_text_, "the file is password-protected");
  EXPECT_EQ(world_.logons, 0);
  EXPECT_TRUE(folder_calls_.empty());
  EXPECT_EQ(world_.prof_admin.deleted, std::vector<std::string>{"PstLoadTmp000"});
  ASSERT_FALSE(events_.events.empty());
  EXPECT_EQ(events_.events.back().text, "Error/Warning/Information. Returned CODE is: 8004011B");
  EXPECT_EQ(events_.events.back().type, os::EventType::kWarning);
  EXPECT_EQ(trace_.lines.back(), "Finished HR= 8004011B");
}

struct LogonFailure {
  HRESULT code;
  const char* text;
};

class LogonFailureTest : public SessionTest, public ::testing::WithParamInterface<LogonFailure> {};

TEST_P(LogonFailureTest, GivesTheTextOfTheCodeOpensNothingAndRemovesTheProfile) {
  world_.logon_result = GetParam().code;
  world_.AddFolder(world_.root(), "Inbox");

  EXPECT_EQ(Run(), GetParam().code);

  EXPECT_EQ(error_text_, GetParam().text);
  EXPECT_TRUE(folder_calls_.empty());
  EXPECT_FALSE(Traced("OpenPST"));
  EXPECT_EQ(world_.prof_admin.deleted, std::vector<std::string>{"PstLoadTmp000"});
  EXPECT_EQ(trace_.lines.back(), "Finished HR= " + import_session::HexCode(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LogonFailureTest,
    ::testing::Values(
        LogonFailure{MAPI_E_LOGON_FAILED,
                     "The logon did not succeed, either because one or more of the parameters to "
                     "Profile were invalid or because there were too many sessions open already."},
        LogonFailure{MAPI_E_USER_CANCEL,
                     "The user canceled the operation, typically by choosing the Cancel button in "
                     "a dialog box."},
        LogonFailure{MAPI_E_UNCONFIGURED,
                     "A service provider has not been configured, and therefore the operation did "
                     "not complete."},
        LogonFailure{MAPI_E_TIMEOUT,
                     "MAPI serializes all logons through a mutex. This is returned if the another "
                     "thread held the mutex."},
        LogonFailure{MAPI_E_NETWORK_ERROR, "The logon did not succeed"}));

TEST_F(ImportSessionTest, RunAfterAFailedLogonCreatesItsProfileAgain) {
  world_.logon_result = MAPI_E_LOGON_FAILED;
  EXPECT_EQ(Run(), MAPI_E_LOGON_FAILED);
  world_.logon_result = S_OK;
  world_.AddMessage(world_.AddFolder(world_.root(), "Inbox"), "second run");

  EXPECT_EQ(Run(), S_OK);

  EXPECT_EQ(world_.prof_admin.created.size(), 2u);
  EXPECT_EQ(world_.prof_admin.deleted.size(), 2u);
  EXPECT_TRUE(error_text_.empty());
  EXPECT_EQ(Subjects(), std::vector<std::string>{"second run"});
}

TEST_F(ImportSessionTest, ProfileLeftByAnotherRunIsUsedAndKept) {
  world_.prof_admin.profiles = {"PstLoadTmp000"};
  EXPECT_EQ(Run(), S_OK);
  EXPECT_TRUE(world_.prof_admin.deleted.empty());
  EXPECT_EQ(world_.logon_profile, "PstLoadTmp000");
  ASSERT_EQ(events_.events.size(), 1u);
  EXPECT_EQ(events_.events[0].text, "Error/Warning/Information. Returned CODE is: 80070005");
}

TEST_F(ImportSessionTest, MissingLibraryFailsNamingTheLibraryAndWhy) {
  registry_.library_path = "/nonexistent/libmapi32.so";
  world_.AddFolder(world_.root(), "Inbox");

  EXPECT_EQ(Run(), E_FAIL);

  const std::string naming = "Cannot load the mail library /nonexistent/libmapi32.so: ";
  EXPECT_EQ(error_text_.rfind(naming, 0), 0u) << error_text_;
  EXPECT_GT(error_text_.size(), naming.size()) << error_text_;
  EXPECT_TRUE(folder_calls_.empty());
  EXPECT_EQ(world_.initialized, 0);
  EXPECT_EQ(trace_.lines.back(), "Finished HR= 80004005");
}

TEST_F(ImportSessionTest, EmptyPathLogsOnInteractivelyWithoutProfile) {
  world_.AddFolder(world_.root(), "Inbox");
  EXPECT_EQ(Run(""), S_OK);
  EXPECT_TRUE(world_.prof_admin.created.empty());
  EXPECT_FALSE(Traced("HrCleanupPSTGlobals(KeyProfileName)"));
  EXPECT_EQ(world_.logon_profile, std::nullopt);
  EXPECT_EQ(world_.logon_flags, 0x00008023u);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Inbox"});
}

TEST_F(ImportSessionTest, StoreTableWithoutDefaultStoreFails) {
  world_.session.store_rows = {{{PR_DEFAULT_STORE, false}, {PR_ENTRYID, world_.store.id}}};
  world_.AddFolder(world_.root(), "Inbox");

  EXPECT_EQ(Run(), E_FAIL);

  EXPECT_FALSE(Traced("Session.OpenMsgStore"));
  EXPECT_TRUE(Traced("MapiFreeBuffer(StoreEID.lpb)"));
  EXPECT_FALSE(Traced("OpenPST() finished"));
  EXPECT_TRUE(folder_calls_.empty());
  EXPECT_TRUE(error_text_.empty());
  ASSERT_FALSE(events_.events.empty());
  EXPECT_EQ(events_.events.back().id, static_cast<std::uint32_t>(E_FAIL));
}

TEST_F(ImportSessionTest, EmptyStoreTableFailsWithNoDefaultStore) {
  world_.session.store_rows.clear();
  EXPECT_EQ(Run(), import_session::kNoDefaultStore);
}

TEST_F(ImportSessionTest, StoreThatCannotBeOpenedEndsTheSession) {
  world_.session.open_store_result = MAPI_E_CORRUPT_STORE;
  world_.AddFolder(world_.root(), "Inbox");
  EXPECT_EQ(Run(), MAPI_E_CORRUPT_STORE);
  EXPECT_TRUE(folder_calls_.empty());
  EXPECT_EQ(trace_.lines.back(), "Finished HR= 80040600");
}

TEST_F(ImportSessionTest, UnknownIpmSubtreeFailsTheSession) {
  world_.validate_result = MAPI_E_CORRUPT_DATA;
  world_.AddFolder(world_.root(), "Inbox");
  EXPECT_EQ(Run(), MAPI_E_NOT_FOUND);
  EXPECT_TRUE(folder_calls_.empty());
}

TEST_F(ImportSessionTest, IpmSubtreeThatCannotBeOpenedFailsTheSession) {
  world_.root().open_from_store_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), MAPI_E_CORRUPT_DATA);
  EXPECT_TRUE(Traced("MDB.OpenEntry(RootEID.cb...) finished"));
  EXPECT_FALSE(Traced("EnumFolders()"));
}

TEST_F(ImportSessionTest, IpmSubtreeWhoseFoldersCannotBeListedFailsTheSession) {
  world_.AddFolder(world_.root(), "Inbox");
  world_.root().hierarchy_result = MAPI_E_CORRUPT_DATA;
  EXPECT_EQ(Run(), MAPI_E_CORRUPT_DATA);
  EXPECT_TRUE(folder_calls_.empty());
}

TEST_F(ImportSessionTest, ErrorOfTheFolderCallbackPassesThroughWithEverythingReleased) {
  Folder& inbox = world_.AddFolder(world_.root(), "Inbox");
  world_.AddMessage(world_.AddFolder(inbox, "Deep"), "never read");
  folder_policy_ = [](const FolderCall& call, std::int32_t& folder_id, bool& include) {
    if (call.name == "Deep") throw std::runtime_error("console gone");
    folder_id = 5;
    include = true;
  };

  EXPECT_THROW(Run(), std::runtime_error);

  EXPECT_FALSE(Traced("Finished HR= 00000000"));
  EXPECT_EQ(world_.prof_admin.deleted, std::vector<std::string>{"PstLoadTmp000"});
  // TearDown checks that every object and block came back.
}

TEST_F(ImportSessionTest, StatisticsAreOptionalAndClearedAtTheStart) {
  world_.AddMessage(world_.root(), "lying at the top");
  statistics_.unopened_folders.push_back({"stale", "from before"});
  EXPECT_EQ(Run(), S_OK);
  EXPECT_TRUE(statistics_.unopened_folders.empty());
  EXPECT_EQ(statistics_.messages_in_top_folder, 1);

  std::string error_text = "stale";
  EXPECT_EQ(
      import_session::RunImportSession("/data/mail.pst", {}, {}, 0, error_text, nullptr, composer_),
      S_OK);
  EXPECT_TRUE(error_text.empty());
}

}  // namespace
}  // namespace session_test
