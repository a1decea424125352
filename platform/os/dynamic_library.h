// Dynamic libraries: load a shared object and find an exported entry by name.
#pragma once

#include <memory>
#include <string>

namespace os {

class DynamicLibrary {
 public:
  // Loads the library at path; nullptr when it cannot be loaded (missing, not a library, wrong
  // architecture, a directory). error receives the system's reason.
  static std::unique_ptr<DynamicLibrary> Load(const std::string& path,
                                              std::string* error = nullptr);
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The address of an exported entry, or nullptr.
  void* Find(const char* name) const;
  // Keeps the library loaded after this object is destroyed (for the life of the process).
  void Pin() { pinned_ = true; }

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void* handle_;
  bool pinned_ = false;
};

}  // namespace os
