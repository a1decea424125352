// A folder: its property context and the hierarchy, contents and associated-contents tables kept in
// the nodes of the same index. Rows of those tables name the subfolders and messages by node id.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pst/ltp/property_context.h"
#include "platform/pst/ltp/table_context.h"
#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/ndb/node_database.h"

namespace pst::messaging {

class Folder {
 public:
  // Opens folder `nid` of `db`; 8-bit strings of its properties and tables use `code_page`.
  static Result<Folder> Open(const ndb::NodeDatabase& db, ndb::NodeId nid, std::uint32_t code_page);

  ndb::NodeId id() const { return properties_.node().id(); }
  const ltp::PropertyContext& properties() const { return properties_; }

  // PR_DISPLAY_NAME in UTF-8 ("" when absent).
  std::string display_name() const;
  // PR_CONTAINER_CLASS in UTF-8 ("" when absent).
  std::string container_class() const;
  // PR_CONTENT_COUNT as stored, nullopt when absent.
  std::optional<std::int32_t> content_count() const;

  // Tables of the folder. A folder without a contents or associated table reads as kNotFound; a
  // search folder whose results are not kept as a table context, as kUnsupported. A folder that
  // counts messages (or subfolders) whose contents (or hierarchy) table cannot be found is damaged:
  // kCorrupt, never an empty folder.
  Result<ltp::TableContext> OpenHierarchyTable() const;
  Result<ltp::TableContext> OpenContentsTable() const;
  Result<ltp::TableContext> OpenAssociatedContentsTable() const;

  // The node ids of the subfolders, in hierarchy-table order.
  Result<std::vector<ndb::NodeId>> SubfolderIds() const;
  // The subfolder whose display name is `name` (exact), nullopt when there is none.
  Result<std::optional<ndb::NodeId>> FindSubfolder(std::string_view name) const;

 private:
  Folder(const ndb::NodeDatabase* db, ltp::PropertyContext properties)
      : db_(db), properties_(std::move(properties)) {}

  Result<ltp::TableContext> OpenTable(NodeType type) const;
  Result<ltp::TableContext> OpenExpectedTable(NodeType type, bool expected, const char* what) const;

  const ndb::NodeDatabase* db_;
  ltp::PropertyContext properties_;
};

// UTF-8 text of a string property (either string type) of `pc`, "" when absent or not a string.
std::string StringProperty(const ltp::PropertyContext& pc, std::uint16_t id);

}  // namespace pst::messaging
