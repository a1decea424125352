// One export run: creates the archive files, lets the import session walk the PST with the folder
// and message callbacks, writes the folder list, and closes everything in a fixed order.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "driver/console.h"
#include "driver/output_paths.h"
#include "libs/import_session/import_pst.h"

namespace driver {

// The import session's entry, ImportPst in the shipped program and a scripted double in tests.
using ImportFunction = std::function<import_session::ImportResult(
    const std::string& pst_path, const import_session::ProgressCallback& progress,
    const import_session::FolderCallback& on_folder,
    const import_session::MessageCallback& on_message, std::int32_t user_data,
    std::string& error_text, import_session::ImportStatistics* statistics)>;

// Returns kExitExported, or kExitPartlyExported after listing on `errors` what the session could
// not export. Throws ExportError when the run fails: a file cannot be created or written, or the
// session's result is a failure. "Completed import" is written only when the run did not fail.
int RunExport(const ExportPaths& paths, const ImportFunction& import, Console& console,
              std::FILE* errors);

// The lines for what was not exported: a total, then one line per folder. Empty when nothing.
std::string NotExportedReport(const import_session::ImportStatistics& statistics);

// The lines for what was exported although damaged: a total, then each damaged message with its
// folder, subject and what was wrong, and damage met outside any message. Empty when nothing.
std::string DamageReport(const import_session::ImportStatistics& statistics);

}  // namespace driver
