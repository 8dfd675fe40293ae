#include "ocx/view_persistence.h"

#include "control/identity.h"
#include "ocx/com_errors.h"
#include "ocx/control_object.h"
#include "ocx/itrakon.h"
#include "ocx/panel_drawing.h"

namespace infotrakon::ocx {

// --- IViewObject2 ---

HRESULT ViewObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                         LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
    const RECT place{bounds->left, bounds->top, bounds->right, bounds->bottom};
    return Guarded(IID_IViewObject2, [&] { DrawPanel(control_.control().panel(), dc, place); });
}

HRESULT ViewObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    control_.viewAspects() = aspects;
    control_.viewFlags() = flags;
    control_.viewSink() = ComPtr<IAdviseSink>::Share(sink);
    return S_OK;
}

HRESULT ViewObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects != nullptr) *aspects = control_.viewAspects();
    if (flags != nullptr) *flags = control_.viewFlags();
    if (sink != nullptr) {
        *sink = control_.viewSink().get();
        if (*sink != nullptr) (*sink)->AddRef();
    }
    return S_OK;
}

HRESULT ViewObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (size == nullptr) return E_POINTER;
    *size = control_.extent();
    return S_OK;
}

// --- IPersistStreamInit and IPersistPropertyBag ---

HRESULT PersistStreamInit::GetClassID(CLSID* id) {
    if (id == nullptr) return E_POINTER;
    *id = CLSID_InfoTrakon;
    return S_OK;
}
HRESULT PersistStreamInit::Load(LPSTREAM) { return control_.StartUpResult(IID_IPersistStreamInit); }
HRESULT PersistStreamInit::InitNew() { return control_.StartUpResult(IID_IPersistStreamInit); }

HRESULT PersistPropertyBag::GetClassID(CLSID* id) {
    if (id == nullptr) return E_POINTER;
    *id = CLSID_InfoTrakon;
    return S_OK;
}
HRESULT PersistPropertyBag::InitNew() { return control_.StartUpResult(IID_IPersistPropertyBag); }
HRESULT PersistPropertyBag::Load(IPropertyBag*, IErrorLog*) {
    return control_.StartUpResult(IID_IPersistPropertyBag);
}

HRESULT PersistStreamInit::GetSizeMax(ULARGE_INTEGER* size) {
    if (size == nullptr) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

}  // namespace infotrakon::ocx
