// Stored and computed properties of the file's objects.
#include "platform/mapilib/object_properties.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/mapilib/derived_bodies.h"
#include "platform/mapilib/integrity_findings.h"
#include "platform/mapilib/mapi_allocator.h"
#include "platform/mapilib/value_conversion.h"
#include "platform/pst/messaging/node_ids.h"
#include "platform/pst/messaging/property_tags.h"

namespace mapilib {
namespace {

using pst::messaging::SpecialFolder;

constexpr pst::ndb::NodeId kStoreNode = 0x21;  // NID_MESSAGE_STORE

ULONG ValidFolderMask(const pst::messaging::MessageStore& store);

std::string TagHex(ULONG tag) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(tag));
  return text;
}

std::vector<std::byte> NodeBytes(pst::ndb::NodeId node) {
  std::vector<std::byte> bytes(4);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::byte>(node >> (8 * i));
  return bytes;
}

ULONG ObjectType(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::kStore:
      return MAPI_STORE;
    case ObjectKind::kFolder:
      return MAPI_FOLDER;
    case ObjectKind::kMessage:
    case ObjectKind::kEmbeddedMessage:
      return MAPI_MESSAGE;
    case ObjectKind::kAttachment:
      return MAPI_ATTACH;
  }
  return 0;
}

SCODE SetLong(ULONG tag, ULONG value, SPropValue& out) {
  out.ulPropTag = tag;
  out.Value.ul = value;
  return S_OK;
}

SCODE ReadStored(const ObjectView& object, ULONG tag, void* parent, SPropValue& out) {
  const std::uint64_t findings_before = object.store->database().log().position();
  auto value = object.properties->Get(static_cast<std::uint16_t>(PROP_ID(tag)));
  if (!value) {
    NoteLoss(
        *object.store, [tag] { return "property " + TagHex(tag); }, value.status());
    return StatusToScode(value.status());
  }
  if (KeepsConvertedText(object, tag, *value)) {
    auto text = value->AsUtf8();
    if (!text) return StatusToScode(text.status());
    KeepConvertedText(object, tag, *text, findings_before);
    return SetTextValue(tag, *text, parent, out);
  }
  if (IsSubjectTag(tag) && (value->type() == pst::ltp::prop_type::kString8 ||
                            value->type() == pst::ltp::prop_type::kUnicode)) {
    auto text = value->AsUtf8();
    if (!text) return StatusToScode(text.status());
    const ULONG type = PROP_TYPE(tag) == PT_UNSPECIFIED ? ULONG{PT_STRING8} : PROP_TYPE(tag);
    return SetTextValue(PROP_TAG(type, PROP_ID(tag)), WithoutSubjectPrefix(std::move(*text)),
                        parent, out);
  }
  return ConvertStoredValue(*value, tag, parent, out);
}

// Values the store object answers itself.
std::optional<SCODE> ReadStoreComputed(const ObjectView& object, ULONG tag, void* parent,
                                       SPropValue& out) {
  const auto& store = *object.store;
  switch (tag) {
    case PR_IPM_SUBTREE_ENTRYID:
    case PR_IPM_OUTBOX_ENTRYID:
    case PR_IPM_WASTEBASKET_ENTRYID:
    case PR_IPM_SENTMAIL_ENTRYID: {
      auto node = SpecialFolderNode(store, tag);
      if (!node) return MAPI_E_NOT_FOUND;
      return SetBinaryValue(tag, EntryIdBytes(store, *node), parent, out);
    }
    case PR_VALID_FOLDER_MASK:
      return SetLong(tag, ValidFolderMask(store), out);
    case PR_ENTRYID:
      return SetBinaryValue(tag, StoreEntryIdBytes(store), parent, out);
    case PR_RECORD_KEY:
    case PR_STORE_RECORD_KEY:
      return SetBinaryValue(tag, store.record_key(), parent, out);
    default:
      return std::nullopt;
  }
}

// The reader's mask, with the subtree bit following the subtree this library answers.
ULONG ValidFolderMask(const pst::messaging::MessageStore& store) {
  ULONG mask = store.ComputeValidFolderMask() & ~FOLDER_IPM_SUBTREE_VALID;
  auto subtree = SpecialFolderNode(store, PR_IPM_SUBTREE_ENTRYID);
  if (subtree && store.OpenFolder(*subtree)) mask |= FOLDER_IPM_SUBTREE_VALID;
  return mask;
}

// PR_HASATTACH from bit 0x10 of PR_MESSAGE_FLAGS.
SCODE ReadHasAttach(const ObjectView& object, SPropValue& out) {
  auto flags = object.properties->Get(pst::messaging::tags::kMessageFlags);
  if (!flags) return StatusToScode(flags.status());
  auto value = flags->AsInt32();
  if (!value) return StatusToScode(value.status());
  out.ulPropTag = PR_HASATTACH;
  out.Value.b = (static_cast<ULONG>(*value) & MSGFLAG_HASATTACH) ? 1 : 0;
  return S_OK;
}

}  // namespace

bool IsSubjectTag(ULONG tag) { return PROP_ID(tag) == PROP_ID(PR_SUBJECT); }

std::vector<std::byte> EntryIdBytes(const pst::messaging::MessageStore& store,
                                    pst::ndb::NodeId node) {
  return store.MakeEntryId(node).Encode();
}

std::vector<std::byte> StoreEntryIdBytes(const pst::messaging::MessageStore& store) {
  return EntryIdBytes(store, kStoreNode);
}

std::optional<pst::ndb::NodeId> SpecialFolderNode(const pst::messaging::MessageStore& store,
                                                  ULONG tag) {
  switch (tag) {
    case PR_IPM_SUBTREE_ENTRYID: {
      // A store without the id keeps the offline layout, whatever its header says.
      auto node = store.IpmSubtreeId();
      if (node && *node) return *node;
      auto offline = store.FindOfflineIpmSubtree();
      return offline ? *offline : std::nullopt;
    }
    case PR_IPM_OUTBOX_ENTRYID:
      return store.SpecialFolderId(SpecialFolder::kOutbox);
    case PR_IPM_WASTEBASKET_ENTRYID:
      return store.SpecialFolderId(SpecialFolder::kWastebasket);
    case PR_IPM_SENTMAIL_ENTRYID:
      return store.SpecialFolderId(SpecialFolder::kSentMail);
    default:
      return std::nullopt;
  }
}

SCODE ReadObjectProperty(const ObjectView& object, ULONG tag, void* parent, SPropValue& out) {
  out.dwAlignPad = 0;
  const bool listed = object.kind == ObjectKind::kFolder || object.kind == ObjectKind::kMessage;
  if (object.kind == ObjectKind::kStore) {
    if (auto sc = ReadStoreComputed(object, tag, parent, out)) return *sc;
  }
  switch (tag) {
    case PR_ENTRYID:
      if (listed) return SetBinaryValue(tag, EntryIdBytes(*object.store, object.node), parent, out);
      break;
    case PR_INSTANCE_KEY:
      if (object.kind != ObjectKind::kStore) {
        return SetBinaryValue(tag, NodeBytes(object.node), parent, out);
      }
      break;
    case PR_STORE_ENTRYID:
      return SetBinaryValue(tag, StoreEntryIdBytes(*object.store), parent, out);
    case PR_STORE_RECORD_KEY:
      return SetBinaryValue(tag, object.store->record_key(), parent, out);
    case PR_OBJECT_TYPE:
      return SetLong(tag, ObjectType(object.kind), out);
    case PR_ATTACH_NUM:
      if (object.kind == ObjectKind::kAttachment) return SetLong(tag, object.attach_num, out);
      break;
    case PR_HASATTACH:
      if (object.kind == ObjectKind::kMessage || object.kind == ObjectKind::kEmbeddedMessage) {
        return ReadHasAttach(object, out);
      }
      break;
    default:
      break;
  }
  if (auto derived = ReadDerivedBody(object, tag, parent, out)) return *derived;
  return ReadStored(object, tag, parent, out);
}

std::vector<ULONG> ObjectPropertyTags(const ObjectView& object) {
  std::vector<ULONG> tags;
  for (const auto& entry : object.properties->entries()) tags.push_back(entry.tag.value());
  auto add = [&](ULONG tag) {
    if (std::find_if(tags.begin(), tags.end(),
                     [&](ULONG t) { return PROP_ID(t) == PROP_ID(tag); }) == tags.end()) {
      tags.push_back(tag);
    }
  };
  add(PR_OBJECT_TYPE);
  if (object.kind == ObjectKind::kFolder || object.kind == ObjectKind::kMessage) add(PR_ENTRYID);
  if (object.kind == ObjectKind::kAttachment) add(PR_ATTACH_NUM);
  return tags;
}

}  // namespace mapilib
