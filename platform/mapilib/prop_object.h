// IMAPIProp for the file's objects: GetProps with one value per requested tag (PT_ERROR for what
// could not be read, then MAPI_W_ERRORS_RETURNED), GetPropList, and OpenProperty as a stream over a
// binary or string value. The objects are read-only: changes answer MAPI_E_NO_ACCESS.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "libs/mapi/mapi.h"
#include "platform/mapilib/counted_object.h"
#include "platform/mapilib/integrity_findings.h"
#include "platform/mapilib/mapi_error.h"
#include "platform/mapilib/object_properties.h"

namespace mapilib {

// Shared parts that do not depend on the interface.
HRESULT GetPropsOf(const ObjectView& object, LPSPropTagArray tags, ULONG flags, ULONG* count,
                   LPSPropValue* values);
HRESULT GetPropListOf(const ObjectView& object, LPSPropTagArray* tags);
// An IStream over the value of `tag` (binary values stream from the file; strings in the ANSI code
// page for PT_STRING8, UTF-16 for PT_UNICODE).
HRESULT OpenValueStream(const ObjectView& object,
                        const std::shared_ptr<const pst::messaging::MessageStore>& store, ULONG tag,
                        LPUNKNOWN* out);

template <typename Interface>
class PropObject : public CountedObject<Interface> {
 public:
  HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* error) noexcept override {
    return Guarded("PropObject::GetLastError",
                   [&]() -> HRESULT { return MakeMapiErrorRecord(last_error_, error); });
  }
  HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) noexcept override { return MAPI_E_NO_ACCESS; }
  HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count,
                                     LPSPropValue* values) noexcept override {
    return Guarded("PropObject::GetProps", [&]() -> HRESULT {
      if (AsksForOnly(tags, PR_INTEGRITY_FINDINGS)) {
        if (auto findings = TakeFindings()) return AnswerFindings(*findings, count, values);
      }
      if (AsksForOnly(tags, PR_INTEGRITY_FINDINGS_SET_ASIDE) && SetFindingsAside())
        return AnswerSetAside(count, values);
      return GetPropsOf(View(), tags, flags, count, values);
    });
  }
  HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray* tags) noexcept override {
    return Guarded("PropObject::GetPropList",
                   [&]() -> HRESULT { return GetPropListOf(View(), tags); });
  }
  HRESULT STDMETHODCALLTYPE OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG flags,
                                         LPUNKNOWN* out) noexcept override {
    return Guarded("PropObject::OpenProperty", [&]() -> HRESULT {
      if (!out) return MAPI_E_INVALID_PARAMETER;
      *out = nullptr;
      if (flags & (MAPI_CREATE | MAPI_MODIFY)) return MAPI_E_NO_ACCESS;
      const HRESULT special = OpenSpecialProperty(tag, iid, out);
      if (special != MAPI_E_NO_SUPPORT) return special;
      if (iid && !(*iid == IID_IStream) && !(*iid == IID_ISequentialStream)) {
        return MAPI_E_INTERFACE_NOT_SUPPORTED;
      }
      return OpenValueStream(View(), Store(), tag, out);
    });
  }
  HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray*) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray*) noexcept override {
    return MAPI_E_NO_ACCESS;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS,
                                   LPCIID, LPVOID, ULONG, LPSPropProblemArray*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID,
                                      ULONG, LPSPropProblemArray*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*,
                                            LPMAPINAMEID**) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }
  HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG,
                                            LPSPropTagArray*) noexcept override {
    return MAPI_E_NO_SUPPORT;
  }

 protected:
  virtual ObjectView View() const = 0;
  virtual const std::shared_ptr<const pst::messaging::MessageStore>& Store() const = 0;
  // Object-valued properties (an embedded message); MAPI_E_NO_SUPPORT for "not special".
  virtual HRESULT OpenSpecialProperty(ULONG, LPCIID, LPUNKNOWN*) { return MAPI_E_NO_SUPPORT; }
  // The integrity findings this object answers PR_INTEGRITY_FINDINGS with; nullopt for objects that
  // keep none (the tag then reads as any property the object lacks).
  virtual std::optional<pst::ndb::IntegrityFindings> TakeFindings() { return std::nullopt; }
  // Sets the findings met so far aside for the next TakeFindings; false for objects that keep
  // none.
  virtual bool SetFindingsAside() { return false; }

  std::string last_error_;
};

}  // namespace mapilib
