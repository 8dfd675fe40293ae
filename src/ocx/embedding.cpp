#include "ocx/embedding.h"

#include <olectl.h>

#include "control/identity.h"
#include "ocx/com_errors.h"
#include "ocx/control_object.h"
#include "ocx/itrakon.h"

namespace infotrakon::ocx {
namespace {

panel::Twips TwipsOfHimetric(LONG himetric) {
    return static_cast<panel::Twips>(himetric * 1440.0 / 2540.0);
}

}  // namespace

// --- IOleObject ---

HRESULT OleObject::SetClientSite(IOleClientSite* site) {
    control_.SetSite(site);
    return S_OK;
}

HRESULT OleObject::GetClientSite(IOleClientSite** site) {
    if (site == nullptr) return E_POINTER;
    *site = control_.site().get();
    if (*site != nullptr) (*site)->AddRef();
    return S_OK;
}

HRESULT OleObject::Close(DWORD) { return control_.Deactivate(); }

HRESULT OleObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT place) {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return control_.Activate(site, place, true);
        case OLEIVERB_INPLACEACTIVATE:
            return control_.Activate(site, place, false);
        case OLEIVERB_HIDE:
            if (control_.window() != nullptr) ShowWindow(control_.window()->handle(), SW_HIDE);
            return S_OK;
        default:
            return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT OleObject::EnumVerbs(IEnumOLEVERB** verbs) {
    return OleRegEnumVerbs(CLSID_InfoTrakon, verbs);
}

HRESULT OleObject::GetUserClassID(CLSID* id) {
    if (id == nullptr) return E_POINTER;
    *id = CLSID_InfoTrakon;
    return S_OK;
}

HRESULT OleObject::GetUserType(DWORD form, LPOLESTR* type) {
    return OleRegGetUserType(CLSID_InfoTrakon, form, type);
}

HRESULT OleObject::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (size == nullptr) return E_POINTER;
    control_.extent() = *size;
    return Guarded(IID_IOleObject, [&] {
        control_.control().Resize(TwipsOfHimetric(size->cx), TwipsOfHimetric(size->cy));
    });
}

HRESULT OleObject::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (size == nullptr) return E_POINTER;
    *size = control_.extent();
    return S_OK;
}

HRESULT OleObject::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!control_.adviseHolder()) {
        const HRESULT made = CreateOleAdviseHolder(control_.adviseHolder().Receive());
        if (FAILED(made)) return made;
    }
    return control_.adviseHolder()->Advise(sink, cookie);
}

HRESULT OleObject::Unadvise(DWORD cookie) {
    if (!control_.adviseHolder()) return OLE_E_NOCONNECTION;
    return control_.adviseHolder()->Unadvise(cookie);
}

HRESULT OleObject::EnumAdvise(IEnumSTATDATA** advises) {
    if (!control_.adviseHolder()) {
        if (advises != nullptr) *advises = nullptr;
        return S_OK;
    }
    return control_.adviseHolder()->EnumAdvise(advises);
}

HRESULT OleObject::GetMiscStatus(DWORD, DWORD* status) {
    if (status == nullptr) return E_POINTER;
    *status = control::kMiscStatus;
    return S_OK;
}

// --- IOleInPlaceObject and IOleInPlaceActiveObject ---

HRESULT InPlaceObject::GetWindow(HWND* window) {
    if (window == nullptr) return E_POINTER;
    *window = control_.window() != nullptr ? control_.window()->handle() : nullptr;
    return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT InPlaceObject::InPlaceDeactivate() { return control_.Deactivate(); }

HRESULT InPlaceObject::UIDeactivate() {
    control_.UIDeactivate();
    return S_OK;
}

HRESULT InPlaceObject::SetObjectRects(LPCRECT place, LPCRECT) {
    if (place == nullptr) return E_POINTER;
    if (control_.window() != nullptr) control_.window()->Place(*place);
    return S_OK;
}

HRESULT InPlaceActiveObject::TranslateAccelerator(LPMSG message) {
    if (message == nullptr || control_.window() == nullptr) return S_FALSE;
    return control_.window()->TranslateKey(*message) ? S_OK : S_FALSE;
}

HRESULT InPlaceActiveObject::GetWindow(HWND* window) {
    if (window == nullptr) return E_POINTER;
    *window = control_.window() != nullptr ? control_.window()->handle() : nullptr;
    return *window != nullptr ? S_OK : E_FAIL;
}

// --- IOleControl ---

HRESULT OleControl::GetControlInfo(CONTROLINFO* info) {
    if (info == nullptr) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT OleControl::OnAmbientPropertyChange(DISPID id) {
    if (id == DISPID_UNKNOWN || id == DISPID_AMBIENT_USERMODE || id == DISPID_AMBIENT_UIDEAD)
        control_.AmbientPropertiesChanged();
    return S_OK;
}

}  // namespace infotrakon::ocx
