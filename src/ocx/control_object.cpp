#include "ocx/control_object.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "control/identity.h"
#include "control/infotrakon.h"
#include "core/guarded.h"
#include "core/text_encoding.h"
#include "ocx/com_errors.h"
#include "ocx/com_ptr.h"
#include "ocx/gdi.h"
#include "ocx/itrakon.h"
#include "ocx/module.h"
#include "ocx/panel_drawing.h"
#include "ocx/panel_window.h"

namespace infotrakon::ocx {
namespace {

// The panel's design size, 8310 x 5805 twips, in the host's HIMETRIC units.
constexpr SIZEL kDesignExtent{14659, 10240};

panel::Twips TwipsOfHimetric(LONG himetric) {
    return static_cast<panel::Twips>(himetric * 1440.0 / 2540.0);
}

class ControlObject;

// One interface of the control: its identity and its references are the control's.
template <typename Interface>
class Part : public Interface {
  public:
    explicit Part(ControlObject& control) : control_(control) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

  protected:
    ControlObject& control_;
};

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

class OleObject final : public Part<IOleObject> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND,
                                     LPCRECT place) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advises) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
};

class InPlaceObject final : public Part<IOleInPlaceObject> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT place, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
};

class InPlaceActiveObject final : public Part<IOleInPlaceActiveObject> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // Tab and Shift+Tab among the panel's focus stops and the arrow keys among its options are
    // the control's; every other key, and Tab past its last stop, go on to the host.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
};

class OleControl final : public Part<IOleControl> {
  public:
    using Part::Part;
    // No mnemonics: the panel's captions have no accelerator keys.
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override {
        if (info == nullptr) return E_POINTER;
        info->hAccel = nullptr;
        info->cAccel = 0;
        info->dwFlags = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnMnemonic(LPMSG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }
};

// The interfaces whose failures leave the error's number and message in IErrorInfo, as hosts
// ask before they read it.
class ErrorInfoSupport final : public Part<ISupportErrorInfo> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        const bool reports = iid == IID__InfoTrakon || iid == IID_IDispatch ||
                             iid == IID_IOleObject || iid == IID_IViewObject ||
                             iid == IID_IViewObject2 || iid == IID_IPersistStreamInit ||
                             iid == IID_IPersistPropertyBag;
        return reports ? S_OK : S_FALSE;
    }
};

class ViewObject final : public Part<IViewObject2> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                   LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                   ULONG_PTR) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                          LOGPALETTE**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;
};

// The panel saves nothing of its own: loading or starting anew runs the start-up.
class PersistStreamInit final : public Part<IPersistStreamInit> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override {
        if (size == nullptr) return E_POINTER;
        size->QuadPart = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InitNew() override;
};

class PersistPropertyBag final : public Part<IPersistPropertyBag> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag*, IErrorLog*) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag*, BOOL, BOOL) override { return S_OK; }
};

class ClassInfo final : public Part<IProvideClassInfo2> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
};

// The one connection point, for __InfoTrakon: it keeps its sinks and never calls them.
class EventPoint final : public Part<IConnectionPoint> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  private:
    std::map<DWORD, ComPtr<IUnknown>> sinks_;
    DWORD nextCookie_ = 1;
};

class ConnectionPoints final : public Part<IConnectionPointContainer> {
  public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
};

// The enumeration of the control's one connection point.
class PointEnumerator final : public IEnumConnectionPoints {
  public:
    explicit PointEnumerator(IConnectionPoint* point)
        : point_(ComPtr<IConnectionPoint>::Share(point)) {
        ObjectMade();
    }
    ~PointEnumerator() { ObjectGone(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IEnumConnectionPoints) return E_NOINTERFACE;
        *object = static_cast<IEnumConnectionPoints*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, IConnectionPoint** points,
                                   ULONG* fetched) override {
        if (points == nullptr || (wanted > 1 && fetched == nullptr)) return E_POINTER;
        ULONG given = 0;
        if (wanted > 0 && position_ == 0) {
            points[0] = point_.get();
            points[0]->AddRef();
            given = 1;
            position_ = 1;
        }
        if (fetched != nullptr) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const ULONG skipped = std::min<ULONG>(count, 1 - position_);
        position_ += skipped;
        return skipped == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** copy) override {
        if (copy == nullptr) return E_POINTER;
        auto* made = new (std::nothrow) PointEnumerator(point_.get());
        if (made == nullptr) return E_OUTOFMEMORY;
        made->position_ = position_;
        *copy = made;
        return S_OK;
    }

  private:
    LONG references_ = 1;
    ComPtr<IConnectionPoint> point_;
    ULONG position_ = 0;
};

class ControlObject {
  public:
    ControlObject()
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
        StartUp();
    }
    ~ControlObject() {
        window_.reset();
        ObjectGone();
    }

    HRESULT QueryInterface(REFIID iid, void** object) {
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
    ULONG AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG Release() {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // The start-up runs when the control is made, before any other call reaches the panel. An
    // error it raised waits for the first call that starts, loads or shows the control, which
    // returns it, once; a host that makes none of those (a script that only calls FileExists)
    // is not told.
    void StartUp() {
        startUpError_ = infotrakon::Guarded([&] { control_->Initialize(); });
    }

    HRESULT StartUpResult(REFIID iid) {
        if (!startUpError_) return S_OK;
        const Error error = *std::exchange(startUpError_, std::nullopt);
        return Report(error, iid);
    }

    // A start-up that failed fails the activation before anything is made or told.
    HRESULT Activate(IOleClientSite* activeSite, LPCRECT givenPlace, bool userInterface) {
        if (const HRESULT started = StartUpResult(IID_IOleObject); FAILED(started)) return started;
        if (!window_) {
            IOleClientSite* site = activeSite != nullptr ? activeSite : site_.get();
            if (site == nullptr) return E_UNEXPECTED;
            inPlaceSite_ =
                ComPtr<IOleClientSite>::Share(site).As<IOleInPlaceSite>(IID_IOleInPlaceSite);
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
            });
            if (FAILED(made)) return made;
        }
        if (userInterface && !userInterfaceActive_ && inPlaceSite_) {
            UIActivate();
            SetFocus(window_->handle());
        }
        return S_OK;
    }

    // The control becomes the one the user works in: the site is told, and the frame (and the
    // document window, where the site gives one) takes it as its active object, which the
    // host's message loop then offers every key first.
    void UIActivate() {
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

    void UIDeactivate() {
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
    void FocusChanged(bool cameIn) {
        if (cameIn) UIActivate();
        if (const auto controlSite = site_.As<IOleControlSite>(IID_IOleControlSite))
            controlSite->OnFocus(cameIn ? TRUE : FALSE);
    }

    HRESULT Deactivate() {
        if (!window_) return S_OK;
        UIDeactivate();
        window_.reset();
        if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.Reset();
        return S_OK;
    }

    // An error in a click has no call to return through: it is shown as a host shows a
    // run-time error, in a message box of the host's window.
    void ShowError(const Error& error) {
        const HWND owner = window_ ? GetAncestor(window_->handle(), GA_ROOT) : nullptr;
        const std::wstring text = L"Chyba za běhu '" + std::to_wstring(error.number()) + L"':\n\n" +
                                  Utf8ToWide(error.what());
        MessageBoxW(owner, text.c_str(), L"InfoTrakon", MB_OK | MB_ICONEXCLAMATION);
    }

    control::InfoTrakon& control() { return *control_; }
    PanelWindow* window() { return window_.get(); }
    ComPtr<IOleClientSite>& site() { return site_; }
    ComPtr<IOleAdviseHolder>& adviseHolder() { return adviseHolder_; }
    ComPtr<IAdviseSink>& viewSink() { return viewSink_; }
    DWORD& viewAspects() { return viewAspects_; }
    DWORD& viewFlags() { return viewFlags_; }
    SIZEL& extent() { return extent_; }
    ComPtr<IOleInPlaceSite>& inPlaceSite() { return inPlaceSite_; }
    IConnectionPoint* eventPoint() { return &eventPoint_; }
    IConnectionPointContainer* connectionPoints() { return &connectionPoints_; }

  private:
    LONG references_ = 1;
    GdiTextMetrics metrics_;
    std::unique_ptr<control::InfoTrakon> control_;
    std::optional<Error> startUpError_;  // not yet returned to the host
    std::unique_ptr<PanelWindow> window_;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    bool userInterfaceActive_ = false;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> document_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0, viewFlags_ = 0;
    SIZEL extent_ = kDesignExtent;

    Dispatch dispatch_;
    OleObject oleObject_;
    InPlaceObject inPlaceObject_;
    InPlaceActiveObject inPlaceActiveObject_;
    OleControl oleControl_;
    ViewObject viewObject_;
    PersistStreamInit persistStreamInit_;
    PersistPropertyBag persistPropertyBag_;
    ClassInfo classInfo_;
    ConnectionPoints connectionPoints_;
    ErrorInfoSupport errorInfoSupport_;
    EventPoint eventPoint_;
};

template <typename Interface>
HRESULT Part<Interface>::QueryInterface(REFIID iid, void** object) {
    return control_.QueryInterface(iid, object);
}
template <typename Interface>
ULONG Part<Interface>::AddRef() {
    return control_.AddRef();
}
template <typename Interface>
ULONG Part<Interface>::Release() {
    return control_.Release();
}

// --- _InfoTrakon and IDispatch ---

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

// --- IOleObject ---

HRESULT OleObject::SetClientSite(IOleClientSite* site) {
    control_.site() = ComPtr<IOleClientSite>::Share(site);
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

// --- IProvideClassInfo2 ---

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

// --- connection points ---

HRESULT EventPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) return E_POINTER;
    *iid = DIID___InfoTrakon;
    return S_OK;
}

HRESULT EventPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) return E_POINTER;
    *container = control_.connectionPoints();
    (*container)->AddRef();
    return S_OK;
}

HRESULT EventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) return E_POINTER;
    *cookie = nextCookie_++;
    sinks_[*cookie] = ComPtr<IUnknown>::Share(sink);
    return S_OK;
}

HRESULT EventPoint::Unadvise(DWORD cookie) {
    return sinks_.erase(cookie) == 1 ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoints::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points == nullptr) return E_POINTER;
    *points = new (std::nothrow) PointEnumerator(control_.eventPoint());
    return *points != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT ConnectionPoints::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (iid != DIID___InfoTrakon) return CONNECT_E_NOCONNECTION;
    *point = control_.eventPoint();
    (*point)->AddRef();
    return S_OK;
}

}  // namespace

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
