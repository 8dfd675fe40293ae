#include "ocx/automation.h"

#include <string>

#include "control/identity.h"
#include "core/text_encoding.h"
#include "ocx/com_errors.h"
#include "ocx/control_object.h"
#include "ocx/module.h"

namespace infotrakon::ocx {
namespace {

// A Variant by reference may point at another; a chain deeper than any host makes is a loop.
constexpr int kDeepestVariantChain = 16;

// The text of FileExists's argument. A host passes it as a BSTR, a BSTR by reference, or a
// Variant by reference that holds one (as VBScript passes a variable); anything else is
// converted to a text. The argument itself is never changed. DISP_E_TYPEMISMATCH for what
// is no text and cannot become one, or is a reference to nothing.
HRESULT ArgumentText(const VARIANT& given, std::wstring& text) {
    const VARIANT* argument = &given;
    for (int depth = 0; V_VT(argument) == (VT_VARIANT | VT_BYREF); ++depth) {
        if (V_VARIANTREF(argument) == nullptr || depth == kDeepestVariantChain)
            return DISP_E_TYPEMISMATCH;
        argument = V_VARIANTREF(argument);
    }
    const auto take = [&text](BSTR value) {
        if (value != nullptr) text.assign(value, SysStringLen(value));
    };
    if (V_VT(argument) == VT_BSTR) {
        take(V_BSTR(argument));
        return S_OK;
    }
    if ((V_VT(argument) & VT_BYREF) != 0 && V_BYREF(argument) == nullptr)
        return DISP_E_TYPEMISMATCH;
    if (V_VT(argument) == (VT_BSTR | VT_BYREF)) {
        take(*V_BSTRREF(argument));
        return S_OK;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(argument), 0, VT_BSTR)))
        return DISP_E_TYPEMISMATCH;
    take(V_BSTR(&converted));
    VariantClear(&converted);
    return S_OK;
}

// The call's shape: one argument, named (as p, dispatch identifier 0) or not.
HRESULT CheckFileExistsParameters(const DISPPARAMS* parameters, UINT* argumentError) {
    if (parameters == nullptr) return E_POINTER;
    if (parameters->cArgs != 1 || parameters->cNamedArgs > parameters->cArgs)
        return DISP_E_BADPARAMCOUNT;
    if (parameters->rgvarg == nullptr) return E_POINTER;
    if (parameters->cNamedArgs == 0) return S_OK;
    if (parameters->rgdispidNamedArgs == nullptr) return E_POINTER;
    if (parameters->rgdispidNamedArgs[0] == 0) return S_OK;
    if (argumentError != nullptr) *argumentError = 0;
    return DISP_E_PARAMNOTFOUND;
}

// A failed call as IDispatch reports it: DISP_E_EXCEPTION, with the error in EXCEPINFO.
HRESULT DispatchException(HRESULT failed, EXCEPINFO* exception) {
    if (exception != nullptr) {
        *exception = EXCEPINFO{};
        exception->scode = failed;
        ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.Receive()) == S_OK) {
            info->GetSource(&exception->bstrSource);
            info->GetDescription(&exception->bstrDescription);
        }
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT Dispatch::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT Dispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ComPtr<ITypeInfo> found = TypeInfoOf(IID__InfoTrakon);
    if (!found) return TYPE_E_CANTLOADLIBRARY;
    *info = found.get();
    (*info)->AddRef();
    return S_OK;
}

HRESULT Dispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) return E_POINTER;
    const auto named = [names](UINT i, const wchar_t* name) {
        return names[i] != nullptr && lstrcmpiW(names[i], name) == 0;
    };
    const bool member = named(0, L"FileExists");
    ids[0] = member ? control::kFileExistsDispatchId : DISPID_UNKNOWN;
    bool known = member;
    for (UINT i = 1; i < count; ++i) {
        // The one parameter, p, is the member's first.
        const bool parameter = member && named(i, L"p");
        ids[i] = parameter ? 0 : DISPID_UNKNOWN;
        known = known && parameter;
    }
    return known ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT Dispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (id != control::kFileExistsDispatchId || (flags & DISPATCH_METHOD) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (const HRESULT shape = CheckFileExistsParameters(parameters, argumentError); FAILED(shape))
        return shape;
    std::wstring text;
    HRESULT read = S_OK;
    bool exists = false;
    const HRESULT called = Guarded(IID__InfoTrakon, [&] {
        read = ArgumentText(parameters->rgvarg[0], text);
        if (SUCCEEDED(read)) exists = control_.control().FileExists(WideToUtf8(text));
    });
    if (FAILED(read)) {
        if (argumentError != nullptr) *argumentError = 0;
        return read;
    }
    if (FAILED(called)) return DispatchException(called, exception);
    if (result != nullptr) {
        VariantInit(result);
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = exists ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}

HRESULT Dispatch::FileExists(BSTR* p, VARIANT_BOOL* result) {
    if (p == nullptr || result == nullptr) return E_POINTER;
    *result = VARIANT_FALSE;
    return Guarded(IID__InfoTrakon, [&] {
        std::wstring text;
        if (*p != nullptr) text.assign(*p, SysStringLen(*p));
        *result = control_.control().FileExists(WideToUtf8(text)) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT ClassInfo::GetClassInfo(ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeInfo> found = TypeInfoOf(CLSID_InfoTrakon);
    if (!found) return TYPE_E_CANTLOADLIBRARY;
    *info = found.get();
    (*info)->AddRef();
    return S_OK;
}

HRESULT ClassInfo::GetGUID(DWORD kind, GUID* guid) {
    if (guid == nullptr) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID___InfoTrakon;
    return S_OK;
}

HRESULT ErrorInfoSupport::InterfaceSupportsErrorInfo(REFIID iid) {
    const bool reports = iid == IID__InfoTrakon || iid == IID_IDispatch || iid == IID_IOleObject ||
                         iid == IID_IViewObject || iid == IID_IViewObject2 ||
                         iid == IID_IPersistStreamInit || iid == IID_IPersistPropertyBag;
    return reports ? S_OK : S_FALSE;
}

}  // namespace infotrakon::ocx
