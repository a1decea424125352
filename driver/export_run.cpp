// The export run and its clean-up order: index file, folder list, data file.
#include "driver/export_run.h"

#include <memory>
#include <optional>
#include <thread>

#include "driver/archive_writer.h"
#include "driver/export_error.h"
#include "driver/folder_list.h"
#include "driver/import_result_text.h"
#include "platform/os/stop_signals.h"
#include "support/charset/charset_registry.h"

namespace driver {
namespace {

// The archive and the folder ids of a run, released in their fixed order.
struct RunState {
  std::unique_ptr<ArchiveWriter> archive;
  std::unique_ptr<FolderIds> folders;

  // Closes the index file, releases the folder list and closes the data file, in this order, each
  // step also when an earlier one failed. When unwinding from another error, a failure to close is
  // not reported over it.
  void CleanUp(bool report_failures) {
    std::optional<ExportError> failure;
    try {
      archive->CloseIndex();
    } catch (const ExportError& error) {
      failure = error;
    }
    folders.reset();
    try {
      archive->CloseData();
    } catch (const ExportError& error) {
      if (!failure) failure = error;
    }
    if (failure && report_failures) throw *failure;
  }
};

std::unique_ptr<ArchiveWriter> CreateArchive(const ExportPaths& paths, Console& console) {
  std::unique_ptr<OutputFile> data = CreateOutputFile(paths.data);
  console.Line("Writing message data to " + paths.data);
  console.Line("Writing index data to " + paths.index);
  std::unique_ptr<OutputFile> index = CreateOutputFile(paths.index);
  // With a second processor the files are written while the messages are composed.
  const ArchiveFiles::Mode mode = std::thread::hardware_concurrency() > 1
                                      ? ArchiveFiles::Mode::kOwnThread
                                      : ArchiveFiles::Mode::kCallersThread;
  auto archive = std::make_unique<ArchiveWriter>(std::move(data), std::move(index), mode);
  archive->Start();
  return archive;
}

import_session::ImportResult Import(const ExportPaths& paths, const ImportFunction& import,
                                    RunState& run, std::string& error_text,
                                    import_session::ImportStatistics& statistics) {
  ArchiveWriter& archive = *run.archive;
  FolderIds& folders = *run.folders;
  import_session::FolderCallback on_folder =
      [&folders](std::int32_t user_data, std::string_view name, std::uint8_t type,
                 std::int32_t count, std::int32_t& folder_id, bool& include) {
        if (os::StopRequested()) folders.Decline();
        folders.AssignFolderId(user_data, name, type, count, folder_id, include);
      };
  import_session::MessageCallback on_message =
      [&archive, &folders](std::int32_t user_data, std::int32_t reserved, std::int32_t folder_id,
                           import_session::MessageText& text, double time, bool& stop) {
        // A stop request is honoured between two whole records: no message is begun after it.
        const bool stopping = os::StopRequested();
        if (!stopping) archive.AppendMessage(user_data, reserved, folder_id, text, time, stop);
        if (archive.failed()) folders.Decline();
        if (stopping || os::StopRequested()) {
          folders.Decline();
          stop = true;
        }
      };
  return import(paths.pst, import_session::ProgressCallback{}, on_folder, on_message, 0, error_text,
                &statistics);
}

// Steps after the session has returned: count line, folder list. A run asked to stop ends here,
// with the archive holding the whole records stored so far.
void Finish(const ExportPaths& paths, RunState& run, Console& console) {
  run.archive->Flush();
  if (run.archive->failed()) throw FileError(run.archive->Failure());
  if (os::StopRequested()) throw ExportError("Cannot finish", "interrupted");
  run.folders->Finish();
  console.Line("...done");
  if (paths.folder_list) {
    console.Line("Writing folder list to " + *paths.folder_list);
    run.folders->Save(*paths.folder_list);
  }
}

// Text read as ISO-8859-1 because the code page library is missing is a loss like a skipped
// message: said once, and the run ends with 3.
std::string CharsetReport() {
  std::string notice = charset::TPlCharsetRegistry::Instance().MissingLibraryNotice();
  return notice.empty() ? notice : notice + "\r\n";
}

std::string Count(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int RunExport(const ExportPaths& paths, const ImportFunction& import, Console& console,
              std::FILE* errors) {
  console.Line("Reading " + paths.pst);
  RunState run;
  run.archive = CreateArchive(paths, console);
  run.folders = std::make_unique<FolderIds>(console);

  std::string error_text;
  import_session::ImportStatistics statistics;
  import_session::ImportResult result;
  try {
    result = Import(paths, import, run, error_text, statistics);
    Finish(paths, run, console);
  } catch (...) {
    run.CleanUp(false);
    throw;
  }
  run.CleanUp(true);

  if (!import_session::ImportSucceeded(result)) {
    throw ExportError("Import error",
                      "Cannot export \"" + paths.pst + "\": " +
                          (error_text.empty() ? DescribeImportResult(result) : error_text));
  }
  console.Line("Completed import");
  std::string report = NotExportedReport(statistics) + DamageReport(statistics) + CharsetReport();
  if (report.empty()) return kExitExported;
  std::fwrite(report.data(), 1, report.size(), errors);
  std::fflush(errors);
  return kExitPartlyExported;
}

std::string NotExportedReport(const import_session::ImportStatistics& statistics) {
  if (statistics.skipped_messages.empty() && statistics.unopened_folders.empty() &&
      statistics.messages_in_top_folder == 0) {
    return {};
  }
  std::int64_t messages = statistics.messages_in_top_folder;
  for (const import_session::SkippedMessages& skipped : statistics.skipped_messages)
    messages += skipped.count;
  std::string report =
      "Not exported: " + Count(messages, "message", "messages") + " and " +
      Count(static_cast<std::int64_t>(statistics.unopened_folders.size()), "folder", "folders") +
      "\r\n";
  for (const import_session::SkippedMessages& skipped : statistics.skipped_messages)
    report += "  \"" + OneLineText(skipped.folder) +
              "\": " + Count(skipped.count, "message", "messages") + " skipped: " + skipped.reason +
              "\r\n";
  for (const import_session::UnopenedFolder& folder : statistics.unopened_folders)
    report += "  \"" + OneLineText(folder.folder) +
              "\": the folder could not be opened: " + folder.reason + "\r\n";
  if (statistics.messages_in_top_folder > 0)
    report += "  top of the folder tree: " +
              Count(statistics.messages_in_top_folder, "message", "messages") +
              " lying directly in the top folder, which is never exported\r\n";
  return report;
}

std::string DamageReport(const import_session::ImportStatistics& statistics) {
  std::int64_t messages = 0;
  for (const import_session::DamagedMessages& damaged : statistics.damaged_messages)
    messages += damaged.count;
  std::string report;
  if (messages > 0)
    report += "Exported with damage: " + Count(messages, "message", "messages") + "\r\n";
  for (const import_session::DamagedMessages& damaged : statistics.damaged_messages) {
    const std::string folder = "  \"" + OneLineText(damaged.folder) + "\": ";
    for (const import_session::DamagedMessage& message : damaged.listed)
      report +=
          folder + "message \"" + OneLineText(message.subject) + "\": " + message.problems + "\r\n";
    const auto unlisted = damaged.count - static_cast<std::int64_t>(damaged.listed.size());
    if (unlisted > 0)
      report += folder + "and " + Count(unlisted, "more damaged message", "more damaged messages") +
                "\r\n";
  }
  const auto places = static_cast<std::int64_t>(statistics.damaged_structures.size());
  if (places > 0) report += "Damage outside messages: " + Count(places, "place", "places") + "\r\n";
  for (const import_session::DamagedStructure& structure : statistics.damaged_structures) {
    report += structure.folder.empty()
                  ? "  the file, outside any folder: " + structure.problems + "\r\n"
                  : "  \"" + OneLineText(structure.folder) +
                        "\", outside its messages: " + structure.problems + "\r\n";
  }
  return report;
}

}  // namespace driver
