// The import interface's entry: the import session with the program's message composer.
#include "libs/import_session/import_pst.h"

#include "compose/compose_message.h"
#include "libs/import_session/import_session.h"

namespace import_session {
namespace {

// A composed part tree as the message callback's text.
class PartTreeText final : public MessageText {
 public:
  explicit PartTreeText(std::unique_ptr<compose::TMIMEConstructor> root)
      : root_(std::move(root)), header_(root_->HeaderText()) {}
  std::string_view Header() const override { return header_; }

 protected:
  std::int32_t Produce(MessageTextSink& sink) override {
    Forward forward(sink);
    return root_->WriteTo(forward);
  }

 private:
  class Forward final : public compose::TextSink {
   public:
    explicit Forward(MessageTextSink& sink) : sink_(sink) {}
    void Write(std::string_view piece) override { sink_.Write(piece); }

   private:
    MessageTextSink& sink_;
  };

  std::unique_ptr<compose::TMIMEConstructor> root_;
  std::string header_;
};

// One message into one empty part tree, whose text is handed out only when composition succeeded.
HRESULT ComposeWithPartTree(IMessage& message, std::unique_ptr<MessageText>& text) {
  auto root = std::make_unique<compose::TMIMEConstructor>();
  const HRESULT hr = compose::ComposeMessage(&message, *root);
  if (SUCCEEDED(hr)) text = std::make_unique<PartTreeText>(std::move(root));
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

}  // namespace import_session
