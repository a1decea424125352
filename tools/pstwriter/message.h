// What a message is to the builder: its properties, its recipients (one property bag each, the
// rows of its recipient table) and its attachments, which may carry a whole embedded message.
#pragma once

#include <memory>
#include <vector>

#include "tools/pstwriter/property_bag.h"

namespace pstwriter {

struct Message;

struct Attachment {
  PropertyBag props;                  // method, names, PR_ATTACH_DATA_BIN (bytes or stream) ...
  std::unique_ptr<Message> embedded;  // set for an embedded message (PR_ATTACH_DATA_OBJ)
};

struct Message {
  PropertyBag props;
  std::vector<PropertyBag> recipients;
  std::vector<Attachment> attachments;
};

}  // namespace pstwriter
