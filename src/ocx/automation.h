#pragma once

#include <windows.h>
// After windows.h:
#include <ocidl.h>

#include "ocx/control_part.h"
#include "ocx/itrakon.h"

// What a script and a host's code see of the control: the one method FileExists, through
// IDispatch and the dual interface, the class's type information, and which interfaces
// report their failures in IErrorInfo.
namespace infotrakon::ocx {

class Dispatch final : public Part<_InfoTrakon> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;
    HRESULT STDMETHODCALLTYPE FileExists(BSTR* p, VARIANT_BOOL* result) override;
};

class ClassInfo final : public Part<IProvideClassInfo2> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
};

// The interfaces whose failures leave the error's number and message in IErrorInfo, as hosts
// ask before they read it.
class ErrorInfoSupport final : public Part<ISupportErrorInfo> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;
};

}  // namespace infotrakon::ocx
