// Rows of a table kept in the file (a folder's hierarchy or contents table, a message's attachment
// or recipient table) as the interface shows them: stored cells converted, PR_ENTRYID and
// PR_INSTANCE_KEY from the row's node id, PR_ATTACH_NUM and PR_ROWID from the row's position,
// PR_HASATTACH from PR_MESSAGE_FLAGS, and every other column the table lacks read from the row's
// own object. A row whose object is damaged gives PT_ERROR values; the other rows are unaffected.
#pragma once

#include <memory>
#include <optional>

#include "platform/mapilib/table_object.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

enum class RowKind { kFolders, kMessages, kAttachments, kRecipients };

class StoredRows final : public RowSource {
 public:
  // `table` nullopt: an empty table. `owner`: the message whose attachments the rows are.
  StoredRows(std::shared_ptr<const pst::messaging::MessageStore> store,
             std::optional<pst::ltp::TableContext> table, RowKind kind,
             std::shared_ptr<const pst::messaging::Message> owner = nullptr)
      : store_(std::move(store)), table_(std::move(table)), kind_(kind), owner_(std::move(owner)) {}

  std::size_t row_count() const override { return table_ ? table_->row_count() : 0; }
  std::vector<ULONG> DefaultColumns() const override;
  HRESULT FillRow(std::size_t index, std::span<const ULONG> tags, void* parent,
                  SPropValue* out) override;

 private:
  struct RowObject;
  SCODE FillCell(const pst::ltp::TableRow& row, std::size_t index, ULONG tag, RowObject& object,
                 void* parent, SPropValue& out) const;
  SCODE FromObject(const pst::ltp::TableRow& row, std::size_t index, ULONG tag, RowObject& object,
                   void* parent, SPropValue& out) const;

  std::shared_ptr<const pst::messaging::MessageStore> store_;
  std::optional<pst::ltp::TableContext> table_;
  RowKind kind_;
  std::shared_ptr<const pst::messaging::Message> owner_;
};

}  // namespace mapilib
