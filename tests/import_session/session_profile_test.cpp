// The temporary profile's routines on their own: creating and configuring the service, failures
// and their clean-up, the default-store look-up and the event-log reports of failure codes.
#include "libs/import_session/temp_profile.h"
#include "libs/mapi/mapi_binding.h"
#include "tests/import_session/session_fixture.h"

namespace session_test {
namespace {

class TemporaryProfileTest : public SessionTest {
 protected:
  HRESULT Create(bool create_new = false) {
    return import_session::HrCreatePersonalStore(
        "/data/mail.pst", 0x80000000, create_new ? "Name" : nullptr, create_new ? "new" : nullptr,
        create_new, &name_, &password_, &reason_);
  }
  // Releases what a successful Create handed out and deletes the profile.
  void CleanUp() {
    import_session::HrCleanupPSTGlobals(name_);
    mapi::MAPIFreeBuffer(name_);
    mapi::MAPIFreeBuffer(password_);
    name_ = password_ = nullptr;
  }

  LPSTR name_ = nullptr;
  LPSTR password_ = nullptr;
  std::string reason_;
};

TEST_F(TemporaryProfileTest, HandsOutTheProfileNameAndAnEmptyPassword) {
  ASSERT_EQ(Create(), S_OK);
  EXPECT_STREQ(name_, "PstLoadTmp000");
  EXPECT_STREQ(password_, "");
  EXPECT_EQ(world_.prof_admin.profiles.count("PstLoadTmp000"), 1u);
  EXPECT_EQ(import_session::HrCleanupPSTGlobals(name_), S_OK);
  EXPECT_TRUE(world_.prof_admin.profiles.empty());
  mapi::MAPIFreeBuffer(name_);
  mapi::MAPIFreeBuffer(password_);
}

TEST_F(TemporaryProfileTest, NewFileIsConfiguredWithSixValues) {
  ASSERT_EQ(Create(true), S_OK);
  EXPECT_EQ(world_.service_admin.configured_tags,
            (std::vector<ULONG>{PR_DISPLAY_NAME, PR_PST_PATH, PR_PST_REMEMBER_PW, PR_PST_ENCRYPTION,
                                PR_PST_PW_SZ_NEW, PR_PST_PW_SZ_OLD}));
  EXPECT_EQ(world_.service_admin.configured_flags, 0u);
  EXPECT_EQ(world_.service_admin.configured_strings[PR_DISPLAY_NAME], "Name");
  EXPECT_EQ(world_.service_admin.configured_strings[PR_PST_PW_SZ_NEW], "new");
  CleanUp();
}

TEST_F(TemporaryProfileTest, SecondCreationWithoutCleanUpFailsAndIsReported) {
  ASSERT_EQ(Create(), S_OK);
  LPSTR second_name = nullptr;
  LPSTR second_password = nullptr;
  EXPECT_EQ(import_session::HrCreatePersonalStore("/other.pst", 0x80000000, nullptr, nullptr, false,
                                                  &second_name, &second_password),
            E_FAIL);
  EXPECT_EQ(second_name, nullptr);
  ASSERT_EQ(events_.events.size(), 1u);
  EXPECT_EQ(events_.events[0].text, "Error/Warning/Information. Returned CODE is: 80004005");
  CleanUp();
}

TEST_F(TemporaryProfileTest, ProfileWithoutServiceFailsAndIsDeletedAgain) {
  world_.service_admin.service_table_empty = true;
  EXPECT_EQ(Create(), E_FAIL);
  EXPECT_EQ(name_, nullptr);
  EXPECT_EQ(password_, nullptr);
  EXPECT_EQ(world_.prof_admin.deleted, std::vector<std::string>{"PstLoadTmp000"});
  // The administration was released: the next creation works.
  world_.service_admin.service_table_empty = false;
  EXPECT_EQ(Create(), S_OK);
  CleanUp();
}

TEST_F(TemporaryProfileTest, ProfileAdministrationUnavailableFails) {
  world_.admin_profiles_result = MAPI_E_NOT_INITIALIZED;
  EXPECT_EQ(Create(), E_FAIL);
  EXPECT_TRUE(world_.prof_admin.created.empty());
}

TEST_F(TemporaryProfileTest, ProfileThatCannotBeCreatedFails) {
  world_.prof_admin.create_result = MAPI_E_NO_SUPPORT;
  EXPECT_EQ(Create(), E_FAIL);
  EXPECT_TRUE(world_.prof_admin.deleted.empty());
}

TEST_F(TemporaryProfileTest, ConfigurationFailureWithoutReasonLeavesTheReasonEmpty) {
  world_.service_admin.configure_result = MAPI_E_NOT_FOUND;
  EXPECT_EQ(Create(), MAPI_E_NOT_FOUND);
  EXPECT_TRUE(reason_.empty());
}

TEST_F(TemporaryProfileTest, ReportOfZeroRecordsNothing) {
  EXPECT_EQ(import_session::ReportHResult(0), 0);
  EXPECT_TRUE(events_.events.empty());
  EXPECT_EQ(import_session::ReportHResult(static_cast<HRESULT>(0xC0000001)),
            static_cast<HRESULT>(0xC0000001));
  ASSERT_EQ(events_.events.size(), 1u);
  EXPECT_EQ(events_.events[0].type, os::EventType::kError);
  EXPECT_EQ(events_.events[0].text, "Error/Warning/Information. Returned CODE is: C0000001");
}

class DefaultStoreTest : public SessionTest {
 protected:
  HRESULT Find() {
    HRESULT hr = import_session::FindDefaultStore(world_.session, &size_, &bytes_);
    found_ = session_fake::BytesOf(size_, bytes_);
    mapi::MAPIFreeBuffer(bytes_);
    return hr;
  }
  ULONG size_ = 0;
  LPBYTE bytes_ = nullptr;
  session_fake::Bytes found_;
};

TEST_F(DefaultStoreTest, FirstFlaggedRowWithAnEntryIdWins) {
  const session_fake::Bytes other{1, 2, 3};
  world_.session.store_rows = {{{PR_DEFAULT_STORE, false}, {PR_ENTRYID, other}},
                               {{PR_DEFAULT_STORE, true}},
                               {{PR_DEFAULT_STORE, true}, {PR_ENTRYID, world_.store.id}},
                               {{PR_DEFAULT_STORE, true}, {PR_ENTRYID, other}}};
  EXPECT_EQ(Find(), S_OK);
  EXPECT_EQ(found_, world_.store.id);
}

TEST_F(DefaultStoreTest, NoFlaggedRowFails) {
  world_.session.store_rows = {{{PR_ENTRYID, world_.store.id}}};
  EXPECT_EQ(Find(), E_FAIL);
  EXPECT_EQ(size_, 0u);
}

TEST_F(DefaultStoreTest, TableThatCannotBeReadFails) {
  world_.session.store_table_script.failing_from_query = 0;
  EXPECT_EQ(Find(), E_FAIL);
  ASSERT_EQ(events_.events.size(), 1u);
}

}  // namespace
}  // namespace session_test
