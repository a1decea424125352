// The import interface's entry: the import session with the program's message composer.
#include "libs/mapi/import_pst.h"

#include "compose/compose_message.h"
#include "libs/mapi/import_session.h"

namespace mapi {
namespace {

// One message into one empty part tree, whose text is kept only when composition succeeded.
HRESULT ComposeWithPartTree(IMessage& message, std::string& text) {
  compose::TMIMEConstructor root;
  const HRESULT hr = compose::ComposeMessage(&message, root);
  if (SUCCEEDED(hr)) text = root.GetText();
  return hr;
}

}  // namespace

ImportResult ImportPst(const std::string& pst_path, const ProgressCallback& /*progress*/,
                       const FolderCallback& on_folder, const MessageCallback& on_message,
                       std::int32_t user_data, std::string& error_text,
                       ImportStatistics* statistics) {
  static const MessageComposer composer = ComposeWithPartTree;
  return RunImportSession(pst_path, on_folder, on_message, user_data, error_text, statistics,
                          composer);
}

}  // namespace mapi
