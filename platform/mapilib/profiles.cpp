// In-memory profiles, their services, and opening the personal-folders file of a service.
#include "platform/mapilib/profiles.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/mapilib/counted_object.h"
#include "platform/mapilib/mapi_error.h"
#include "platform/mapilib/memory_rows.h"
#include "platform/os/debug_output.h"
#include "platform/os/path_status.h"

namespace mapilib {
namespace {

constexpr const char* kPasswordVariable = "PST2XMZ_PST_PASSWORD";

// Guards the profiles and the service numbers below, and every administration call that reads or
// changes them.
std::mutex& RegistryMutex() {
  static std::mutex mutex;
  return mutex;
}

// An administration call's body, holding the registry's lock.
template <typename Body>
HRESULT GuardedAdministration(const char* where, Body&& body) noexcept {
  return Guarded(where, [&]() -> HRESULT {
    const std::lock_guard<std::mutex> lock(RegistryMutex());
    return body();
  });
}

// Profiles of the process, by name.
std::map<std::string, std::vector<MsgService>>& Registry() {
  static std::map<std::string, std::vector<MsgService>> profiles;
  return profiles;
}

MAPIUID NewServiceUid() {
  static std::uint32_t counter = 0;
  MAPIUID uid{};
  const std::uint32_t n = ++counter;
  const char prefix[] = "pst2xmz-svc";
  std::memcpy(uid.ab, prefix, sizeof prefix - 1);
  for (int i = 0; i < 4; ++i) uid.ab[12 + i] = static_cast<BYTE>(n >> (8 * i));
  return uid;
}

std::string Text(LPTSTR text) { return text ? std::string(text) : std::string(); }

class ServiceAdmin final : public CountedObject<IMsgServiceAdmin> {
 public:
  explicit ServiceAdmin(std::string profile) : profile_(std::move(profile)) {}

  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept override {
    return GuardedAdministration("ServiceAdmin::GetLastError", [&]() -> HRESULT {
      return MakeMapiErrorRecord(last_error_, error);
    });
  }
  HRESULT STDMETHODCALLTYPE GetMsgServiceTable(ULONG, LPMAPITABLE* table) noexcept override {
    return GuardedAdministration("ServiceAdmin::GetMsgServiceTable", [&]() -> HRESULT {
      if (!table) return MAPI_E_INVALID_PARAMETER;
      *table = nullptr;
      auto* services = Services();
      if (!services) return MAPI_E_NOT_FOUND;
      std::vector<MemoryRow> rows;
      for (const MsgService& service : *services) {
        const auto* b = reinterpret_cast<const std::byte*>(service.uid.ab);
        rows.push_back({{PR_SERVICE_UID, std::vector<std::byte>(b, b + 16)},
                        {PR_SERVICE_NAME, service.name},
                        {PR_DISPLAY_NAME, service.name}});
      }
      return HandOut(new (std::nothrow) TableObject(std::make_unique<MemoryRows>(std::move(rows))),
                     table);
    });
  }
  HRESULT STDMETHODCALLTYPE CreateMsgService(LPTSTR service, LPTSTR, ULONG_PTR,
                                             ULONG) noexcept override {
    return GuardedAdministration("ServiceAdmin::CreateMsgService", [&]() -> HRESULT {
      auto* services = Services();
      if (!services) return MAPI_E_NOT_FOUND;
      const std::string name = Text(service);
      if (name != "MSPST MS" && name != "MSUPST MS") {
        last_error_ = "unknown message service \"" + name + "\"";
        return MAPI_E_NOT_FOUND;
      }
      services->push_back(MsgService{NewServiceUid(), name, {}, nullptr});
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE DeleteMsgService(LPMAPIUID uid) noexcept override {
    return GuardedAdministration("ServiceAdmin::DeleteMsgService", [&]() -> HRESULT {
      auto* services = Services();
      if (!services || !uid) return MAPI_E_NOT_FOUND;
      for (auto it = services->begin(); it != services->end(); ++it) {
        if (std::memcmp(it->uid.ab, uid->ab, 16) == 0) {
          services->erase(it);
          return S_OK;
        }
      }
      return MAPI_E_NOT_FOUND;
    });
  }
  HRESULT STDMETHODCALLTYPE CopyMsgService(LPMAPIUID, LPTSTR, LPCIID, LPCIID, LPVOID, ULONG_PTR,
                                           ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE RenameMsgService(LPMAPIUID, ULONG, LPTSTR) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE ConfigureMsgService(LPMAPIUID uid, ULONG_PTR, ULONG, ULONG count,
                                                LPSPropValue values) noexcept override;
  HRESULT STDMETHODCALLTYPE OpenProfileSection(LPMAPIUID, LPCIID, ULONG,
                                               LPPROFSECT*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE MsgServiceTransportOrder(ULONG, LPMAPIUID, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE AdminProviders(LPMAPIUID, ULONG, LPPROVIDERADMIN*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetPrimaryIdentity(LPMAPIUID, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetProviderTable(ULONG, LPMAPITABLE*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }

 private:
  bool Supports(REFIID iid) const override { return OneOf(iid, {&IID_IMsgServiceAdmin}); }
  std::vector<MsgService>* Services() {
    auto it = Registry().find(profile_);
    return it == Registry().end() ? nullptr : &it->second;
  }

  std::string profile_;
  std::string last_error_;
};

HRESULT ServiceAdmin::ConfigureMsgService(LPMAPIUID uid, ULONG_PTR, ULONG, ULONG count,
                                          LPSPropValue values) noexcept {
  return GuardedAdministration("ServiceAdmin::ConfigureMsgService", [&]() -> HRESULT {
    auto* services = Services();
    MsgService* service = nullptr;
    for (std::size_t i = 0; services && uid && i < services->size(); ++i) {
      if (std::memcmp((*services)[i].uid.ab, uid->ab, 16) == 0) service = &(*services)[i];
    }
    if (!service) {
      last_error_ = "no such message service in the profile";
      return MAPI_E_NOT_FOUND;
    }
    std::string path, password;
    for (ULONG i = 0; values && i < count; ++i) {
      if (values[i].ulPropTag == PR_PST_PATH) path = Text(values[i].Value.lpszA);
      if (values[i].ulPropTag == PR_PST_PW_SZ_OLD) password = Text(values[i].Value.lpszA);
    }
    if (password.empty()) {
      const char* from_environment = std::getenv(kPasswordVariable);
      if (from_environment) password = from_environment;
    }
    if (path.empty()) {
      last_error_ = "no personal-folders file was given";
      return MAPI_E_UNCONFIGURED;
    }
    OpenedFile opened = OpenPersonalFolders(path, password);
    if (FAILED(opened.code)) {
      last_error_ = opened.reason;
      return opened.code;
    }
    service->path = path;
    service->store = std::move(opened.store);
    last_error_.clear();
    return S_OK;
  });
}

class ProfAdmin final : public CountedObject<IProfAdmin> {
 public:
  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept override {
    return GuardedAdministration("ProfAdmin::GetLastError", [&]() -> HRESULT {
      return MakeMapiErrorRecord(last_error_, error);
    });
  }
  HRESULT STDMETHODCALLTYPE GetProfileTable(ULONG, LPMAPITABLE* table) noexcept override {
    return GuardedAdministration("ProfAdmin::GetProfileTable", [&]() -> HRESULT {
      if (!table) return MAPI_E_INVALID_PARAMETER;
      std::vector<MemoryRow> rows;
      for (const auto& entry : Registry()) rows.push_back({{PR_DISPLAY_NAME, entry.first}});
      return HandOut(new (std::nothrow) TableObject(std::make_unique<MemoryRows>(std::move(rows))),
                     table);
    });
  }
  HRESULT STDMETHODCALLTYPE CreateProfile(LPTSTR name, LPTSTR, ULONG_PTR, ULONG) noexcept override {
    return GuardedAdministration("ProfAdmin::CreateProfile", [&]() -> HRESULT {
      const std::string profile = Text(name);
      if (profile.empty()) return MAPI_E_INVALID_PARAMETER;
      if (Registry().count(profile)) {
        last_error_ = "the profile \"" + profile + "\" exists already";
        return MAPI_E_NO_ACCESS;
      }
      Registry()[profile];
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE DeleteProfile(LPTSTR name, ULONG) noexcept override {
    return GuardedAdministration("ProfAdmin::DeleteProfile", [&]() -> HRESULT {
      return Registry().erase(Text(name)) ? S_OK : MAPI_E_NOT_FOUND;
    });
  }
  HRESULT STDMETHODCALLTYPE ChangeProfilePassword(LPTSTR, LPTSTR, LPTSTR, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CopyProfile(LPTSTR, LPTSTR, LPTSTR, ULONG_PTR,
                                        ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE RenameProfile(LPTSTR, LPTSTR, LPTSTR, ULONG_PTR,
                                          ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE SetDefaultProfile(LPTSTR, ULONG) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE AdminServices(LPTSTR name, LPTSTR, ULONG_PTR, ULONG,
                                          LPSERVICEADMIN* admin) noexcept override {
    return GuardedAdministration("ProfAdmin::AdminServices", [&]() -> HRESULT {
      if (!admin) return MAPI_E_INVALID_PARAMETER;
      *admin = nullptr;
      const std::string profile = Text(name);
      if (!Registry().count(profile)) return MAPI_E_NOT_FOUND;
      return HandOut(new (std::nothrow) ServiceAdmin(profile), admin);
    });
  }

 private:
  bool Supports(REFIID iid) const override { return OneOf(iid, {&IID_IProfAdmin}); }
  std::string last_error_;
};

// The code and reason for a file the reader refused.
OpenedFile Refused(const pst::Status& status, const std::string& path) {
  switch (status.code()) {
    case pst::ErrorCode::kNotPst:
      return {nullptr, MAPI_E_INVALID_OBJECT, path + " is not a personal-folders file"};
    case pst::ErrorCode::kCorrupt:
      return {nullptr, MAPI_E_CORRUPT_STORE, path + " is damaged: " + status.message()};
    case pst::ErrorCode::kUnsupported:
      return {nullptr, MAPI_E_VERSION,
              path + " is a variant that cannot be read: " + status.message()};
    case pst::ErrorCode::kIo:
      return {nullptr, MAPI_E_DISK_ERROR, path + " could not be read: " + status.message()};
    default:
      return {nullptr, MAPI_E_CALL_FAILED, path + ": " + status.message()};
  }
}

}  // namespace

OpenedFile OpenPersonalFolders(const std::string& path, const std::string& password) {
  const os::PathStatus status = os::StatusOfPath(path);
  if (status.kind == os::PathKind::kMissing) {
    return {nullptr, MAPI_E_NOT_FOUND, "the file " + path + " does not exist"};
  }
  if (status.kind == os::PathKind::kUnknown) {
    return {nullptr, MAPI_E_DISK_ERROR,
            "the file " + path + " cannot be opened: " + status.failure};
  }
  if (status.kind == os::PathKind::kDirectory) {
    return {nullptr, MAPI_E_INVALID_PARAMETER,
            path + " is a directory, not a personal-folders file"};
  }
  // Damage met while reading is traced as it is found; the block or page is named there.
  auto store = pst::messaging::MessageStore::OpenFile(path, [](const std::string& finding) {
    os::CurrentDebugOutput().Write("Damage: " + finding);
  });
  if (!store) return Refused(store.status(), path);
  if ((*store)->password_protected() && !(*store)->CheckPassword(password)) {
    return {nullptr, MAPI_E_NO_ACCESS, "the file is password-protected"};
  }
  return {std::shared_ptr<const pst::messaging::MessageStore>(std::move(*store)), S_OK, {}};
}

std::optional<std::vector<std::shared_ptr<const pst::messaging::MessageStore>>> ProfileStores(
    const std::string& profile) {
  auto it = Registry().find(profile);
  if (it == Registry().end()) return std::nullopt;
  std::vector<std::shared_ptr<const pst::messaging::MessageStore>> stores;
  for (const MsgService& service : it->second) {
    if (service.store) stores.push_back(service.store);
  }
  return stores;
}

IProfAdmin* NewProfAdmin() { return new (std::nothrow) ProfAdmin(); }

}  // namespace mapilib
