// Property context: the record list from the BTH, values from inline bytes, heap or subnodes.
#include "platform/pst/ltp/property_context.h"

#include <algorithm>
#include <string>

#include "platform/pst/ltp/btree_on_heap.h"
#include "platform/pst/ltp/hnid_value.h"

namespace pst::ltp {

namespace {

// Room made for the entries at once: messages mostly have a few dozen properties.
constexpr std::size_t kUsualEntries = 48;

std::string Where(const ndb::Node& node) {
  return "property context of node " + std::to_string(node.id()) + ": ";
}

// An object asked for a property it lacks: an ordinary answer, asked of nearly every message, so
// its text names nothing that would have to be formatted.
Status Absent() { return Status::NotFound("no property"); }

// The value of an inline record: the type's own size of the 4 stored bytes.
std::vector<std::byte> InlineBytes(PropTag tag, std::uint32_t stored) {
  std::vector<std::byte> bytes(*FixedTypeSize(tag.type));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::byte>(stored >> (8 * i));
  }
  return bytes;
}

}  // namespace

Result<PropertyContext> PropertyContext::Open(std::unique_ptr<ndb::Node> node,
                                              HeapIdLayout layout) {
  if (!node) return Status::Corrupt("property context: no node");
  PST_ASSIGN_OR_RETURN(auto heap, Heap::Open(*node, layout));
  if (heap.client_signature() != static_cast<std::uint8_t>(HeapClient::kPropertyContext)) {
    return Status::Corrupt(Where(*node) + "heap does not hold a property context");
  }
  PropertyContext pc(std::move(node), std::move(heap));
  auto bth = BTreeOnHeap::Open(pc.heap_, pc.heap_.user_root());
  if (!bth) return Status::Corrupt(Where(*pc.node_) + bth.status().message());
  if (bth->header().key_size != kKeySize || bth->header().data_size != kDataSize) {
    return Status::Corrupt(Where(*pc.node_) + "BTH has the wrong record sizes");
  }
  pc.entries_.reserve(kUsualEntries);
  Status walked = bth->ForEach([&pc](Bytes key, Bytes data) {
    pc.entries_.push_back(Entry{PropTag{LoadU16(key, 0), LoadU16(data, 0)}, LoadU32(data, 2)});
    return true;
  });
  if (!walked.ok()) return Status::Corrupt(Where(*pc.node_) + walked.message());
  std::stable_sort(pc.entries_.begin(), pc.entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.tag.id < b.tag.id; });
  return pc;
}

const PropertyContext::Entry* PropertyContext::FindEntry(std::uint16_t id) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), id,
                             [](const Entry& e, std::uint16_t v) { return e.tag.id < v; });
  return it != entries_.end() && it->tag.id == id ? &*it : nullptr;
}

std::optional<PropTag> PropertyContext::FindTag(std::uint16_t id) const {
  const Entry* e = FindEntry(id);
  return e ? std::optional<PropTag>(e->tag) : std::nullopt;
}

Result<PropertyValue> PropertyContext::Get(std::uint16_t id) const {
  const Entry* e = FindEntry(id);
  if (!e) return Absent();
  if (IsStoredInline(e->tag.type)) {
    return PropertyValue(e->tag, InlineBytes(e->tag, e->stored), code_page_);
  }
  PST_ASSIGN_OR_RETURN(auto bytes, ReadHnid(heap_, *node_, HeapOrNodeId{e->stored}));
  Status size_ok = CheckValueSize(e->tag, bytes.size());
  if (!size_ok.ok()) return Status::Corrupt(Where(*node_) + size_ok.message());
  return PropertyValue(e->tag, std::move(bytes), code_page_);
}

Result<PropertyValue> PropertyContext::Get(PropTag tag) const {
  const Entry* e = FindEntry(tag.id);
  if (!e || e->tag.type != tag.type) return Absent();
  return Get(tag.id);
}

Result<ValueStream> PropertyContext::OpenStream(std::uint16_t id) const {
  const Entry* e = FindEntry(id);
  if (!e) return Absent();
  if (IsStoredInline(e->tag.type)) {
    return ValueStream::FromBytes(InlineBytes(e->tag, e->stored));
  }
  return OpenHnidStream(heap_, *node_, HeapOrNodeId{e->stored});
}

}  // namespace pst::ltp
