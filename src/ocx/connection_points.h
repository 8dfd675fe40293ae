#pragma once

#include <windows.h>
// After windows.h:
#include <ocidl.h>

#include <map>

#include "ocx/com_ptr.h"
#include "ocx/control_part.h"

// The control's one connection point, for its event interface __InfoTrakon, which has no
// members: it keeps its sinks and never calls them.
namespace infotrakon::ocx {

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

}  // namespace infotrakon::ocx
