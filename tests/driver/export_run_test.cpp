// The export run in process, with import functions written in the test: what the session is handed,
// an error escaping the session, and the wording of the list of what was not exported.
#include "driver/export_run.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "driver/export_error.h"
#include "driver/program.h"
#include "tests/driver/output_capture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/whole_file.h"

namespace driver {
namespace {

using driver_test::OutputCapture;
using test_support::ReadWholeFile;
using test_support::TempDir;

TEST(RunProgram, HandsTheSessionThePathUserDataZeroAndNoProgressCallback) {
  TempDir dir;
  OutputCapture out, errors;
  std::string seen_path;
  bool progress_given = true;
  std::int32_t seen_user_data = -1;
  ImportFunction import =
      [&](const std::string& path, const import_session::ProgressCallback& progress,
          const import_session::FolderCallback& on_folder,
          const import_session::MessageCallback& on_message, std::int32_t user_data,
          std::string& error_text, import_session::ImportStatistics* statistics) {
        seen_path = path;
        progress_given = static_cast<bool>(progress);
        seen_user_data = user_data;
        EXPECT_TRUE(error_text.empty());
        EXPECT_NE(statistics, nullptr);
        std::int32_t id = -1;
        bool include = false, stop = true;
        on_folder(user_data, "Inbox", import_session::kFolderTypeInbox, 1, id, include);
        import_session::StringMessageText text("Subject: hi\r\n\r\n");
        on_message(user_data, 0, id, text, 1.5, stop);
        EXPECT_FALSE(stop);
        return import_session::kImportOk;
      };
  int code =
      RunProgram({"-s", "a.pst", "-d", "out"}, dir.path(), import, out.file(), errors.file());
  EXPECT_EQ(code, kExitExported);
  EXPECT_EQ(seen_path, dir / "a.pst");
  EXPECT_FALSE(progress_given);
  EXPECT_EQ(seen_user_data, 0);
  EXPECT_NE(ReadWholeFile(dir / "out.idx").find("||hi|||\r\n268435456\r\n"), std::string::npos);
}

TEST(RunProgram, AnErrorEscapingTheSessionEndsTheRunAfterClosingTheArchive) {
  TempDir dir;
  OutputCapture out, errors;
  ImportFunction import = [](const std::string&, const import_session::ProgressCallback&,
                             const import_session::FolderCallback&,
                             const import_session::MessageCallback& on_message, std::int32_t,
                             std::string&,
                             import_session::ImportStatistics*) -> import_session::ImportResult {
    bool stop = false;
    import_session::StringMessageText text("Subject: first\r\n\r\n");
    on_message(0, 0, 0, text, 0, stop);
    throw std::runtime_error("the session broke down");
  };
  int code =
      RunProgram({"-s", "a.pst", "-d", "out"}, dir.path(), import, out.file(), errors.file());
  EXPECT_EQ(code, kExitRunFailed);
  EXPECT_EQ(errors.text(), "Error: the session broke down\r\n");
  EXPECT_EQ(out.text().find("...done"), std::string::npos);
  EXPECT_EQ(out.text().find("Completed import"), std::string::npos);
  EXPECT_NE(ReadWholeFile(dir / "out.idx").find("||first|||"), std::string::npos);
}

TEST(NotExportedReport, IsEmptyWhenEverythingWasExported) { EXPECT_EQ(NotExportedReport({}), ""); }

TEST(NotExportedReport, CountsInTheSingularAndPlural) {
  import_session::ImportStatistics statistics;
  statistics.skipped_messages.push_back({"Inbox", 1, "damaged"});
  EXPECT_EQ(NotExportedReport(statistics),
            "Not exported: 1 message and 0 folders\r\n  \"Inbox\": 1 message skipped: damaged\r\n");
  statistics.unopened_folders.push_back({"A/B", "no access"});
  statistics.unopened_folders.push_back({"C", "damaged"});
  EXPECT_EQ(NotExportedReport(statistics).substr(0, 39),
            "Not exported: 1 message and 2 folders\r\n");
}

TEST(DamageReport, NamesEachDamagedMessageAndDamageOutsideMessages) {
  import_session::ImportStatistics statistics;
  EXPECT_EQ(DamageReport(statistics), "");
  statistics.damaged_messages.push_back(
      {"Inbox/Old", 3, {{"Hello", "block 0x20: checksum mismatch"}, {"Bye\r\nthere", "lost"}}});
  statistics.damaged_structures.push_back({"", "file truncated"});
  statistics.damaged_structures.push_back({"Inbox", "node B-tree page 0x10: checksum mismatch"});
  EXPECT_EQ(DamageReport(statistics),
            "Exported with damage: 3 messages\r\n"
            "  \"Inbox/Old\": message \"Hello\": block 0x20: checksum mismatch\r\n"
            "  \"Inbox/Old\": message \"Bye  there\": lost\r\n"
            "  \"Inbox/Old\": and 1 more damaged message\r\n"
            "Damage outside messages: 2 places\r\n"
            "  the file, outside any folder: file truncated\r\n"
            "  \"Inbox\", outside its messages: node B-tree page 0x10: checksum mismatch\r\n");
  // Damage alone is no "Not exported" line.
  EXPECT_EQ(NotExportedReport(statistics), "");
}

TEST(NotExportedReport, MessagesInTheTopFolderAloneAreReported) {
  import_session::ImportStatistics statistics;
  statistics.messages_in_top_folder = 1;
  EXPECT_EQ(NotExportedReport(statistics),
            "Not exported: 1 message and 0 folders\r\n  top of the folder tree: 1 message lying "
            "directly in the top folder, which is never exported\r\n");
}

}  // namespace
}  // namespace driver
