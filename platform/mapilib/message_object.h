// IMessage and IAttach over a message of the file (or an embedded one) and its attachments:
// properties, recipient and attachment tables, attachments by number, attachment data as a stream
// and an embedded message as an IMessage.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/mapilib/derived_bodies.h"
#include "platform/mapilib/prop_object.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

using StoreRef = std::shared_ptr<const pst::messaging::MessageStore>;

class MessageObject final : public PropObject<IMessage> {
 public:
  // findings_from: the file's integrity-log position before the message was read; what is found
  // from there on, on the thread reading the message, is this message's (see TakeFindings). A
  // message and the objects opened from it are read on one thread.
  MessageObject(StoreRef store, pst::messaging::Message message, bool embedded,
                std::uint64_t findings_from)
      : store_(std::move(store)),
        message_(std::make_shared<const pst::messaging::Message>(std::move(message))),
        embedded_(embedded),
        findings_from_(findings_from) {}

  HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG flags, LPMAPITABLE* table) noexcept override;
  HRESULT STDMETHODCALLTYPE OpenAttach(ULONG number, LPCIID iid, ULONG flags,
                                       LPATTACH* attach) noexcept override;
  HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID, ULONG, ULONG*, LPATTACH*) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG, ULONG_PTR, LPMAPIPROGRESS,
                                         ULONG) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG flags, LPMAPITABLE* table) noexcept override;
  HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG, LPADRLIST) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) noexcept override { return MAPI_E_NO_ACCESS; }
  HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG) noexcept override { return S_OK; }

 private:
  bool Supports(REFIID iid) const override { return OneOf(iid, {&IID_IMessage, &IID_IMAPIProp}); }
  ObjectView View() const override {
    return {embedded_ ? ObjectKind::kEmbeddedMessage : ObjectKind::kMessage,
            &message_->properties(),
            store_.get(),
            message_->id(),
            0,
            &derived_};
  }
  const StoreRef& Store() const override { return store_; }
  HRESULT OpenSpecialProperty(ULONG tag, LPCIID iid, LPUNKNOWN* out) override {
    return OpenDerivedBody(View(), store_, tag, iid, out);
  }
  std::optional<pst::ndb::IntegrityFindings> TakeFindings() override {
    return store_->database().log().TakeOwnSince(findings_from_, findings_holder_);
  }
  bool SetFindingsAside() override {
    pst::ndb::IntegrityLog& log = store_->database().log();
    if (findings_holder_ == 0) findings_holder_ = log.NewHolder();
    log.SetAside(findings_from_, findings_holder_);
    return true;
  }

  StoreRef store_;
  std::shared_ptr<const pst::messaging::Message> message_;
  bool embedded_;
  std::uint64_t findings_from_;
  std::uint64_t findings_holder_ = 0;  // what its findings were set aside under; 0 before
  mutable DerivedBodyCache derived_;
  // The attachments' node ids in table order: read by the first OpenAttach that succeeds in
  // reading them, then kept, so that opening every attachment reads the table once.
  std::optional<std::vector<pst::ndb::NodeId>> attachment_ids_;
};

class AttachObject final : public PropObject<IAttach> {
 public:
  AttachObject(StoreRef store, std::shared_ptr<const pst::messaging::Message> owner,
               pst::messaging::Attachment attachment, ULONG number)
      : store_(std::move(store)),
        owner_(std::move(owner)),
        attachment_(std::move(attachment)),
        number_(number) {}

 private:
  bool Supports(REFIID iid) const override {
    return OneOf(iid, {&IID_IAttachment, &IID_IMAPIProp});
  }
  ObjectView View() const override {
    return {ObjectKind::kAttachment, &attachment_.properties(), store_.get(), attachment_.id(),
            number_};
  }
  const StoreRef& Store() const override { return store_; }
  HRESULT OpenSpecialProperty(ULONG tag, LPCIID iid, LPUNKNOWN* out) override;

  StoreRef store_;
  std::shared_ptr<const pst::messaging::Message> owner_;  // the attachment's nodes are its subnodes
  pst::messaging::Attachment attachment_;
  ULONG number_;
};

}  // namespace mapilib
