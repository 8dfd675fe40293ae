// The four entry points of an in-process server, and the class factory of InfoTrakon.
#include <windows.h>
// After windows.h:
#include <unknwn.h>

#include "ocx/com_errors.h"
#include "ocx/control_object.h"
#include "ocx/gdi_count.h"
#include "ocx/itrakon.h"
#include "ocx/module.h"
#include "ocx/panel_window.h"
#include "ocx/registration.h"

namespace infotrakon::ocx {
namespace {

class ClassFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    // The factory lives as long as the library: its references only lock the server.
    ULONG STDMETHODCALLTYPE AddRef() override {
        LockServer(TRUE);
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LockServer(FALSE);
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object != nullptr) *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return CreateControl(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        ocx::LockServer(lock != FALSE);
        return S_OK;
    }
};

ClassFactory factory;

}  // namespace
}  // namespace infotrakon::ocx

STDAPI DllGetClassObject(REFCLSID id, REFIID iid, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (id != CLSID_InfoTrakon) return CLASS_E_CLASSNOTAVAILABLE;
    return infotrakon::ocx::factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
    if (infotrakon::ocx::ModuleInUse()) return S_FALSE;
    infotrakon::ocx::ReleaseTypeLibrary();
    infotrakon::ocx::UnregisterPanelWindowClass();
    return S_OK;
}

namespace {

// Registration builds its keys' texts, which needs memory; what fails is the call's HRESULT.
HRESULT GuardedRegistration(HRESULT (*registration)()) {
    HRESULT result = S_OK;
    const HRESULT guarded = infotrakon::ocx::Guarded(IID_NULL, [&] { result = registration(); });
    return FAILED(guarded) ? guarded : result;
}

}  // namespace

STDAPI DllRegisterServer() { return GuardedRegistration(infotrakon::ocx::RegisterControl); }

STDAPI DllUnregisterServer() { return GuardedRegistration(infotrakon::ocx::UnregisterControl); }

// The GDI objects the control holds now, for a host's leak check (Wine counts none for a
// process): back where it was once the control's forms are gone.
extern "C" LONG WINAPI ITrakonLiveGdiObjects() { return infotrakon::ocx::LiveGdiObjects(); }
