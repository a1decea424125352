// Test helpers that reach the built mail library through the program's own binding: the binding is
// pointed at build/bin/libmapi32.so, a profile with one personal-folders service is configured for
// a file, and the session's default store is opened.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "libs/mapi/interface_ptr.h"
#include "libs/mapi/mapi.h"
#include "libs/mapi/mapi_binding.h"
#include "libs/mapi/mapi_memory.h"

namespace platform_mapilib_test {

// Points the binding at the built library; call before the first wrapper call.
void UseBuiltLibrary();

// The result of configuring a service for `path`: the code and GetLastError's reason.
struct ConfigureResult {
  HRESULT code = S_OK;
  std::string reason;
};
ConfigureResult ConfigureFile(const std::string& path, const std::string& password = "");

struct OpenedStore {
  mapi::InterfacePtr<IMAPISession> session;
  mapi::InterfacePtr<IMsgStore> store;
};
// Configures, logs on and opens the default store; fails the test when any step fails.
OpenedStore OpenStore(const std::string& path, const std::string& password = "");

// One property of an object through GetProps; the value's tag tells whether it is PT_ERROR.
struct OneValue {
  ULONG tag = 0;
  std::string text;              // PT_STRING8
  std::vector<std::byte> bytes;  // PT_BINARY
  ULONG number = 0;              // PT_LONG, PT_BOOLEAN, PT_ERROR
};
OneValue GetOne(IMAPIProp& object, ULONG tag);

// Opens the object an entry id names through the store.
template <typename T>
mapi::InterfacePtr<T> OpenEntry(IMsgStore& store, const std::vector<std::byte>& id,
                                const IID* iid) {
  ULONG type = 0;
  LPUNKNOWN unknown = nullptr;
  const HRESULT hr = store.OpenEntry(static_cast<ULONG>(id.size()),
                                     reinterpret_cast<LPENTRYID>(const_cast<std::byte*>(id.data())),
                                     iid, MAPI_BEST_ACCESS, &type, &unknown);
  EXPECT_EQ(hr, S_OK);
  return mapi::InterfacePtr<T>(static_cast<T*>(unknown));
}

// The store's inbox (the receive folder of "IPM"); fails the test when it cannot be opened.
mapi::InterfacePtr<IMAPIFolder> OpenInboxFolder(IMsgStore& store);

// The entry id in row `row` of the inbox's contents table; empty (and a failed test) without one.
std::vector<std::byte> InboxEntryId(IMsgStore& store, ULONG row);

// All rows of a table with the given columns.
mapi::RowSetPtr AllRows(IMAPITable& table, std::initializer_list<ULONG> columns);
// The rows of a set, all cRows of them (the set declares one and holds the rest past it).
inline std::span<const SRow> RowsOf(const SRowSet& rows) { return {rows.aRow, rows.cRows}; }
// The subfolder of `folder` named `name`; null when there is none.
mapi::InterfacePtr<IMAPIFolder> Subfolder(IMsgStore& store, IMAPIFolder& folder,
                                          const std::string& name);
// Everything a stream gives until its end; nullopt when a read fails.
std::optional<std::string> ReadAll(IStream& stream);

// Path of a fresh temporary file for a test.
std::string TempPath(const std::string& name);
// The folder of the real sample files; empty when it is absent.
std::string SamplesDir();

}  // namespace platform_mapilib_test
