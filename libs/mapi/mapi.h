// The mail-library interface in one include: types and records, status codes, property tags, flags,
// interface ids, interfaces and the library's function types. Included by the program and by the
// mail library alike; nothing in it depends on the platform beyond the calling-convention macros.
#pragma once

#include "libs/mapi/mapi_codes.h"
#include "libs/mapi/mapi_flags.h"
#include "libs/mapi/mapi_functions.h"
#include "libs/mapi/mapi_guids.h"
#include "libs/mapi/mapi_interfaces.h"
#include "libs/mapi/mapi_tags.h"
#include "libs/mapi/mapi_types.h"
