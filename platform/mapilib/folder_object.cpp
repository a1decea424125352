// Folders of the file as interface objects, and opening objects by entry id.
#include "platform/mapilib/folder_object.h"

#include "platform/mapilib/integrity_findings.h"
#include "platform/mapilib/stored_rows.h"
#include "platform/mapilib/value_conversion.h"
#include "platform/pst/messaging/node_ids.h"

namespace mapilib {
namespace {

constexpr ULONG kAssociatedContents = 0x00000040;  // MAPI_ASSOCIATED

bool IsFolderNode(pst::ndb::NodeId node) {
  const auto type = static_cast<pst::messaging::NodeType>(node & pst::messaging::kNodeTypeMask);
  return type == pst::messaging::NodeType::kNormalFolder ||
         type == pst::messaging::NodeType::kSearchFolder;
}

HRESULT TableOf(const StoreRef& store, pst::Result<pst::ltp::TableContext> table, RowKind kind,
                LPMAPITABLE* out) {
  if (!out) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  std::optional<pst::ltp::TableContext> rows;
  if (table) {
    rows.emplace(std::move(*table));
  } else if (table.status().code() != pst::ErrorCode::kNotFound) {
    NoteLoss(
        *store,
        kind == RowKind::kFolders ? "the folder's subfolder list" : "the folder's message list",
        table.status());
    return StatusToScode(table.status());
  }
  auto source = std::make_unique<StoredRows>(store, std::move(rows), kind);
  return HandOut(new (std::nothrow) TableObject(std::move(source)), out);
}

}  // namespace

HRESULT OpenStoreEntry(const StoreRef& store, ULONG size, LPENTRYID id, LPCIID iid,
                       ULONG* object_type, LPUNKNOWN* out, std::string* reason) {
  if (!out) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  pst::ndb::NodeId node = pst::ndb::kNidRootFolder;
  if (size != 0) {
    if (!id) return MAPI_E_INVALID_PARAMETER;
    auto resolved = store->ResolveEntryId(
        std::span<const std::byte>(reinterpret_cast<const std::byte*>(id), size));
    if (!resolved)
      return size == pst::messaging::EntryId::kSize ? MAPI_E_NOT_FOUND : MAPI_E_INVALID_ENTRYID;
    node = *resolved;
  }
  if (IsFolderNode(node)) {
    if (iid && !(*iid == IID_IMAPIFolder) && !(*iid == IID_IMAPIContainer) &&
        !(*iid == IID_IMAPIProp) && !(*iid == IID_IUnknown)) {
      return MAPI_E_INTERFACE_NOT_SUPPORTED;
    }
    auto folder = store->OpenFolder(node);
    if (!folder) {
      if (reason) *reason = folder.status().message();
      return StatusToScode(folder.status());
    }
    if (object_type) *object_type = MAPI_FOLDER;
    return HandOut(new (std::nothrow) FolderObject(store, std::move(*folder)), out);
  }
  if (iid && !(*iid == IID_IMessage) && !(*iid == IID_IMAPIProp) && !(*iid == IID_IUnknown)) {
    return MAPI_E_INTERFACE_NOT_SUPPORTED;
  }
  const std::uint64_t findings_from = store->database().log().position();
  auto message = store->OpenMessage(node);
  if (!message) {
    // No message takes what this open met; it is the store's.
    store->database().log().Disown(findings_from);
    if (reason) *reason = message.status().message();
    return StatusToScode(message.status());
  }
  if (object_type) *object_type = MAPI_MESSAGE;
  return HandOut(new (std::nothrow) MessageObject(store, std::move(*message), false, findings_from),
                 out);
}

HRESULT FolderObject::GetContentsTable(ULONG flags, LPMAPITABLE* table) noexcept {
  return Guarded("FolderObject::GetContentsTable", [&]() -> HRESULT {
    if (flags & kAssociatedContents) {
      return TableOf(store_, folder_.OpenAssociatedContentsTable(), RowKind::kMessages, table);
    }
    return TableOf(store_, folder_.OpenContentsTable(), RowKind::kMessages, table);
  });
}

HRESULT FolderObject::GetHierarchyTable(ULONG, LPMAPITABLE* table) noexcept {
  return Guarded("FolderObject::GetHierarchyTable", [&]() -> HRESULT {
    return TableOf(store_, folder_.OpenHierarchyTable(), RowKind::kFolders, table);
  });
}

HRESULT FolderObject::OpenEntry(ULONG size, LPENTRYID id, LPCIID iid, ULONG, ULONG* object_type,
                                LPUNKNOWN* out) noexcept {
  return Guarded("FolderObject::OpenEntry", [&]() -> HRESULT {
    return OpenStoreEntry(store_, size, id, iid, object_type, out, &last_error_);
  });
}

}  // namespace mapilib
