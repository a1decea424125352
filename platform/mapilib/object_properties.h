// Reading one property of an object of the file (store, folder, message, attachment) the way the
// interface hands it out: stored values converted, plus the values the library computes (entry id,
// instance key, object type, PR_HASATTACH, the attachment number, the store's special folders and
// PR_VALID_FOLDER_MASK) and subjects without their prefix marker.
#pragma once

#include <optional>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

enum class ObjectKind { kStore, kFolder, kMessage, kEmbeddedMessage, kAttachment };

struct DerivedBodyCache;

struct ObjectView {
  ObjectKind kind;
  const pst::ltp::PropertyContext* properties;
  const pst::messaging::MessageStore* store;
  pst::ndb::NodeId node = 0;  // folders and messages: their node; attachments: their subnode
  ULONG attach_num = 0;       // attachments: the number OpenAttach takes
  DerivedBodyCache* derived = nullptr;  // messages: body forms derived while the object is open
};

// The value of `tag` in `out` (tied to `parent`): S_OK, or the code for a PT_ERROR value.
SCODE ReadObjectProperty(const ObjectView& object, ULONG tag, void* parent, SPropValue& out);
// The tags GetProps without a tag list and GetPropList report.
std::vector<ULONG> ObjectPropertyTags(const ObjectView& object);

// Entry-id bytes of a node of `store`.
std::vector<std::byte> EntryIdBytes(const pst::messaging::MessageStore& store,
                                    pst::ndb::NodeId node);
// The store's own entry id (names its store node).
std::vector<std::byte> StoreEntryIdBytes(const pst::messaging::MessageStore& store);
// The special folder of a store entry-id tag as the library answers it; nullopt when absent.
std::optional<pst::ndb::NodeId> SpecialFolderNode(const pst::messaging::MessageStore& store,
                                                  ULONG tag);

// Text of a subject value without its prefix marker, for PR_SUBJECT in either string type.
bool IsSubjectTag(ULONG tag);

}  // namespace mapilib
