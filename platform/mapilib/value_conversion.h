// Property values of the file turned into SPropValue records in the caller's MAPI memory: numbers
// as stored, 8-bit strings handed out in the system's ANSI code page, Unicode strings as stored,
// multi-valued arrays, and the reader's failures as the status codes of the interface.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "libs/mapi/mapi.h"
#include "platform/pst/ltp/property_value.h"
#include "platform/pst/result.h"

namespace mapilib {

// The interface status for a reader failure: kNotFound -> MAPI_E_NOT_FOUND, damage ->
// MAPI_E_CORRUPT_DATA, a size limit -> MAPI_E_NOT_ENOUGH_MEMORY, and so on.
SCODE StatusToScode(const pst::Status& status);

void SetErrorValue(ULONG tag, SCODE code, SPropValue& out);
// Values tied to `parent`; MAPI_E_NOT_ENOUGH_MEMORY when the copy fails.
SCODE SetBinaryValue(ULONG tag, std::span<const std::byte> bytes, void* parent, SPropValue& out);
// `tag`'s type decides the form: PT_STRING8 in the ANSI code page, PT_UNICODE UTF-16.
SCODE SetTextValue(ULONG tag, std::string_view utf8, void* parent, SPropValue& out);

// Converts a stored value to the requested tag (PT_UNSPECIFIED takes the stored type). A string of
// either type converts to either string type; other types must match (else MAPI_E_NOT_FOUND).
SCODE ConvertStoredValue(const pst::ltp::PropertyValue& value, ULONG requested_tag, void* parent,
                         SPropValue& out);

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// A subject stored with its prefix marker (0x01 and one length character) without those two.
std::string WithoutSubjectPrefix(std::string text);

}  // namespace mapilib
