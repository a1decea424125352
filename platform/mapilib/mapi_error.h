// The MAPIERROR record GetLastError hands out: the reason in one MAPI buffer.
#pragma once

#include <string>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/mapi_allocator.h"

namespace mapilib {

inline HRESULT MakeMapiErrorRecord(const std::string& reason, LPMAPIERROR* out) {
  if (!out) return MAPI_E_INVALID_PARAMETER;
  *out = nullptr;
  auto* record = static_cast<LPMAPIERROR>(AllocateBuffer(sizeof(MAPIERROR)));
  if (!record) return MAPI_E_NOT_ENOUGH_MEMORY;
  record->ulVersion = MAPI_ERROR_VERSION;
  record->lpszError = CopyText(reason, record);
  record->lpszComponent = CopyText("pst2xmz personal folders", record);
  *out = record;
  return S_OK;
}

}  // namespace mapilib
