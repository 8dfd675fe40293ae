#include "ocx/control_object.h"

#include <olectl.h>

#include <string>
#include <utility>

#include "core/guarded.h"
#include "core/text_encoding.h"
#include "ocx/com_errors.h"
#include "ocx/module.h"

namespace infotrakon::ocx {
namespace {

// One ambient property as a flag; `fallback` where the site does not give it as one.
bool AmbientFlag(IDispatch& ambient, DISPID id, bool fallback) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    const HRESULT read = ambient.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                        &none, &value, nullptr, nullptr);
    bool flag = fallback;
    if (SUCCEEDED(read) && SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BOOL)))
        flag = V_BOOL(&value) != VARIANT_FALSE;
    VariantClear(&value);
    return flag;
}

}  // namespace

AmbientProperties ReadAmbientProperties(IOleClientSite* site) {
    AmbientProperties ambient;
    if (site == nullptr) return ambient;
    const auto dispatch = ComPtr<IOleClientSite>::Share(site).As<IDispatch>(IID_IDispatch);
    if (!dispatch) return ambient;
    ambient.userMode = AmbientFlag(*dispatch.get(), DISPID_AMBIENT_USERMODE, ambient.userMode);
    ambient.uiDead = AmbientFlag(*dispatch.get(), DISPID_AMBIENT_UIDEAD, ambient.uiDead);
    return ambient;
}

// The start-up runs when the control is made, before any other call reaches the panel. An
// error it raised waits for the first call that starts, loads or shows the control, which
// returns it, once; a host that makes none of those (a script that only calls FileExists) is
// not told.
ControlObject::ControlObject()
    : dispatch_(*this),
      oleObject_(*this),
      inPlaceObject_(*this),
      inPlaceActiveObject_(*this),
      oleControl_(*this),
      viewObject_(*this),
      persistStreamInit_(*this),
      persistPropertyBag_(*this),
      classInfo_(*this),
      connectionPoints_(*this),
      errorInfoSupport_(*this),
      eventPoint_(*this) {
    control::HostEnvironment environment = control::HostEnvironment::ForHost({});
    environment.textMetrics = &metrics_;
    control_ = std::make_unique<control::InfoTrakon>(std::move(environment));
    ObjectMade();
    startUpError_ = infotrakon::Guarded([&] { control_->Initialize(); });
}

ControlObject::~ControlObject() {
    window_.reset();
    ObjectGone();
}

HRESULT ControlObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__InfoTrakon)
        *object = static_cast<_InfoTrakon*>(&dispatch_);
    else if (iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(&oleObject_);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *object = static_cast<IOleInPlaceObject*>(&inPlaceObject_);
    else if (iid == IID_IOleInPlaceActiveObject)
        *object = static_cast<IOleInPlaceActiveObject*>(&inPlaceActiveObject_);
    else if (iid == IID_IOleControl)
        *object = static_cast<IOleControl*>(&oleControl_);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        *object = static_cast<IViewObject2*>(&viewObject_);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *object = static_cast<IPersistStreamInit*>(&persistStreamInit_);
    else if (iid == IID_IPersistPropertyBag)
        *object = static_cast<IPersistPropertyBag*>(&persistPropertyBag_);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        *object = static_cast<IProvideClassInfo2*>(&classInfo_);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(&connectionPoints_);
    else if (iid == IID_ISupportErrorInfo)
        *object = static_cast<ISupportErrorInfo*>(&errorInfoSupport_);
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG ControlObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG ControlObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT ControlObject::StartUpResult(REFIID iid) {
    if (!startUpError_) return S_OK;
    const Error error = *std::exchange(startUpError_, std::nullopt);
    return Report(error, iid);
}

// A start-up that failed fails the activation before anything is made or told.
HRESULT ControlObject::Activate(IOleClientSite* activeSite, LPCRECT givenPlace,
                                bool userInterface) {
    if (const HRESULT started = StartUpResult(IID_IOleObject); FAILED(started)) return started;
    if (!window_) {
        IOleClientSite* site = activeSite != nullptr ? activeSite : site_.get();
        if (site == nullptr) return E_UNEXPECTED;
        inPlaceSite_ = ComPtr<IOleClientSite>::Share(site).As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!inPlaceSite_) return E_NOINTERFACE;
        if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlaceSite_->OnInPlaceActivate();
        HWND parent = nullptr;
        inPlaceSite_->GetWindow(&parent);
        RECT place{}, clip{};
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> document;
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        inPlaceSite_->GetWindowContext(frame.Receive(), document.Receive(), &place, &clip,
                                       &frameInfo);
        if (givenPlace != nullptr) place = *givenPlace;
        const HRESULT made = Guarded(IID_IOleObject, [&] {
            window_ = std::make_unique<PanelWindow>(
                *control_, parent, place, [this](const Error& error) { ShowError(error); },
                [this](bool cameIn) { FocusChanged(cameIn); });
            window_->TakeInput(ambient_.TakesInput());
        });
        if (FAILED(made)) return made;
    }
    if (userInterface && !userInterfaceActive_ && ambient_.TakesInput()) {
        UIActivate();
        SetFocus(window_->handle());
    }
    return S_OK;
}

// The control becomes the one the user works in: the site is told, and the frame (and the
// document window, where the site gives one) takes it as its active object, which the host's
// message loop then offers every key first.
void ControlObject::UIActivate() {
    if (userInterfaceActive_ || !inPlaceSite_) return;
    userInterfaceActive_ = true;
    inPlaceSite_->OnUIActivate();
    RECT place{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    inPlaceSite_->GetWindowContext(frame_.Receive(), document_.Receive(), &place, &clip,
                                   &frameInfo);
    IOleInPlaceActiveObject* active = &inPlaceActiveObject_;
    if (frame_) frame_->SetActiveObject(active, L"InfoTrakon");
    if (document_) document_->SetActiveObject(active, L"InfoTrakon");
}

void ControlObject::UIDeactivate() {
    if (!userInterfaceActive_) return;
    userInterfaceActive_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (document_) document_->SetActiveObject(nullptr, nullptr);
    frame_.Reset();
    document_.Reset();
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
}

// A click or a focus change into the panel's windows activates the control as the user's;
// the control site hears where the focus is.
void ControlObject::FocusChanged(bool cameIn) {
    if (cameIn) UIActivate();
    if (const auto controlSite = site_.As<IOleControlSite>(IID_IOleControlSite))
        controlSite->OnFocus(cameIn ? TRUE : FALSE);
}

HRESULT ControlObject::Deactivate() {
    if (!window_) return S_OK;
    UIDeactivate();
    window_.reset();
    if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
    inPlaceSite_.Reset();
    return S_OK;
}

void ControlObject::SetSite(IOleClientSite* site) {
    site_ = ComPtr<IOleClientSite>::Share(site);
    AmbientPropertiesChanged();
}

// A panel that takes no input (the form is being designed, or the host's input is dead) is
// no longer the user's: its clicks go to the form underneath.
void ControlObject::AmbientPropertiesChanged() {
    ambient_ = ReadAmbientProperties(site_.get());
    if (!window_) return;
    if (!ambient_.TakesInput()) UIDeactivate();
    window_->TakeInput(ambient_.TakesInput());
}

// An error in a click has no call to return through: it is shown as a host shows a run-time
// error, in a message box of the host's window.
void ControlObject::ShowError(const Error& error) {
    const HWND owner = window_ ? GetAncestor(window_->handle(), GA_ROOT) : nullptr;
    const std::wstring text =
        L"Chyba za běhu '" + std::to_wstring(error.number()) + L"':\n\n" + Utf8ToWide(error.what());
    MessageBoxW(owner, text.c_str(), L"InfoTrakon", MB_OK | MB_ICONEXCLAMATION);
}

HRESULT CreateControl(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    ControlObject* control = nullptr;
    const HRESULT made = Guarded(IID_IClassFactory, [&] { control = new ControlObject(); });
    if (FAILED(made)) return made;
    const HRESULT found = control->QueryInterface(iid, object);
    control->Release();
    return found;
}

}  // namespace infotrakon::ocx
