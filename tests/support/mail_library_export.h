// How the test stand-ins of the mail library make a function visible to the program that loads
// them. Their mail functions also take the platform library's calling convention (STDAPICALLTYPE):
// on 32-bit Windows that is __stdcall, so the export names carry "@" and the bytes of the arguments
// ("MAPIInitialize@4"), the names the binding looks up there.
#pragma once

#include "libs/mapi/mapi_types.h"

#ifdef _WIN32
#define TEST_LIBRARY_EXPORT __declspec(dllexport)
#else
#define TEST_LIBRARY_EXPORT __attribute__((visibility("default")))
#endif
