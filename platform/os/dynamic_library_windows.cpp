// LoadLibrary/GetProcAddress behind DynamicLibrary.
#include <windows.h>

#include "platform/os/dynamic_library.h"
#include "platform/os/system_message.h"

namespace os {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& path, std::string* error) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (error) *error = path + ": is a directory";
    return nullptr;
  }
  // No message box for a library that is missing or damaged: the caller reports it.
  const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE handle = LoadLibraryA(path.c_str());
  const DWORD reason = GetLastError();
  SetErrorMode(previous_mode);
  if (!handle) {
    if (error) *error = path + ": " + SystemMessage(reason);
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
  if (!pinned_) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* DynamicLibrary::Find(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace os
