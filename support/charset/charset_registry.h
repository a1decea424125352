// The process-wide registry of character sets: the built-in sets in their fixed order, then the
// sets of the character-set libraries found beside the program and in the installed library
// directory. Names are looked up without regard to ASCII case through a sorted index of upper-cased
// aliases; the first set to register an alias keeps it.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "support/charset/charset_library_abi.h"
#include "support/charset/pl_charset.h"

namespace os {
class DynamicLibrary;
}

namespace charset {

// One registered set.
struct TPlCharsetInfo {
  std::string name;  // the first alias
  std::string category;
  std::string description;
  PlCharsetFactory factory = nullptr;
  const os::DynamicLibrary* library = nullptr;  // the library that supplied it; none when built in

  std::unique_ptr<TPlCharset> Create() const { return std::unique_ptr<TPlCharset>(factory()); }
};

class TPlCharsetRegistry {
 public:
  static TPlCharsetRegistry& Instance();

  // A fresh instance of the set called name; ISO-8859-1 when the name is unknown. The empty name
  // is a UTF-16 alias. Fills the registry on first use; never fails.
  std::unique_ptr<TPlCharset> Create(std::string_view name);
  // The entry of name, or nullptr when unknown. Fills the registry on first use.
  const TPlCharsetInfo* Find(std::string_view name);
  // Every entry in registration order. Fills the registry on first use.
  std::vector<const TPlCharsetInfo*> Entries();
  // Number of character-set libraries loaded and kept.
  std::size_t LibraryCount();

  // When no character-set library could be loaded and some text named a set the built-in ones do
  // not know: one line saying so and naming those sets ("Code page library not found (...): texts
  // in shift_jis, big5 are read as ISO-8859-1"). Empty otherwise. Without a library it cannot be
  // told which of these sets a library would have known, so every unknown name is listed.
  std::string MissingLibraryNotice();

  // Registers one set after the built-in and library sets; false (and nothing registered) when
  // any of its aliases is already known.
  bool Register(std::string_view aliases, std::string_view category, std::string_view description,
                PlCharsetFactory factory, const os::DynamicLibrary* library = nullptr);

  // Directories searched for "*.chl" files: the program's own, then the installed library
  // directory.
  static std::vector<std::string> DefaultLibraryDirectories();
  // Test hook: forgets every entry; the next use fills the registry again and searches only
  // directories for libraries. Libraries loaded before stay loaded.
  void ResetForTesting(std::vector<std::string> directories);

  ~TPlCharsetRegistry();

 private:
  TPlCharsetRegistry();
  void FillIfEmpty();
  void RegisterBuiltIns();
  void LoadLibraries();
  void LoadLibrary(const std::string& path);
  // Remembers a name read as ISO-8859-1 while no library is loaded.
  void NoteFallback(std::string_view name);
  // The registration routine handed to a library; host is a LibraryHost.
  static void RegisterFromLibrary(void* host, const char* aliases, const char* category,
                                  const char* description, PlCharsetFactory factory);
  struct LibraryHost;
  const TPlCharsetInfo* FindLocked(std::string_view name) const;
  bool RegisterLocked(std::string_view aliases, std::string_view category,
                      std::string_view description, PlCharsetFactory factory,
                      const os::DynamicLibrary* library);

  std::mutex mutex_;
  std::vector<std::unique_ptr<TPlCharsetInfo>> entries_;
  std::map<std::string, const TPlCharsetInfo*, std::less<>> index_;  // upper-cased alias -> entry
  std::vector<std::unique_ptr<os::DynamicLibrary>> libraries_;
  std::vector<std::string> directories_;
  std::vector<std::string> library_failures_;  // "<path>: <reason>" for each library not loaded
  // Names read as ISO-8859-1 while no library was loaded, by upper-cased name.
  std::map<std::string, std::string, std::less<>> names_without_library_;
};

}  // namespace charset
