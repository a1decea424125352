// The character-set registry: built-in sets, character-set libraries, lookup with fallback.
#include "support/charset/charset_registry.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/os/dynamic_library.h"
#include "platform/os/module_path.h"
#include "support/charset/basic_charsets.h"
#include "support/charset/unicode_charsets.h"
#include "support/charset/utf7_charset.h"

#ifndef PST2XMZ_CHARSET_LIBRARY_DIR
#define PST2XMZ_CHARSET_LIBRARY_DIR "/usr/local/lib/pst2xmz"
#endif

namespace charset {

namespace {

template <class Set>
TPlCharset* Make() {
  return new Set;
}

// The built-in sets in registration order.
constexpr PlCharsetFactory kBuiltIns[] = {
    Make<TPlUTF32>, Make<TPlUTF32BE>, Make<TPlUTF16>, Make<TPlUTF16BE>,
    Make<TPlUTF8>,  Make<TPlUTF7>,    Make<TPlASCII>, Make<TPlISO_8859_1>,
};

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::vector<std::string_view> SplitAliases(std::string_view aliases) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t comma = aliases.find(',');
    parts.push_back(aliases.substr(0, comma));
    if (comma == std::string_view::npos) return parts;
    aliases.remove_prefix(comma + 1);
  }
}

// The "*.chl" files of a directory, in name order; none when it cannot be read.
std::vector<std::string> LibraryFiles(const std::string& directory) {
  std::vector<std::string> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::path& path = it->path();
    if (path.extension() == kPlCharsetLibraryPattern) files.push_back(path.string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

struct TPlCharsetRegistry::LibraryHost {
  TPlCharsetRegistry* registry;
  const os::DynamicLibrary* library;
  int registered;
};

TPlCharsetRegistry& TPlCharsetRegistry::Instance() {
  static TPlCharsetRegistry registry;
  return registry;
}

TPlCharsetRegistry::TPlCharsetRegistry() : directories_(DefaultLibraryDirectories()) {}

TPlCharsetRegistry::~TPlCharsetRegistry() = default;

// Without a known program path the program directory is left out rather than guessed: libraries
// are never loaded from the current directory.
std::vector<std::string> TPlCharsetRegistry::DefaultLibraryDirectories() {
  std::vector<std::string> directories;
  if (!os::ExecutablePath().empty()) directories.push_back(os::ExecutableDirectory());
  const std::string installed = PST2XMZ_CHARSET_LIBRARY_DIR;
  std::error_code error;
  if (directories.empty() || !std::filesystem::equivalent(directories.front(), installed, error)) {
    directories.push_back(installed);
  }
  return directories;
}

std::unique_ptr<TPlCharset> TPlCharsetRegistry::Create(std::string_view name) {
  const TPlCharsetInfo* info = Find(name);
  if (!info) NoteFallback(name);
  std::unique_ptr<TPlCharset> set = info ? info->Create() : nullptr;
  // A library factory that fails is treated like an unknown name.
  return set ? std::move(set) : std::make_unique<TPlISO_8859_1>();
}

const TPlCharsetInfo* TPlCharsetRegistry::Find(std::string_view name) {
  std::lock_guard lock(mutex_);
  FillIfEmpty();
  return FindLocked(name);
}

std::vector<const TPlCharsetInfo*> TPlCharsetRegistry::Entries() {
  std::lock_guard lock(mutex_);
  FillIfEmpty();
  std::vector<const TPlCharsetInfo*> entries;
  for (const auto& entry : entries_) entries.push_back(entry.get());
  return entries;
}

std::size_t TPlCharsetRegistry::LibraryCount() {
  std::lock_guard lock(mutex_);
  FillIfEmpty();
  return libraries_.size();
}

void TPlCharsetRegistry::NoteFallback(std::string_view name) {
  std::lock_guard lock(mutex_);
  if (libraries_.empty()) names_without_library_.emplace(UpperAscii(name), std::string(name));
}

std::string TPlCharsetRegistry::MissingLibraryNotice() {
  std::lock_guard lock(mutex_);
  if (names_without_library_.empty()) return {};
  std::string why;
  for (const std::string& failure : library_failures_) why += (why.empty() ? "" : "; ") + failure;
  if (why.empty()) {
    why = "no *" + std::string(kPlCharsetLibraryPattern) + " file in";
    for (const std::string& directory : directories_) why += " " + directory;
  }
  std::string sets;
  for (const auto& [upper, name] : names_without_library_)
    sets += (sets.empty() ? "" : ", ") + name;
  return "Code page library not found (" + why + "): texts in " + sets + " are read as ISO-8859-1";
}

bool TPlCharsetRegistry::Register(std::string_view aliases, std::string_view category,
                                  std::string_view description, PlCharsetFactory factory,
                                  const os::DynamicLibrary* library) {
  std::lock_guard lock(mutex_);
  FillIfEmpty();
  return RegisterLocked(aliases, category, description, factory, library);
}

void TPlCharsetRegistry::ResetForTesting(std::vector<std::string> directories) {
  std::lock_guard lock(mutex_);
  index_.clear();
  entries_.clear();
  libraries_.clear();  // pinned: they stay loaded
  library_failures_.clear();
  names_without_library_.clear();
  directories_ = std::move(directories);
}

void TPlCharsetRegistry::FillIfEmpty() {
  if (!index_.empty()) return;
  RegisterBuiltIns();
  LoadLibraries();
}

void TPlCharsetRegistry::RegisterBuiltIns() {
  for (PlCharsetFactory factory : kBuiltIns) {
    const std::unique_ptr<TPlCharset> set(factory());
    RegisterLocked(set->Aliases(), set->Category(), set->Description(), factory, nullptr);
  }
}

void TPlCharsetRegistry::LoadLibraries() {
  for (const std::string& directory : directories_) {
    for (const std::string& path : LibraryFiles(directory)) LoadLibrary(path);
  }
}

// A file that is not a loadable library, or lacks the entry, is left alone; so is a library that
// registers nothing (it is unloaded again).
void TPlCharsetRegistry::LoadLibrary(const std::string& path) {
  std::string error;
  std::unique_ptr<os::DynamicLibrary> library = os::DynamicLibrary::Load(path, &error);
  if (!library) {
    library_failures_.push_back(error.empty() ? path + ": cannot be loaded" : error);
    return;
  }
  auto entry = reinterpret_cast<PlRegisterCharsetLibrary>(library->Find(kPlCharsetLibraryEntry));
  if (!entry) {
    library_failures_.push_back(path + ": no " + kPlCharsetLibraryEntry);
    return;
  }
  LibraryHost host{this, library.get(), 0};
  entry(kPlCharsetLibraryAbiVersion, &TPlCharsetRegistry::RegisterFromLibrary, &host);
  if (host.registered == 0) {
    library_failures_.push_back(path + ": registers no character set");
    return;
  }
  // Sets made by the library may outlive the registry during process exit.
  library->Pin();
  libraries_.push_back(std::move(library));
}

void TPlCharsetRegistry::RegisterFromLibrary(void* host, const char* aliases, const char* category,
                                             const char* description, PlCharsetFactory factory) {
  auto* library_host = static_cast<LibraryHost*>(host);
  if (!aliases || !factory) return;
  if (library_host->registry->RegisterLocked(aliases, category ? category : "",
                                             description ? description : "", factory,
                                             library_host->library)) {
    ++library_host->registered;
  }
}

const TPlCharsetInfo* TPlCharsetRegistry::FindLocked(std::string_view name) const {
  const auto it = index_.find(UpperAscii(name));
  return it == index_.end() ? nullptr : it->second;
}

bool TPlCharsetRegistry::RegisterLocked(std::string_view aliases, std::string_view category,
                                        std::string_view description, PlCharsetFactory factory,
                                        const os::DynamicLibrary* library) {
  const std::vector<std::string_view> names = SplitAliases(aliases);
  for (std::string_view name : names) {
    if (index_.contains(UpperAscii(name))) return false;
  }
  auto info = std::make_unique<TPlCharsetInfo>();
  info->name = std::string(names.front());
  info->category = std::string(category);
  info->description = std::string(description);
  info->factory = factory;
  info->library = library;
  for (std::string_view name : names) index_.emplace(UpperAscii(name), info.get());
  entries_.push_back(std::move(info));
  return true;
}

}  // namespace charset
