// Rows of the file's tables with computed columns and values read from the rows' objects.
#include "platform/mapilib/stored_rows.h"

#include "platform/mapilib/integrity_findings.h"
#include "platform/mapilib/object_properties.h"
#include "platform/mapilib/value_conversion.h"

namespace mapilib {

// The row's object, opened on the first column that needs it.
struct StoredRows::RowObject {
  bool tried = false;
  SCODE failure = S_OK;
  std::optional<pst::messaging::Folder> folder;
  std::optional<pst::messaging::Message> message;
  std::uint64_t log_position = 0;  // the integrity log's, before the object was opened
  std::optional<pst::messaging::Attachment> attachment;
  const pst::ltp::PropertyContext* properties = nullptr;
};

namespace {

std::vector<std::byte> RowIdBytes(std::uint32_t id) {
  std::vector<std::byte> bytes(4);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::byte>(id >> (8 * i));
  return bytes;
}

}  // namespace

std::vector<ULONG> StoredRows::DefaultColumns() const {
  std::vector<ULONG> tags;
  if (table_) {
    for (const auto& column : table_->columns()) tags.push_back(column.tag.value());
  }
  return tags;
}

HRESULT StoredRows::FillRow(std::size_t index, std::span<const ULONG> tags, void* parent,
                            SPropValue* out) {
  auto row = table_->ReadRow(index);
  if (!row) NoteLoss(*store_, "row " + std::to_string(index) + " of a table", row.status());
  RowObject object;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    SCODE sc =
        row ? FillCell(*row, index, tags[i], object, parent, out[i]) : StatusToScode(row.status());
    if (sc != S_OK) SetErrorValue(tags[i], sc, out[i]);
  }
  // The session opens the row's message next; it need not be read again.
  if (object.message) store_->KeepForReuse(std::move(*object.message), object.log_position);
  return S_OK;
}

SCODE StoredRows::FillCell(const pst::ltp::TableRow& row, std::size_t index, ULONG tag,
                           RowObject& object, void* parent, SPropValue& out) const {
  out.dwAlignPad = 0;
  const bool listed = kind_ == RowKind::kFolders || kind_ == RowKind::kMessages;
  switch (tag) {
    case PR_ENTRYID:
      if (listed) return SetBinaryValue(tag, EntryIdBytes(*store_, row.row_id()), parent, out);
      break;
    case PR_INSTANCE_KEY:
      return SetBinaryValue(tag, RowIdBytes(row.row_id()), parent, out);
    case PR_ROWID:
      out.ulPropTag = tag;
      out.Value.ul = static_cast<ULONG>(index);
      return S_OK;
    case PR_ATTACH_NUM:
      if (kind_ == RowKind::kAttachments) {
        out.ulPropTag = tag;
        out.Value.ul = static_cast<ULONG>(index);
        return S_OK;
      }
      break;
    case PR_HASATTACH:
      if (kind_ == RowKind::kMessages) {
        auto flags = table_->CellById(row, static_cast<std::uint16_t>(PROP_ID(PR_MESSAGE_FLAGS)));
        if (flags) {
          auto value = flags->AsInt32();
          if (value) {
            out.ulPropTag = tag;
            out.Value.b = (static_cast<ULONG>(*value) & MSGFLAG_HASATTACH) ? 1 : 0;
            return S_OK;
          }
        }
        return FromObject(row, index, tag, object, parent, out);
      }
      break;
    default:
      break;
  }
  auto cell = table_->CellById(row, static_cast<std::uint16_t>(PROP_ID(tag)));
  if (!cell) {
    NoteLoss(
        *store_, [index] { return "a value in row " + std::to_string(index) + " of a table"; },
        cell.status());
  }
  if (cell) {
    SCODE sc;
    if (IsSubjectTag(tag) && (cell->type() == pst::ltp::prop_type::kString8 ||
                              cell->type() == pst::ltp::prop_type::kUnicode)) {
      auto text = cell->AsUtf8();
      const ULONG type = PROP_TYPE(tag) == PT_UNSPECIFIED ? ULONG{PT_STRING8} : PROP_TYPE(tag);
      sc = text ? SetTextValue(PROP_TAG(type, PROP_ID(tag)), WithoutSubjectPrefix(*text), parent,
                               out)
                : StatusToScode(text.status());
    } else {
      sc = ConvertStoredValue(*cell, tag, parent, out);
    }
    if (sc == S_OK) return sc;
  }
  return FromObject(row, index, tag, object, parent, out);
}

SCODE StoredRows::FromObject(const pst::ltp::TableRow& row, std::size_t index, ULONG tag,
                             RowObject& object, void* parent, SPropValue& out) const {
  if (kind_ == RowKind::kRecipients) return MAPI_E_NOT_FOUND;
  if (!object.tried) {
    object.tried = true;
    object.log_position = store_->database().log().position();
    pst::Status status;
    if (kind_ == RowKind::kFolders) {
      auto folder = store_->OpenFolder(row.row_id());
      if (folder) {
        object.folder.emplace(std::move(*folder));
        object.properties = &object.folder->properties();
      }
      status = folder.status();
    } else if (kind_ == RowKind::kMessages) {
      auto message = store_->OpenMessage(row.row_id());
      if (message) {
        object.message.emplace(std::move(*message));
        object.properties = &object.message->properties();
      }
      status = message.status();
    } else if (owner_) {
      auto attachment = owner_->OpenAttachment(row.row_id());
      if (attachment) {
        object.attachment.emplace(std::move(*attachment));
        object.properties = &object.attachment->properties();
      }
      status = attachment.status();
    }
    object.failure = object.properties ? S_OK : StatusToScode(status);
    if (!object.properties) {
      NoteLoss(*store_, "the object of row " + std::to_string(index) + " of a table", status);
    }
    if (object.failure == S_OK && !object.properties) object.failure = MAPI_E_NOT_FOUND;
  }
  if (!object.properties) return object.failure;
  const ObjectKind kind = kind_ == RowKind::kFolders    ? ObjectKind::kFolder
                          : kind_ == RowKind::kMessages ? ObjectKind::kMessage
                                                        : ObjectKind::kAttachment;
  ObjectView view{kind, object.properties, store_.get(), row.row_id(), static_cast<ULONG>(index)};
  return ReadObjectProperty(view, tag, parent, out);
}

}  // namespace mapilib
