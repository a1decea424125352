// Message assembly: ComposeMessage turns an open message of the mail library into a tree of
// TMIMEConstructor parts (header, body, attachments, embedded messages), ready to be written.
#pragma once

#include "compose/mime_constructor.h"
#include "libs/mapi/mapi_interfaces.h"
#include "libs/mapi/mapi_types.h"

namespace compose {

// Embedded messages deeper than this are left out (the top-level message is level 0).
inline constexpr int kMaxEmbeddedDepth = 32;

// Fills root (a new, empty node) from message. The result is a failure when PR_HASATTACH cannot be
// read, or when reading the data of the message or of one of its embedded messages failed part-way;
// the text must then not be used. Attachment data is read when root writes its text (a read that
// breaks off then is WriteTo's result): root keeps those attachments and their streams open until
// it is destroyed; everything else opened here is released before it returns. Exceptions (memory)
// pass to the caller.
HRESULT ComposeMessage(IMessage* message, TMIMEConstructor& root);

}  // namespace compose
