// The top-level header of a composed message: the message's own transport headers when it kept
// them, otherwise To, CC, Subject, Date and MIME-Version synthesised from the recipient table, the
// subject and the submit time. CR, LF and NUL from data never reach a header line.
#pragma once

#include <string>
#include <string_view>

#include "compose/mime_constructor.h"
#include "libs/mapi/mapi.h"
#include "support/dispatch/variant.h"

namespace compose {

// The address to write for an address of that type: the SMTP address when there is one, else the
// address when its type is SMTP (or it has no type and holds an "@"); empty when the address is of
// another kind (an X.500 path) and no SMTP address is known.
std::string InternetAddress(std::string_view address_type, std::string_view address,
                            std::string_view smtp_address);

// Appends "name" <address> to list, after "," CR LF and eight blanks when list is not empty.
// Backslashes and double quotes in name are escaped with a backslash; a name with 8-bit text is
// written as encoded words instead of a quoted string. Without an address the name is written as a
// group of no members ("name":;), which readers take as a name and no mailbox.
void AppendAddress(std::string_view name, std::string_view address, std::string& list);

// One property of object as a variant; empty when it cannot be read.
void ReadPropVariant(IMAPIProp* object, ULONG tag, dispatch::TVariant& out);

// Fills root's header with From (when the message names its sender), To (always), CC (when not
// empty), Subject, Date and MIME-Version. Never reports an error: a step that fails leaves the
// fields set before it.
void ComposeHeaders(IMessage* message, TMIMEConstructor& root);

// The header lines of the transport-header text: trimmed, split at CR LF, lone CR or lone LF, and
// ended at the first empty line. NUL bytes become blanks.
void LoadTransportHeaders(std::string_view text, TMIMEHeader& header);

}  // namespace compose
