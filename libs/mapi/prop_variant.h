// Conversion of the mail library's property values into the program's variant values, and of a
// FILETIME into a date-time value (days since 30 December 1899, the fraction being the time of
// day).
#pragma once

#include "libs/mapi/mapi_types.h"
#include "support/dispatch/variant.h"

namespace mapi {

// Clears out, then fills it by the value's property type: scalars become the matching kind,
// PT_STRING8 text (UTF-8) and PT_UNICODE text become VT_BSTR, PT_SYSTIME the raw 64-bit tick count
// as VT_I8, PT_CLSID the GUID's braced upper-case text, PT_BINARY an array of VT_UI1, multi-valued
// types arrays indexed from 0 (an empty value gives an empty array; PT_MV_SYSTIME gives dates),
// PT_ERROR the error code as VT_I4. No value, or a type not listed, leaves VT_EMPTY.
// Raises only when memory runs out.
void PropValueToVariant(const SPropValue* value, dispatch::TVariant& out);

// The FILETIME's calendar date and time of day, to the millisecond, as a date-time value, without
// any change of time zone. A FILETIME at or above 2^63 has no calendar date and gives 0.
double FileTimeToDateTime(const FILETIME& file_time);

}  // namespace mapi
