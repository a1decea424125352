// Property context (PC): the properties of one object (store, folder, message, attachment), kept as
// a B-tree-on-heap of (property id, type, value or HNID) records in a node's heap.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/pst/ltp/heap.h"
#include "platform/pst/ltp/property_value.h"
#include "platform/pst/ltp/value_stream.h"

namespace pst::ltp {

class PropertyContext {
 public:
  // One PC record: the tag and the 4 stored bytes (an inline value or an HNID).
  struct Entry {
    PropTag tag;
    std::uint32_t stored = 0;
  };
  static constexpr std::size_t kKeySize = 2;   // wPropId
  static constexpr std::size_t kDataSize = 6;  // wPropType + dwValueHnid

  // Reads the property list of the PC kept in `node`; values are read when asked for. `layout`
  // is that of the node's file.
  static Result<PropertyContext> Open(std::unique_ptr<ndb::Node> node,
                                      HeapIdLayout layout = HeapIdLayout::k512BytePages);

  const ndb::Node& node() const { return *node_; }
  // The heap id layout of the file, for contexts opened from this one's subnodes.
  HeapIdLayout heap_id_layout() const { return heap_.id_layout(); }
  // The records, sorted by property id.
  const std::vector<Entry>& entries() const { return entries_; }
  // The stored tag of property `id`, if present.
  std::optional<PropTag> FindTag(std::uint16_t id) const;

  // The value of property `id` with its stored type; kNotFound when absent. Values held in a
  // subnode are read whole up to kMaxValueInMemory (kLimit beyond; use OpenStream).
  Result<PropertyValue> Get(std::uint16_t id) const;
  // The value of `tag`; kNotFound when absent or stored with another type.
  Result<PropertyValue> Get(PropTag tag) const;
  // A binary, string or object value as a stream (subnode values stay on disk).
  Result<ValueStream> OpenStream(std::uint16_t id) const;

  // Code page recorded on PT_STRING8 values this context returns (set by the owning object).
  std::uint32_t code_page() const { return code_page_; }
  void set_code_page(std::uint32_t code_page) { code_page_ = code_page; }

 private:
  PropertyContext(std::unique_ptr<ndb::Node> node, Heap heap)
      : node_(std::move(node)), heap_(std::move(heap)) {}

  const Entry* FindEntry(std::uint16_t id) const;

  std::unique_ptr<ndb::Node> node_;
  Heap heap_;  // reads node_, whose address stays put when the context moves
  std::vector<Entry> entries_;
  std::uint32_t code_page_ = 0;
};

}  // namespace pst::ltp
