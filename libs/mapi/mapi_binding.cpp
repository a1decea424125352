// The binding's process-wide state, the registry look-up that locates the library, and one wrapper
// per exported function.
#include "libs/mapi/mapi_binding.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "libs/mapi/mapi_binding_for_tests.h"
#include "libs/mapi/mapi_codes.h"
#include "libs/mapi/mapi_functions.h"
#include "platform/os/dynamic_library.h"
#include "platform/os/registry.h"

namespace mapi {
namespace {

constexpr const char* kDefaultLibraryPath = "MAPI32.DLL";

// The 32-bit Windows build of the library exports decorated names ("@" and the bytes of the
// arguments); everywhere else the names stand undecorated.
#if defined(_WIN32) && !defined(_WIN64)
constexpr bool kDecoratedExports = true;
#else
constexpr bool kDecoratedExports = false;
#endif

enum Function {
  kMapiInitialize,
  kMapiLogonEx,
  kMapiAllocateBuffer,
  kMapiAllocateMore,
  kMapiFreeBuffer,
  kMapiAdminProfiles,
  kHrQueryAllRows,
  kFreeProws,
  kWrapCompressedRtfStream,
  kHrGetOneProp,
  kHrValidateIpmSubtree,
  kFunctionCount
};

struct ExportName {
  const char* plain;
  const char* decorated;
};

constexpr ExportName kExportNames[kFunctionCount] = {
    {"MAPIInitialize", "MAPIInitialize@4"},
    {"MAPILogonEx", "MAPILogonEx@20"},
    {"MAPIAllocateBuffer", "MAPIAllocateBuffer@8"},
    {"MAPIAllocateMore", "MAPIAllocateMore@12"},
    {"MAPIFreeBuffer", "MAPIFreeBuffer@4"},
    {"MAPIAdminProfiles", "MAPIAdminProfiles@8"},
    {"HrQueryAllRows", "HrQueryAllRows@24"},
    {"FreeProws", "FreeProws@4"},
    {"WrapCompressedRTFStream", "WrapCompressedRTFStream@12"},
    {"HrGetOneProp", "HrGetOneProp@12"},
    {"HrValidateIPMSubtree", "HrValidateIPMSubtree@20"},
};

// The binding's process-wide state: whether it ran, the loaded library, the file it names, and
// one cached address per function. Binding happens once on the session's thread before any other
// thread calls a wrapper; the addresses are then looked up by whichever thread first needs one.
struct Binding {
  bool done = false;
  std::unique_ptr<os::DynamicLibrary> library;
  std::string library_path = kDefaultLibraryPath;
  std::string load_error;
  std::mutex lookup_mutex;    // guards missing_entry and the look-up of a missing address
  std::string missing_entry;  // the first export a wrapper asked for and did not find
  std::array<std::atomic<void*>, kFunctionCount> addresses = {};
};

Binding& State() {
  static Binding binding;
  return binding;
}

// The text of a registry value as a zero-terminated buffer would hold it.
std::string UpToFirstZero(const std::string& value) { return value.substr(0, value.find('\0')); }

// Extended messaging is installed when the messaging key's "MAPIX" value is exactly the text "1".
// Systems older than 3.51 keep that switch in the profile file, of which there is none here: it
// reads as its default, 0.
bool ExtendedMessagingInstalled(const os::Registry& registry) {
  const os::OsVersion version = registry.Version();
  const bool uses_registry = version.major > 3 || (version.major == 3 && version.minor > 51);
  if (!uses_registry) return false;
  const auto mapix =
      registry.ReadString(os::Hive::kLocalMachine, os::kMessagingSubsystemKey, "MAPIX");
  return mapix && UpToFirstZero(*mapix) == "1";
}

void LoadMailLibrary(Binding& binding) {
  if (binding.library_path.empty()) {
    // An empty name would make the loader hand back the program itself.
    binding.load_error = "the mail library path is empty";
    return;
  }
  binding.library = os::DynamicLibrary::Load(binding.library_path, &binding.load_error);
  if (binding.library) {
    binding.library->Pin();
    binding.load_error.clear();
  }
}

// The cached address of a function, looked up again while it is missing.
template <typename F>
F* Lookup(Function function) {
  Binding& binding = State();
  std::atomic<void*>& cached = binding.addresses[function];
  void* address = cached.load(std::memory_order_acquire);
  if (!address && binding.library) {
    const std::lock_guard<std::mutex> lock(binding.lookup_mutex);
    const ExportName& name = kExportNames[function];
    const char* export_name = kDecoratedExports ? name.decorated : name.plain;
    address = binding.library->Find(export_name);
    cached.store(address, std::memory_order_release);
    if (!address && binding.missing_entry.empty()) binding.missing_entry = export_name;
  }
  return reinterpret_cast<F*>(address);
}

template <typename T>
void Clear(T* out) {
  if (out) *out = T{};
}

}  // namespace

void BindMapiLibrary() {
  Binding& binding = State();
  if (binding.done) return;
  binding.done = true;
  binding.library.reset();

  const os::Registry& registry = os::CurrentRegistry();
  if (!ExtendedMessagingInstalled(registry)) {
    binding.load_error = "extended messaging is not installed (registry value MAPIX)";
    return;
  }
  if (const auto path =
          registry.ReadString(os::Hive::kLocalMachine, os::kMailClientKey, "DLLPathEx")) {
    binding.library_path = UpToFirstZero(*path);
  }
  LoadMailLibrary(binding);
}

const std::string& MapiLibraryPath() { return State().library_path; }

const std::string& MapiLibraryLoadError() { return State().load_error; }

std::string MapiLibraryFailure() {
  const Binding& binding = State();
  std::string reason = binding.load_error;
  if (reason.empty() && !binding.missing_entry.empty()) {
    reason = "it has no entry \"" + binding.missing_entry + "\"";
  }
  if (reason.empty()) return {};
  return "Cannot load the mail library " + binding.library_path + ": " + reason;
}

void ResetMapiBindingForTests() {
  Binding& binding = State();
  binding.done = false;
  binding.library.reset();
  binding.library_path = kDefaultLibraryPath;
  binding.load_error.clear();
  binding.missing_entry.clear();
  for (std::atomic<void*>& address : binding.addresses) address.store(nullptr);
}

HRESULT MAPIInitialize(LPVOID lpMapiInit) {
  BindMapiLibrary();
  auto* function = Lookup<MAPIINITIALIZE>(kMapiInitialize);
  return function ? function(lpMapiInit) : E_FAIL;
}

HRESULT MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName, LPTSTR lpszPassword, ULONG ulFlags,
                    LPMAPISESSION* lppSession) {
  BindMapiLibrary();
  Clear(lppSession);
  auto* function = Lookup<MAPILOGONEX>(kMapiLogonEx);
  return function ? function(ulUIParam, lpszProfileName, lpszPassword, ulFlags, lppSession)
                  : E_FAIL;
}

HRESULT MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer) {
  BindMapiLibrary();
  Clear(lppBuffer);
  auto* function = Lookup<MAPIALLOCATEBUFFER>(kMapiAllocateBuffer);
  return function ? function(cbSize, lppBuffer) : E_FAIL;
}

HRESULT MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer) {
  BindMapiLibrary();
  Clear(lppBuffer);
  auto* function = Lookup<MAPIALLOCATEMORE>(kMapiAllocateMore);
  return function ? function(cbSize, lpObject, lppBuffer) : E_FAIL;
}

HRESULT MAPIFreeBuffer(LPVOID lpBuffer) {
  BindMapiLibrary();
  auto* function = Lookup<MAPIFREEBUFFER>(kMapiFreeBuffer);
  return function ? static_cast<HRESULT>(function(lpBuffer)) : E_FAIL;
}

HRESULT MAPIAdminProfiles(ULONG ulFlags, LPPROFADMIN* lppProfAdmin) {
  BindMapiLibrary();
  Clear(lppProfAdmin);
  auto* function = Lookup<MAPIADMINPROFILES>(kMapiAdminProfiles);
  return function ? function(ulFlags, lppProfAdmin) : E_FAIL;
}

HRESULT HrQueryAllRows(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                       LPSRestriction lpRestriction, LPSSortOrderSet lpSortOrderSet, LONG crowsMax,
                       LPSRowSet* lppRows) {
  BindMapiLibrary();
  Clear(lppRows);
  auto* function = Lookup<HRQUERYALLROWS>(kHrQueryAllRows);
  return function ? function(lpTable, lpPropTags, lpRestriction, lpSortOrderSet, crowsMax, lppRows)
                  : E_FAIL;
}

void FreeProws(LPSRowSet lpRows) {
  BindMapiLibrary();
  if (auto* function = Lookup<FREEPROWS>(kFreeProws)) function(lpRows);
}

HRESULT WrapCompressedRTFStream(LPSTREAM lpCompressedRTFStream, ULONG ulFlags,
                                LPSTREAM* lpUncompressedRTFStream) {
  BindMapiLibrary();
  Clear(lpUncompressedRTFStream);
  auto* function = Lookup<WRAPCOMPRESSEDRTFSTREAM>(kWrapCompressedRtfStream);
  return function ? function(lpCompressedRTFStream, ulFlags, lpUncompressedRTFStream) : E_FAIL;
}

HRESULT HrGetOneProp(LPMAPIPROP lpMapiProp, ULONG ulPropTag, LPSPropValue* lppProp) {
  BindMapiLibrary();
  Clear(lppProp);
  auto* function = Lookup<HRGETONEPROP>(kHrGetOneProp);
  return function ? function(lpMapiProp, ulPropTag, lppProp) : E_FAIL;
}

HRESULT HrValidateIPMSubtree(LPMDB lpMDB, ULONG ulFlags, ULONG* lpcValues, LPSPropValue* lppValues,
                             LPMAPIERROR* lpperr) {
  BindMapiLibrary();
  Clear(lpcValues);
  Clear(lppValues);
  Clear(lpperr);
  auto* function = Lookup<HRVALIDATEIPMSUBTREE>(kHrValidateIpmSubtree);
  return function ? function(lpMDB, ulFlags, lpcValues, lppValues, lpperr) : E_FAIL;
}

}  // namespace mapi
