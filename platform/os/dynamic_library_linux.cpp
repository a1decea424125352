// dlopen/dlsym behind DynamicLibrary.
#include <dlfcn.h>
#include <sys/stat.h>

#include "platform/os/dynamic_library.h"

namespace os {

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(const std::string& path, std::string* error) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    if (error) *error = path + ": is a directory";
    return nullptr;
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    if (error) {
      const char* reason = dlerror();
      *error = reason ? reason : "cannot load " + path;
    }
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() {
  if (!pinned_) dlclose(handle_);
}

void* DynamicLibrary::Find(const char* name) const { return dlsym(handle_, name); }

}  // namespace os
