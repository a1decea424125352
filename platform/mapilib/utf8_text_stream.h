// A stream that hands out a stored UTF-16 string as UTF-8, converting as it reads, so that a large
// Unicode body streams from the file like a binary value. A lone surrogate becomes U+FFFD; a read
// that meets damaged data fails.
#pragma once

#include <memory>

#include "libs/mapi/mapi.h"
#include "platform/pst/ltp/value_stream.h"
#include "platform/pst/messaging/message_store.h"

namespace mapilib {

IStream* NewUtf8TextStream(std::shared_ptr<pst::ltp::ValueStream> utf16,
                           std::shared_ptr<const pst::messaging::MessageStore> keep_alive);

}  // namespace mapilib
