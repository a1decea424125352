// ImportPst for a build that does not contain the import session yet: it exports nothing and fails,
// saying why, so that the program ends with exit code 1 instead of pretending to have exported.
#include "libs/mapi/import_pst.h"

namespace mapi {

ImportResult ImportPst(const std::string& /*pst_path*/, const ProgressCallback& /*progress*/,
                       const FolderCallback& /*on_folder*/, const MessageCallback& /*on_message*/,
                       std::int32_t /*user_data*/, std::string& error_text,
                       ImportStatistics* statistics) {
  if (statistics) *statistics = {};
  error_text = "the import session is not built yet";
  return kImportFailed;
}

}  // namespace mapi
