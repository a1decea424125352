// Messages and attachments of the file as interface objects.
#include "platform/mapilib/message_object.h"

#include "platform/mapilib/stored_rows.h"
#include "platform/mapilib/value_conversion.h"
#include "platform/mapilib/value_istream.h"

namespace mapilib {
namespace {

HRESULT TableFrom(StoreRef store, pst::Result<std::optional<pst::ltp::TableContext>> table,
                  RowKind kind, std::shared_ptr<const pst::messaging::Message> owner,
                  LPMAPITABLE* out) {
  if (!out) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  if (!table) {
    NoteLoss(*store, kind == RowKind::kAttachments ? "the attachment table" : "the recipient table",
             table.status());
    return StatusToScode(table.status());
  }
  auto rows =
      std::make_unique<StoredRows>(std::move(store), std::move(*table), kind, std::move(owner));
  return HandOut(new (std::nothrow) TableObject(std::move(rows)), out);
}

}  // namespace

HRESULT MessageObject::GetAttachmentTable(ULONG, LPMAPITABLE* table) noexcept {
  return Guarded("MessageObject::GetAttachmentTable", [&]() -> HRESULT {
    return TableFrom(store_, message_->OpenAttachmentTable(), RowKind::kAttachments, message_,
                     table);
  });
}

HRESULT MessageObject::GetRecipientTable(ULONG, LPMAPITABLE* table) noexcept {
  return Guarded("MessageObject::GetRecipientTable", [&]() -> HRESULT {
    return TableFrom(store_, message_->OpenRecipientTable(), RowKind::kRecipients, nullptr, table);
  });
}

HRESULT MessageObject::OpenAttach(ULONG number, LPCIID iid, ULONG flags,
                                  LPATTACH* attach) noexcept {
  return Guarded("MessageObject::OpenAttach", [&]() -> HRESULT {
    if (!attach) return MAPI_E_INVALID_PARAMETER;
    *attach = nullptr;
    if (iid && !(*iid == IID_IAttachment) && !(*iid == IID_IMAPIProp)) {
      return MAPI_E_INTERFACE_NOT_SUPPORTED;
    }
    if (flags & MAPI_CREATE) return MAPI_E_NO_ACCESS;
    if (!attachment_ids_) {
      auto ids = message_->AttachmentIds();
      if (!ids) {
        NoteLoss(*store_, "the attachment table", ids.status());
        return StatusToScode(ids.status());
      }
      attachment_ids_ = std::move(*ids);
    }
    if (number >= attachment_ids_->size()) return MAPI_E_NOT_FOUND;
    auto attachment = message_->OpenAttachment((*attachment_ids_)[number]);
    if (!attachment) {
      last_error_ = "attachment " + std::to_string(number) + ": " + attachment.status().message();
      NoteLoss(*store_, "attachment " + std::to_string(number), attachment.status());
      return StatusToScode(attachment.status());
    }
    return HandOut(
        new (std::nothrow) AttachObject(store_, message_, std::move(*attachment), number), attach);
  });
}

HRESULT AttachObject::OpenSpecialProperty(ULONG tag, LPCIID iid, LPUNKNOWN* out) {
  if (PROP_ID(tag) != PROP_ID(PR_ATTACH_DATA_BIN)) return MAPI_E_NO_SUPPORT;
  if (iid && *iid == IID_IMessage) {
    const std::uint64_t findings_from = store_->database().log().position();
    auto embedded = attachment_.OpenEmbeddedMessage();
    if (!embedded) {
      last_error_ = embedded.status().message();
      NoteLoss(*store_, "the embedded message of attachment " + std::to_string(number_),
               embedded.status());
      return StatusToScode(embedded.status());
    }
    return HandOut(
        new (std::nothrow) MessageObject(store_, std::move(*embedded), true, findings_from), out);
  }
  if (iid && !(*iid == IID_IStream) && !(*iid == IID_ISequentialStream)) {
    return MAPI_E_INTERFACE_NOT_SUPPORTED;
  }
  auto data = attachment_.OpenData();
  if (!data) {
    NoteLoss(*store_, "the data of attachment " + std::to_string(number_), data.status());
    return StatusToScode(data.status());
  }
  auto shared = std::make_shared<pst::ltp::ValueStream>(std::move(*data));
  return HandOut(new (std::nothrow) ValueIStream(std::move(shared), store_), out);
}

}  // namespace mapilib
