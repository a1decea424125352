// Base of every scriptable model object: answers late-bound automation calls by member name.
// A caller asks for the ids of names, then reads a property (DISPATCH_PROPERTYGET), writes one
// (DISPATCH_PROPERTYPUT) or calls a method (DISPATCH_METHOD) through an id. Members are the
// published properties and methods of the object's class and its ancestors (published_members.h).
//
// Lifetime: objects are created uncounted and owned as ordinary C++ objects; AddRef and Release
// then answer -1 and change nothing. A counted object (created with counted = true, on the heap)
// is destroyed by the Release that brings its count from 1 to 0.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "support/dispatch/dispatch_id_map.h"
#include "support/dispatch/dispatch_interface.h"
#include "support/dispatch/published_members.h"
#include "support/dispatch/variant.h"

namespace dispatch {

class TDispatchBase : public IDispatchLike {
 public:
  explicit TDispatchBase(bool counted = false) : counted_(counted) {}
  // A copy is a new object: its own empty id map and no references.
  TDispatchBase(const TDispatchBase& other) : IDispatchLike(), counted_(other.counted_) {}
  TDispatchBase& operator=(const TDispatchBase&) { return *this; }
  virtual ~TDispatchBase() = default;

  // IUnknownLike: IID_IUnknown and IID_IDispatch give this object.
  HRESULT QueryInterface(const IID& iid, void** object) override;
  std::int32_t AddRef() override;
  std::int32_t Release() override;

  // IDispatchLike. No type information: count 0, and DISP_E_BADINDEX for any index.
  HRESULT GetTypeInfoCount(std::uint32_t* count) override;
  HRESULT GetTypeInfo(std::uint32_t index, LCID locale, void** type_info) override;
  // Never fails: an unknown name is appended to the id map and fails only when used.
  HRESULT GetIDsOfNames(const IID& iid, std::span<const std::u16string> names, LCID locale,
                        std::span<DISPID> ids) override;
  // An error object (diag::EPlError) raised by a member gives DISP_E_EXCEPTION, with code 1 and
  // its message in excep_info; other exceptions pass through.
  HRESULT Invoke(DISPID id, const IID& iid, LCID locale, WORD flags, DISPPARAMS& params,
                 TVariant* result, EXCEPINFO* excep_info, std::uint32_t* arg_err) override;

  // Member access by name; the base works on the published members. Each returns S_OK or
  // DISP_E_MEMBERNOTFOUND (also for an object property whose object is null).
  virtual HRESULT SetPropertyByName(std::string_view name, const TVariant& value);
  virtual HRESULT GetPropertyByName(std::string_view name, TVariant& value);
  virtual HRESULT CallMethodByName(std::string_view name, const TVariant& args, TVariant& result);
  // Members that are neither published properties nor methods; the base answers
  // DISP_E_MEMBERNOTFOUND.
  virtual HRESULT InvokeUnknownMember(std::string_view name, WORD flags, DISPPARAMS& params,
                                      TVariant* result, EXCEPINFO* excep_info,
                                      std::uint32_t* arg_err);

  // The published members of this class (none for the base). A publishing class defines its own
  // static Published() chained to its parent's and overrides PublishedMembers() to return it.
  static const TPublishedMembers& Published();
  virtual const TPublishedMembers& PublishedMembers() const { return Published(); }

  const TDispatchIdMap& IdMap() const { return id_map_; }
  bool Counted() const { return counted_; }

 private:
  HRESULT InvokeByName(const std::string& name, WORD flags, DISPPARAMS& params, TVariant* result,
                       EXCEPINFO* excep_info, std::uint32_t* arg_err);

  TDispatchIdMap id_map_;
  std::atomic<std::int32_t> references_{0};
  const bool counted_;
};

// The arguments of an invoke as one value: none -> empty, one -> that value, more -> an array in
// the caller's order (index 0 = first argument). rgvarg holds them last-first.
TVariant PackArguments(const DISPPARAMS& params);

}  // namespace dispatch
