// Late-bound member access of model objects: ids of names, invoke, reference counting.
#include "support/dispatch/dispatch_base.h"

#include <utility>

#include "support/diag/error.h"
#include "support/dispatch/wide_text.h"

namespace dispatch {

TVariant PackArguments(const DISPPARAMS& params) {
  const std::vector<TVariant>& args = params.rgvarg;
  if (args.empty()) return TVariant();
  if (args.size() == 1) return args.front();
  return TVariant::Array(std::vector<TVariant>(args.rbegin(), args.rend()));
}

const TPublishedMembers& TDispatchBase::Published() {
  static const TPublishedMembers members(nullptr);
  return members;
}

HRESULT TDispatchBase::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown) {
    *object = static_cast<IUnknownLike*>(this);
  } else if (iid == IID_IDispatch) {
    *object = static_cast<IDispatchLike*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

std::int32_t TDispatchBase::AddRef() {
  if (!counted_) return -1;
  return references_.fetch_add(1) + 1;
}

std::int32_t TDispatchBase::Release() {
  if (!counted_) return -1;
  const std::int32_t remaining = references_.fetch_sub(1) - 1;
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT TDispatchBase::GetTypeInfoCount(std::uint32_t* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TDispatchBase::GetTypeInfo(std::uint32_t, LCID, void** type_info) {
  if (type_info != nullptr) *type_info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT TDispatchBase::GetIDsOfNames(const IID&, std::span<const std::u16string> names, LCID,
                                     std::span<DISPID> ids) {
  if (ids.size() < names.size()) return E_INVALIDARG;
  for (std::size_t i = 0; i < names.size(); ++i) ids[i] = id_map_.IdOf(WideToUtf8(names[i]));
  return S_OK;
}

HRESULT TDispatchBase::Invoke(DISPID id, const IID&, LCID, WORD flags, DISPPARAMS& params,
                              TVariant* result, EXCEPINFO* excep_info, std::uint32_t* arg_err) {
  const std::string* listed = id_map_.NameOf(id);
  if (listed == nullptr) return DISP_E_MEMBERNOTFOUND;
  // A copy: a member may ask this object for more ids, which can move the list.
  const std::string name = *listed;
  try {
    return InvokeByName(name, flags, params, result, excep_info, arg_err);
  } catch (const diag::EPlError& error) {
    if (excep_info != nullptr) {
      *excep_info = EXCEPINFO{};
      excep_info->wCode = 1;
      excep_info->bstrDescription = Utf8ToWide(error.what());
    }
    return DISP_E_EXCEPTION;
  }
}

HRESULT TDispatchBase::InvokeByName(const std::string& name, WORD flags, DISPPARAMS& params,
                                    TVariant* result, EXCEPINFO* excep_info,
                                    std::uint32_t* arg_err) {
  HRESULT status = DISP_E_MEMBERNOTFOUND;
  if ((flags & DISPATCH_PROPERTYGET) != 0) {
    TVariant value;
    status = GetPropertyByName(name, value);
    if (Failed(status)) {
      status = InvokeUnknownMember(name, flags, params, result, excep_info, arg_err);
    } else {
      if (result != nullptr) *result = std::move(value);
      status = S_OK;
    }
  } else if ((flags & DISPATCH_PROPERTYPUT) != 0) {
    if (params.rgvarg.empty()) {
      status = DISP_E_BADPARAMCOUNT;  // nothing to write
    } else {
      status = SetPropertyByName(name, params.rgvarg.front());
      if (Failed(status)) {
        status = InvokeUnknownMember(name, flags, params, result, excep_info, arg_err);
      } else {
        status = S_OK;
      }
    }
  }
  if ((flags & DISPATCH_METHOD) != 0 && Failed(status)) {
    TVariant value;
    status = CallMethodByName(name, PackArguments(params), value);
    if (Failed(status)) {
      status = InvokeUnknownMember(name, flags, params, result, excep_info, arg_err);
    } else {
      if (result != nullptr) *result = std::move(value);
      status = S_OK;
    }
  }
  return status;
}

HRESULT TDispatchBase::SetPropertyByName(std::string_view name, const TVariant& value) {
  const TPublishedMembers::Property* property = PublishedMembers().FindProperty(name);
  if (property == nullptr || !property->set) return DISP_E_MEMBERNOTFOUND;
  property->set(*this, value);
  return S_OK;
}

HRESULT TDispatchBase::GetPropertyByName(std::string_view name, TVariant& value) {
  const TPublishedMembers::Property* property = PublishedMembers().FindProperty(name);
  if (property == nullptr || !property->get) return DISP_E_MEMBERNOTFOUND;
  TVariant read = property->get(*this);
  if (read.vt() == VT_DISPATCH && read.ToDispatch() == nullptr) return DISP_E_MEMBERNOTFOUND;
  value = std::move(read);
  return S_OK;
}

HRESULT TDispatchBase::CallMethodByName(std::string_view name, const TVariant& args,
                                        TVariant& result) {
  const TPublishedMembers::Method* method = PublishedMembers().FindMethod(name);
  if (method == nullptr || !method->call) return DISP_E_MEMBERNOTFOUND;
  method->call(*this, args, result);
  return S_OK;
}

HRESULT TDispatchBase::InvokeUnknownMember(std::string_view, WORD, DISPPARAMS&, TVariant*,
                                           EXCEPINFO*, std::uint32_t*) {
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace dispatch
