#pragma once

#include <windows.h>
// After windows.h:
#include <ocidl.h>

#include <memory>
#include <optional>

#include "control/infotrakon.h"
#include "core/error.h"
#include "ocx/automation.h"
#include "ocx/com_ptr.h"
#include "ocx/connection_points.h"
#include "ocx/embedding.h"
#include "ocx/gdi.h"
#include "ocx/panel_window.h"
#include "ocx/view_persistence.h"

// The control InfoTrakon as a COM object: the panel with its start-up, in a host's form. The
// object holds the panel, its window and what the host gave it; each interface is a part of
// it (automation, embedding and activation, drawing and persistence, connection points).
namespace infotrakon::ocx {

// Makes a new control and gives its interface `iid`.
HRESULT CreateControl(REFIID iid, void** object);

// The panel's design size, 8310 x 5805 twips, in the host's HIMETRIC units.
inline constexpr SIZEL kDesignExtent{14659, 10240};

// The container's ambient properties that the control follows. Where the site offers no
// IDispatch, or its IDispatch not the property, the control takes the default.
struct AmbientProperties {
    bool userMode = true;  // false while the host's form is being designed
    bool uiDead = false;   // true while the host takes no input (a debugger's break, say)

    // Whether the panel answers the user's clicks and keys.
    bool TakesInput() const { return userMode && !uiDead; }
};

// The ambient properties that `site` gives through its IDispatch.
AmbientProperties ReadAmbientProperties(IOleClientSite* site);

class ControlObject {
  public:
    ControlObject();
    ~ControlObject();
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

    HRESULT QueryInterface(REFIID iid, void** object);
    ULONG AddRef();
    ULONG Release();

    // The start-up's result, once: an error it raised is returned by the first call that
    // asks, and S_OK by every later one.
    HRESULT StartUpResult(REFIID iid);
    // Activates the control in place on `activeSite` (or the client site), at `givenPlace`
    // (or where the site says), and, with `userInterface`, as the one the user works in.
    HRESULT Activate(IOleClientSite* activeSite, LPCRECT givenPlace, bool userInterface);
    void UIDeactivate();
    HRESULT Deactivate();
    // The site the host gave, whose ambient properties the control then follows.
    void SetSite(IOleClientSite* site);
    // Reads the ambient properties again, after the host said that one of them changed.
    void AmbientPropertiesChanged();

    control::InfoTrakon& control() { return *control_; }
    PanelWindow* window() { return window_.get(); }
    ComPtr<IOleClientSite>& site() { return site_; }
    ComPtr<IOleAdviseHolder>& adviseHolder() { return adviseHolder_; }
    ComPtr<IAdviseSink>& viewSink() { return viewSink_; }
    DWORD& viewAspects() { return viewAspects_; }
    DWORD& viewFlags() { return viewFlags_; }
    SIZEL& extent() { return extent_; }
    IConnectionPoint* eventPoint() { return &eventPoint_; }
    IConnectionPointContainer* connectionPoints() { return &connectionPoints_; }

  private:
    void UIActivate();
    void FocusChanged(bool cameIn);
    void ShowError(const Error& error);

    LONG references_ = 1;
    GdiTextMetrics metrics_;
    std::unique_ptr<control::InfoTrakon> control_;
    std::optional<Error> startUpError_;  // not yet returned to the host
    std::unique_ptr<PanelWindow> window_;
    ComPtr<IOleClientSite> site_;
    AmbientProperties ambient_;
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

}  // namespace infotrakon::ocx
