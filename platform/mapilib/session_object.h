// IMAPISession of a logon: the message stores of the profile's configured services, opened by
// entry id. The session keeps its stores when the profile is deleted while it is open.
#pragma once

#include <memory>
#include <vector>

#include "platform/mapilib/counted_object.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

IMAPISession* NewSession(std::vector<std::shared_ptr<const pst::messaging::MessageStore>> stores);

}  // namespace mapilib
